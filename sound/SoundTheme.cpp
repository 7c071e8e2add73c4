#include "sound/SoundTheme.h"

#include "base/Format.h"
#include "base/Log.h"
#include "platform/Platform.h"
#include "platform/RunLoop.h"
#include "platform/TemporaryFiles.h"
#include "sound/Sound.h"

namespace plinka {

const ClassInfo SoundTheme::kClass{"SoundTheme"};

SoundTheme::SoundTheme(Platform& platform) : platform_(platform) {}

SoundTheme::~SoundTheme() {
    _name.reset();
    _sounds = Object();
    _speech.reset();
}

std::shared_ptr<SoundTheme> SoundTheme::init(Platform& platform) {
    auto theme = std::make_shared<SoundTheme>(platform);
    theme->_name = "Off";
    const Object row = Object::array(Object::Array(kSlotCount, Object::null()));
    theme->_sounds = Object::array({row, row});
    theme->_speech = platform.speech.makeSynthesizer();
    return theme;
}

std::shared_ptr<SoundTheme> SoundTheme::initWithCoder(Decoder& coder, Platform& platform) {
    auto theme = std::make_shared<SoundTheme>(platform);
    theme->_sounds = coder.decodeObjectForKey("sounds");
    theme->_mouseSounds = coder.decodeObjectForKey("mouseSounds");
    if (const auto* name = coder.decodeObjectForKey("name").stringValue()) {
        theme->_name = *name;
    }
    theme->_speech = platform.speech.makeSynthesizer();
    return theme;
}

std::shared_ptr<SoundTheme> SoundTheme::themeWithSounds(Object sounds,
                                                        std::optional<std::string> name,
                                                        Platform& platform) {
    auto theme = std::make_shared<SoundTheme>(platform);
    theme->_sounds = std::move(sounds);
    theme->_name = std::move(name);
    theme->_speech = platform.speech.makeSynthesizer();
    return theme;
}

void SoundTheme::encodeWithCoder(Encoder& coder) const {
    coder.encodeInteger(1, "version");
    coder.encodeObject(_sounds, "sounds");
    coder.encodeObject(_name ? Object::string(*_name) : Object(), "name");
    // Left out when there are none, so that the file is what older readers expect.
    if (_mouseSounds) {
        coder.encodeObject(_mouseSounds, "mouseSounds");
    }
}

// Runs on every key press and release: look-ups and one call, nothing made or copied.
void SoundTheme::playSoundForKeyCode(int keyCode, int state) {
    if (!platform_.runLoop.isMainThread()) {
        platform_.log.log("Sounds must be played on the main thread");
        return;
    }
    const Object::Array* rows = _sounds.arrayValue();
    const size_t rowCount = rows ? rows->size() : 0;
    if (static_cast<uint32_t>(state) >= rowCount) {
        platform_.log.log(stringWithFormat("Play Sound for Key State %d out of bounds", {state}));
        return;
    }
    const Object::Array* slots = (*rows)[static_cast<uint32_t>(state)].arrayValue();
    const size_t slotCount = slots ? slots->size() : 0;
    if (static_cast<uint32_t>(keyCode) >= slotCount) {
        platform_.log.log(stringWithFormat("Play Sound for Key Code %d out of bounds", {keyCode}));
        return;
    }
    if (const Object* invalid = playSlot((*slots)[static_cast<uint32_t>(keyCode)])) {
        platform_.log.log(stringWithFormat("Invalid sound (%@) for Key Code %d and Key State %d",
                                           {invalid->className(), keyCode, state}));
    }
}

void SoundTheme::playSoundForMouseButton(int button, int state) {
    if (!platform_.runLoop.isMainThread()) {
        platform_.log.log("Sounds must be played on the main thread");
        return;
    }
    const Object::Array* rows = _mouseSounds.arrayValue();
    if (rows == nullptr || static_cast<uint32_t>(state) >= rows->size()) {
        return;
    }
    const Object::Array* slots = (*rows)[static_cast<uint32_t>(state)].arrayValue();
    if (slots != nullptr && static_cast<uint32_t>(button) < slots->size()) {
        playSlot((*slots)[static_cast<uint32_t>(button)]);
    }
}

const Object* SoundTheme::playSlot(const Object& slot) {
    const Object* value = &slot;
    // A slot or variant that failed to decode is left silent, like NSNull.
    if (value->isNil() || value->type() == Object::Type::Null) {
        return nullptr;
    }
    if (const auto* text = value->stringValue()) {
        _speech->startSpeakingString(*text);
        return nullptr;
    }
    if (const auto* variants = value->arrayValue()) {
        // An empty variant list has nothing to pick from: silent.
        if (variants->empty()) {
            return nullptr;
        }
        const uint32_t pick = platform_.random.random32();
        value = &(*variants)[pick % static_cast<uint32_t>(variants->size())];
        if (value->isNil()) {
            return nullptr;
        }
    }
    if (const Sound* sound = value->as<Sound>()) {
        sound->play();
        return nullptr;
    }
    return value;
}

}  // namespace plinka
