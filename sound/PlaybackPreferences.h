#pragma once

#include <optional>

#include "platform/UserDefaults.h"

namespace plinka {

class Log;
class SoundController;

// Keeps the sound controller in step with the user's "stereoPosition" (on unless the user
// turned it off) and "pitchVariation" (cents; when never set, each theme's own applies), read
// now and each time either changes, also from outside. A value of the wrong type is refused and
// one out of range clamped, each with one log line.
class PlaybackPreferences {
  public:
    PlaybackPreferences(UserDefaults& defaults, SoundController& controller, Log& log);
    ~PlaybackPreferences();
    PlaybackPreferences(const PlaybackPreferences&) = delete;
    PlaybackPreferences& operator=(const PlaybackPreferences&) = delete;

  private:
    void apply();
    // The default's value as it applies; a bad one is logged.
    bool readStereoPosition() const;
    std::optional<int> readPitchVariation() const;

    UserDefaults& defaults_;
    SoundController& controller_;
    Log& log_;
    bool stereoPosition_;
    std::optional<int> pitchVariation_;
    UserDefaults::ObserverToken stereoObserver_;
    UserDefaults::ObserverToken pitchObserver_;
};

}  // namespace plinka
