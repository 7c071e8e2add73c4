#include "platform/linux/audio/SpeechModule.h"

#include "base/Log.h"
#include "platform/linux/audio/BundleModule.h"

namespace plinka::audio {

StartSpeechEngine speechEngineFromBundle(const std::string& bundlePath) {
    return [bundlePath](Log& log) -> SpeechEngine* {
        std::string error;
        void* entry =
            bundleModuleEntry(bundlePath, kSpeechModuleFile, "plinkaStartSpeechEngine", &error);
        if (entry == nullptr) {
            log.log("Speech cannot be loaded (" + error + "); nothing is spoken");
            return nullptr;
        }
        return reinterpret_cast<decltype(&plinkaStartSpeechEngine)>(entry)(&log);
    };
}

}  // namespace plinka::audio
