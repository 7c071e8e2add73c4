#include "sound/PlaybackPreferences.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "base/Log.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"

namespace plinka {

namespace {

constexpr std::string_view kStereoPosition = "stereoPosition";
constexpr std::string_view kPitchVariation = "pitchVariation";

// How a value reads in a log line.
std::string shown(const Object& value) {
    if (const auto flag = value.booleanValue()) {
        return *flag ? "YES" : "NO";
    }
    return UserDefaults::stringFromObject(value).value_or("a value of another kind");
}

// A number, or a string that holds one whole (as the command line gives them); nullopt else.
std::optional<double> numberOf(const Object& value) {
    if (value.booleanValue()) {
        return std::nullopt;
    }
    if (auto integer = value.integerValue()) {
        return static_cast<double>(*integer);
    }
    if (auto real = value.realValue()) {
        return std::isnan(*real) ? std::nullopt : std::optional(*real);
    }
    if (const std::string* text = value.stringValue()) {
        // Whatever the locale: the command line writes "12.5".
        double number = 0;
        const char* end = text->data() + text->size();
        const auto [stop, failed] = std::from_chars(text->data(), end, number);
        if (failed == std::errc() && stop == end && !std::isnan(number)) {
            return number;
        }
    }
    return std::nullopt;
}

}  // namespace

PlaybackPreferences::PlaybackPreferences(UserDefaults& defaults, SoundController& controller,
                                         Log& log)
    : defaults_(defaults),
      controller_(controller),
      log_(log),
      stereoPosition_(readStereoPosition()),
      pitchVariation_(readPitchVariation()),
      stereoObserver_(defaults.addObserver(std::string(kStereoPosition),
                                           [this] {
                                               stereoPosition_ = readStereoPosition();
                                               apply();
                                           })),
      pitchObserver_(defaults.addObserver(std::string(kPitchVariation), [this] {
          pitchVariation_ = readPitchVariation();
          apply();
      })) {
    apply();
}

PlaybackPreferences::~PlaybackPreferences() {
    defaults_.removeObserver(stereoObserver_);
    defaults_.removeObserver(pitchObserver_);
}

void PlaybackPreferences::apply() {
    controller_.setPlaybackPreferences(stereoPosition_, pitchVariation_);
}

bool PlaybackPreferences::readStereoPosition() const {
    const Object value = defaults_.objectForKey(kStereoPosition);
    if (value.isNil()) {
        return true;
    }
    if (const auto flag = value.booleanValue()) {
        return *flag;
    }
    if (const auto number = numberOf(value)) {
        return *number != 0;
    }
    if (const std::string* text = value.stringValue()) {
        std::string word(text->size(), ' ');
        std::transform(text->begin(), text->end(), word.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (word == "yes" || word == "true" || word == "no" || word == "false") {
            return word == "yes" || word == "true";
        }
    }
    log_.log("The preference stereoPosition is " + shown(value) +
             ", neither YES nor NO; sounds are placed by key");
    return true;
}

std::optional<int> PlaybackPreferences::readPitchVariation() const {
    const Object value = defaults_.objectForKey(kPitchVariation);
    if (value.isNil()) {
        return std::nullopt;
    }
    const auto number = numberOf(value);
    if (!number) {
        log_.log("The preference pitchVariation is " + shown(value) +
                 ", not a number of cents; each theme's own applies");
        return std::nullopt;
    }
    const int cents = static_cast<int>(
        std::lround(std::clamp(*number, 0.0, double{SoundTheme::kMaxPitchVariation})));
    if (*number < 0 || *number > SoundTheme::kMaxPitchVariation) {
        log_.log("The preference pitchVariation is " + shown(value) + " cents, outside 0 to " +
                 std::to_string(SoundTheme::kMaxPitchVariation) + "; " + std::to_string(cents) +
                 " applies");
    }
    return cents;
}

}  // namespace plinka
