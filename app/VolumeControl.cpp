#include "app/VolumeControl.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/Log.h"
#include "platform/SystemSoundService.h"
#include "platform/UserDefaults.h"

namespace plinka {

namespace {

constexpr double kFullVolume = 1.0;

std::string numberText(double value) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

// A real, an integer, or a string that is one number as a whole (the command line's "-volume
// 0.5" arrives as a string).
std::optional<double> numberIn(const Object& value) {
    if (const auto real = value.realValue()) {
        return real;
    }
    if (const auto integer = value.integerValue()) {
        return static_cast<double>(*integer);
    }
    if (const std::string* text = value.stringValue()) {
        double number = 0;
        const auto parsed = std::from_chars(text->data(), text->data() + text->size(), number);
        if (parsed.ec == std::errc() && parsed.ptr == text->data() + text->size()) {
            return number;
        }
    }
    return std::nullopt;
}

}  // namespace

VolumeControl::VolumeControl(UserDefaults& defaults, SystemSoundService& output, Log& log,
                             std::function<void()> unmuted, Changed changed)
    : defaults_(defaults),
      output_(output),
      log_(log),
      unmuted_(std::move(unmuted)),
      changed_(std::move(changed)),
      volume_(storedVolume()),
      muted_(storedMuted()) {
    apply();
    defaults_.addObserver("volume", [this] { takeInVolume(); });
    defaults_.addObserver("muted", [this] { takeInMuted(); });
}

double VolumeControl::storedVolume() const {
    const Object value = defaults_.objectForKey("volume");
    if (value.isNil()) {
        return kFullVolume;
    }
    const std::optional<double> number = numberIn(value);
    if (!number || std::isnan(*number)) {
        log_.log(std::string("The default \"volume\" holds ") +
                 (number ? "NaN" : "an " + std::string(value.className())) +
                 ", not a number from 0 to 1: full volume is used");
        return kFullVolume;
    }
    const double clamped = std::clamp(*number, 0.0, 1.0);
    if (clamped != *number) {
        log_.log("The default \"volume\" is " + numberText(*number) +
                 ", outside 0 to 1: " + numberText(clamped) + " is used");
    }
    return clamped;
}

bool VolumeControl::storedMuted() const {
    const Object value = defaults_.objectForKey("muted");
    const bool flagLike = value.booleanValue() || value.integerValue() || value.realValue() ||
                          value.stringValue() != nullptr;
    if (value.isNil() || flagLike) {
        return UserDefaults::boolFromObject(value);
    }
    log_.log("The default \"muted\" holds an " + std::string(value.className()) +
             ", not YES or NO: sounds stay on");
    return false;
}

void VolumeControl::setVolume(double volume) {
    if (std::isnan(volume)) {
        log_.log("Refused to set the volume to NaN");
        return;
    }
    const double clamped = std::clamp(volume, 0.0, 1.0);
    if (clamped != volume) {
        log_.log("The volume " + numberText(volume) + " is outside 0 to 1: set to " +
                 numberText(clamped));
    }
    defaults_.setObject(Object::real(clamped), "volume");
}

void VolumeControl::setMuted(bool muted) {
    defaults_.setBool(muted, "muted");
}

void VolumeControl::takeInVolume() {
    const double volume = storedVolume();
    if (volume != volume_) {
        volume_ = volume;
        apply();
        changed_("volume");
    }
}

void VolumeControl::takeInMuted() {
    const bool muted = storedMuted();
    if (muted != muted_) {
        muted_ = muted;
        apply();
        if (!muted_) {
            unmuted_();  // after apply: a muted output drops what it is given
        }
        changed_("muted");
    }
}

void VolumeControl::apply() {
    output_.setOutputVolume(muted_ ? 0.0f : static_cast<float>(volume_));
}

}  // namespace plinka
