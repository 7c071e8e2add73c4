#include "tools/theme/ToolPlatform.h"

#include <filesystem>

#include "platform/linux/DirectoryBundle.h"
#include "platform/linux/headless/HeadlessRunLoop.h"

namespace plinka::themetool {

namespace {

LinuxPlatform::Options headless(const ToolPlatform::Options& options) {
    LinuxPlatform::Options result;
    result.processName = "plinka-theme";
    if (options.bundlePath) {
        // Resources are handed on as file URLs, which need absolute paths.
        auto absolute = std::filesystem::absolute(*options.bundlePath).lexically_normal();
        result.bundlePath = (absolute.has_filename() ? absolute : absolute.parent_path()).string();
    }
    result.headless = true;
    result.speech = options.speech;
    result.randomSeed = options.randomSeed;
    return result;
}

}  // namespace

ToolPlatform::ToolPlatform(const Options& options)
    : linux_(headless(options)), themeBundle_(std::make_unique<ThemeFileBundle>(linux_.bundle())) {
    Platform& base = linux_.platform();
    platform_ = std::make_unique<Platform>(
        Platform{base.runLoop, base.log, *themeBundle_, base.archives, base.systemSounds,
                 base.speech, base.sleepWake, base.temporaryFiles, base.random, base.userThemes});
}

ToolPlatform::~ToolPlatform() = default;

void ToolPlatform::drain() {
    linux_.headlessRunLoop()->drain();
}

}  // namespace plinka::themetool
