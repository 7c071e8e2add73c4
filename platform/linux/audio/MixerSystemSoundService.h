#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/SystemSoundService.h"
#include "platform/linux/audio/DecodedSound.h"

namespace plinka {

class AudioEngine;

// System sounds decoded once at the engine's rate and played by its mixer. Every call comes from
// the one control (main) thread; the engine must outlive the service. The live sounds together
// last at most kMaxSecondsInAll: a theme of 255 keys with a press and a release of a second
// each fits, and a hostile one is refused sound by sound, before decoding, once it is full.
class MixerSystemSoundService final : public SystemSoundService {
  public:
    static constexpr double kMaxSecondsInAll = 600.0;

    explicit MixerSystemSoundService(AudioEngine& engine,
                                     double maxSecondsInAll = kMaxSecondsInAll);
    ~MixerSystemSoundService() override;
    MixerSystemSoundService(const MixerSystemSoundService&) = delete;
    MixerSystemSoundService& operator=(const MixerSystemSoundService&) = delete;

    OSStatus createSystemSoundID(const std::string& fileUrl, SystemSoundID* outSoundID) override;
    OSStatus setProperty(AudioServicesPropertyID property, SystemSoundID soundID,
                         uint32_t value) override;
    void playSystemSound(SystemSoundID soundID, SoundPlacement placement = {}) override;
    OSStatus disposeSystemSoundID(SystemSoundID soundID) override;
    void setOutputVolume(float volume) override;
    // Sounds are decoded whole when they are made.
    bool readsFileAfterCreation() const override { return false; }

    // The interface-sound flag of a live sound (1 until set); nullopt for an unknown one. Linux
    // has no switch for interface sound effects, so the flag is kept but changes nothing.
    std::optional<uint32_t> isUISound(SystemSoundID soundID) const;
    // How long a live sound plays, in seconds; nullopt for an unknown identifier.
    std::optional<double> durationOf(SystemSoundID soundID) const;

  private:
    struct Entry {
        std::shared_ptr<audio::DecodedSound> sound;
        uint32_t isUISound = 1;
        // Played, it would only wake the output that sleeps while nothing sounds (the
        // keep-alive's silence does so every ten seconds).
        bool silent = false;
    };

    AudioEngine& engine_;
    std::unordered_map<SystemSoundID, Entry> sounds_;
    const double maxSecondsInAll_;
    size_t liveFrames_ = 0;  // of every live sound
    SystemSoundID nextID_ = 4096;
};

}  // namespace plinka
