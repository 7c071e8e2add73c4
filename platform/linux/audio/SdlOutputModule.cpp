#include "platform/linux/audio/SdlOutputModule.h"

#include <memory>

#include "base/Log.h"
#include "platform/linux/audio/BundleModule.h"
#include "platform/linux/audio/SilentOutput.h"

namespace plinka::audio {

OpenOutput sdlOutputFromBundle(const std::string& bundlePath) {
    auto module = std::make_shared<BundleModule>(bundlePath, kSdlOutputModuleFile);
    return [module](MixSource& source, const AudioOptions& options,
                    Log& log) -> std::unique_ptr<AudioOutput> {
        std::string error;
        void* entry = module->entry("plinkaOpenSdlOutput", &error);
        if (entry == nullptr) {
            log.log("The SDL audio output cannot be loaded (" + error + "); sounds are dropped");
            return std::make_unique<SilentOutput>(source, options);
        }
        const auto open = reinterpret_cast<decltype(&plinkaOpenSdlOutput)>(entry);
        return std::unique_ptr<AudioOutput>(open(&source, &options, &log));
    };
}

}  // namespace plinka::audio
