#include "platform/linux/audio/SpeechModule.h"

#include <memory>

#include "base/Log.h"
#include "platform/linux/audio/BundleModule.h"

namespace plinka::audio {

StartSpeechEngine speechEngineFromBundle(const std::string& bundlePath) {
    auto module = std::make_shared<BundleModule>(bundlePath, kSpeechModuleFile);
    return [module](Log& log) -> SpeechEngine* {
        std::string error;
        void* entry = module->entry("plinkaStartSpeechEngine", &error);
        if (entry == nullptr) {
            log.log("Speech cannot be loaded (" + error + "); nothing is spoken");
            return nullptr;
        }
        return reinterpret_cast<decltype(&plinkaStartSpeechEngine)>(entry)(&log);
    };
}

}  // namespace plinka::audio
