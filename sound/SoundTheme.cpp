#include "sound/SoundTheme.h"

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

// Runs on every key press and release: look-ups and one call, nothing made or copied. Nothing
// is logged here, since a line per key would write what the user types: what a table lacks is
// logged once when it loads (themeTableProblems).
void SoundTheme::playSoundForKeyCode(int keyCode, int state) {
    if (!isOnMainThread()) {
        return;
    }
    const Object::Array* rows = _sounds.arrayValue();
    const size_t rowCount = rows ? rows->size() : 0;
    if (static_cast<uint32_t>(state) >= rowCount) {
        return;
    }
    const Object::Array* slots = (*rows)[static_cast<uint32_t>(state)].arrayValue();
    const size_t slotCount = slots ? slots->size() : 0;
    if (static_cast<uint32_t>(keyCode) >= slotCount) {
        return;
    }
    playSlot((*slots)[static_cast<uint32_t>(keyCode)]);
}

void SoundTheme::playSoundForMouseButton(int button, int state) {
    if (!isOnMainThread()) {
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

bool SoundTheme::isOnMainThread() {
    if (platform_.runLoop.isMainThread()) {
        return true;
    }
    if (!offMainThreadLogged_.test_and_set()) {
        platform_.log.log("Sounds must be played on the main thread");
    }
    return false;
}

void SoundTheme::playSlot(const Object& slot) {
    const Object* value = &slot;
    // A slot or variant that failed to decode is left silent, like NSNull.
    if (value->isNil() || value->type() == Object::Type::Null) {
        return;
    }
    if (const auto* text = value->stringValue()) {
        _speech->startSpeakingString(*text);
        return;
    }
    if (const auto* variants = value->arrayValue()) {
        // An empty variant list has nothing to pick from: silent.
        if (variants->empty()) {
            return;
        }
        const uint32_t pick = platform_.random.random32();
        value = &(*variants)[pick % static_cast<uint32_t>(variants->size())];
        if (value->isNil()) {
            return;
        }
    }
    if (const Sound* sound = value->as<Sound>()) {
        sound->play();
    }
}

}  // namespace plinka
