#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/Log.h"
#include "platform/SleepWakeNotifications.h"
#include "platform/SpeechSynthesizer.h"
#include "platform/TemporaryFiles.h"
#include "platform/linux/headless/TemporaryDirectory.h"

namespace plinka {

// Log lines on standard error, each after the program's name.
class StandardErrorLog final : public Log {
  public:
    explicit StandardErrorLog(std::string programName) : programName_(std::move(programName)) {}
    void log(std::string_view message) override;

  private:
    std::string programName_;
};

// Temporary files in a private directory that goes, with them, when this does.
class PrivateTemporaryFiles final : public TemporaryFiles {
  public:
    explicit PrivateTemporaryFiles(const std::string& prefix) : directory_(prefix) {}
    std::optional<std::string> temporaryDirectory() override;
    std::optional<std::string> createUuidString() override;

  private:
    TemporaryDirectory directory_;
};

// Variants picked from a fixed seed, so a rendering comes out the same every time.
class SeededRandomSource final : public RandomSource {
  public:
    explicit SeededRandomSource(uint64_t seed) : state_(seed) {}
    uint32_t random32() override;

  private:
    uint64_t state_;
};

// A short run is never slept through.
class NoSleepWake final : public SleepWakeNotifications {
  public:
    void addWillSleepObserver(Observer) override {}
    void addDidWakeObserver(Observer) override {}
};

// Synthesizers that refuse to speak, without starting a speech engine.
class SilentSpeechService final : public SpeechService {
  public:
    std::unique_ptr<SpeechSynthesizer> makeSynthesizer() override;
};

}  // namespace plinka
