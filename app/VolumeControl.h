#pragma once

#include <functional>
#include <optional>
#include <string>

namespace plinka {

class Log;
class Object;
class SystemSoundService;
class UserDefaults;

// The volume of everything Plinka plays and its mute switch: the defaults "volume" (a number
// from 0.0 to 1.0) and "muted", applied to the sound output whenever they change, here or from
// outside. A stored volume out of range is clamped, and a value of the wrong kind stands aside
// for full volume (or sound on), each with one log line.
class VolumeControl {
  public:
    // Called with "volume" or "muted" after the value in force changed.
    using Changed = std::function<void(const std::string& key)>;

    // `unmuted` plays the cue that tells the sounds are back.
    VolumeControl(UserDefaults& defaults, SystemSoundService& output, Log& log,
                  std::function<void()> unmuted, Changed changed);
    VolumeControl(const VolumeControl&) = delete;
    VolumeControl& operator=(const VolumeControl&) = delete;

    double volume() const { return volume_; }
    bool muted() const { return muted_; }
    // Stores the volume, clamped to 0..1 with a log line; NaN is refused with one.
    void setVolume(double volume);
    void setMuted(bool muted);
    void toggleMuted() { setMuted(!muted_); }

  private:
    double storedVolume() const;
    bool storedMuted() const;
    void takeInVolume();
    void takeInMuted();
    void apply();

    UserDefaults& defaults_;
    SystemSoundService& output_;
    Log& log_;
    std::function<void()> unmuted_;
    Changed changed_;
    double volume_ = 1.0;
    bool muted_ = false;
};

}  // namespace plinka
