#include "doubles/FakeSystemSoundService.h"

namespace plinka::testing {

OSStatus FakeSystemSoundService::createSystemSoundID(const std::string& fileUrl,
                                                     SystemSoundID* outSoundID) {
    created.push_back(fileUrl);
    if (auto status = createStatusForUrl.find(fileUrl); status != createStatusForUrl.end()) {
        return status->second;
    }
    *outSoundID = next_++;
    live[*outSoundID] = fileUrl;
    return kNoErr;
}

OSStatus FakeSystemSoundService::disposeSystemSoundID(SystemSoundID soundID) {
    disposed.push_back(soundID);
    return live.erase(soundID) == 1 ? kNoErr : kAudioServicesSystemSoundUnspecifiedError;
}

std::string FakeSystemSoundService::urlOf(SystemSoundID soundID) const {
    auto found = live.find(soundID);
    return found == live.end() ? std::string() : found->second;
}

}  // namespace plinka::testing
