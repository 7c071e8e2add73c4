#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/SystemSoundService.h"

namespace plinka::testing {

// Records what is made, played and given back; the status for each file is set by the test.
class FakeSystemSoundService final : public SystemSoundService {
  public:
    OSStatus createSystemSoundID(const std::string& fileUrl, SystemSoundID* outSoundID) override;
    OSStatus setProperty(AudioServicesPropertyID, SystemSoundID, uint32_t) override {
        return kNoErr;
    }
    void playSystemSound(SystemSoundID soundID, SoundPlacement placement = {}) override {
        played.push_back(soundID);
        placements.push_back(placement);
    }
    OSStatus disposeSystemSoundID(SystemSoundID soundID) override;
    bool readsFileAfterCreation() const override { return readsFile; }
    void setOutputVolume(float volume) override { outputVolume = volume; }

    // The URL a live sound was made from; empty when unknown or given back.
    std::string urlOf(SystemSoundID soundID) const;

    std::map<std::string, OSStatus> createStatusForUrl;  // default kNoErr
    bool readsFile = true;  // as a service that plays sounds from their files
    std::map<SystemSoundID, std::string> live;
    std::vector<SystemSoundID> played;
    std::vector<SoundPlacement> placements;  // one for each play
    std::vector<SystemSoundID> disposed;
    std::vector<std::string> created;
    float outputVolume = 1.0f;

  private:
    SystemSoundID next_ = 4096;
};

}  // namespace plinka::testing
