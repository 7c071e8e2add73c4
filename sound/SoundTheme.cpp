#include "sound/SoundTheme.h"

#include <algorithm>

#include "base/Format.h"
#include "base/Log.h"
#include "platform/Platform.h"
#include "platform/RunLoop.h"
#include "platform/TemporaryFiles.h"
#include "sound/KeyPositions.h"
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
    // Both keys are newer than the format: themes without them play as they always did.
    if (coder.containsValueForKey("pitchVariation")) {
        const int64_t cents = coder.decodeIntegerForKey("pitchVariation");
        theme->setPitchVariation(
            static_cast<int>(std::clamp<int64_t>(cents, 0, kMaxPitchVariation)));
        if (cents != theme->_pitchVariation) {
            platform.log.log(
                stringWithFormat("The theme %@ asks for a pitch variation of %ld cents, outside 0 "
                                 "to 100; it plays with %d",
                                 {theme->_name.value_or("with no name"), static_cast<long>(cents),
                                  theme->_pitchVariation}));
        }
    }
    if (coder.containsValueForKey("stereoPosition")) {
        theme->setStereoPosition(coder.decodeBoolForKey("stereoPosition"));
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
    // Written only when they differ from what a theme without them does.
    if (_pitchVariation != 0) {
        coder.encodeInteger(_pitchVariation, "pitchVariation");
    }
    if (!_stereoPosition) {
        coder.encodeBool(false, "stereoPosition");
    }
}

void SoundTheme::setPitchVariation(int cents) {
    _pitchVariation = std::clamp(cents, 0, kMaxPitchVariation);
    applyPreferences(userStereoPosition_, userPitchVariation_);
}

void SoundTheme::setStereoPosition(bool on) {
    _stereoPosition = on;
    applyPreferences(userStereoPosition_, userPitchVariation_);
}

void SoundTheme::applyPreferences(bool stereoPosition, std::optional<int> pitchVariation) {
    userStereoPosition_ = stereoPosition;
    userPitchVariation_ = pitchVariation;
    panByKey_ = stereoPosition && _stereoPosition;
    pitchCents_ = std::clamp(pitchVariation.value_or(_pitchVariation), 0, kMaxPitchVariation);
}

SoundPlacement SoundTheme::placement(float pan) {
    SoundPlacement placement{pan};
    if (pitchCents_ > 0) {
        if (!pitchRandom_) {
            pitchRandom_.emplace(platform_.random.random32());
        }
        placement.pitchCents = static_cast<float>(pitchRandom_->bipolar() * pitchCents_);
    }
    return placement;
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
    playSlot((*slots)[static_cast<uint32_t>(keyCode)],
             placement(panByKey_ ? stereoPositionForKeyCode(keyCode) : 0.0f));
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
        playSlot((*slots)[static_cast<uint32_t>(button)], placement(0.0f));
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

void SoundTheme::playSlot(const Object& slot, const SoundPlacement& placement) {
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
        sound->play(placement);
    }
}

}  // namespace plinka
