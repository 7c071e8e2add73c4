#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/LinuxPlatform.h"
#include "tools/theme/ThemeFileBundle.h"

namespace plinka::themetool {

// The platform the tool's commands run on: the headless Linux platform (so sounds decode as the
// application decodes them, and a preview renders what it would play) whose bundle can be given
// one more theme file. Themes and controllers made on it must go before it does.
class ToolPlatform {
  public:
    struct Options {
        // The bundle directory; when absent, the one DirectoryBundle::locateMainBundle finds.
        std::optional<std::string> bundlePath;
        // Speech through espeak-ng into the mix; otherwise synthesizers refuse to speak.
        bool speech = false;
        uint64_t randomSeed = 1;
    };

    explicit ToolPlatform(const Options& options);
    ~ToolPlatform();
    ToolPlatform(const ToolPlatform&) = delete;
    ToolPlatform& operator=(const ToolPlatform&) = delete;

    Platform& platform() { return *platform_; }
    // Runs the work the commands queued for the main thread.
    void drain();
    AudioEngine& audioEngine() { return linux_.audioEngine(); }
    MixerSystemSoundService& systemSounds() { return linux_.systemSounds(); }
    // The speech service when speech was asked for and espeak-ng is available; else nullptr.
    EspeakSpeechService* speech() { return linux_.speech(); }
    // The bundle, which can be given one more theme file.
    ThemeFileBundle& bundle() { return *themeBundle_; }
    bool hasBundle() const { return linux_.hasBundle(); }

  private:
    LinuxPlatform linux_;
    std::unique_ptr<ThemeFileBundle> themeBundle_;
    std::unique_ptr<Platform> platform_;
};

}  // namespace plinka::themetool
