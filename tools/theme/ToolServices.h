#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Log.h"
#include "platform/RunLoop.h"
#include "platform/SleepWakeNotifications.h"
#include "platform/SpeechSynthesizer.h"
#include "platform/TemporaryFiles.h"

namespace plinka::themetool {

// The tool is one thread with no event loop: that thread is the main thread, and queued tasks
// and woken wake-ups run when the tool drains them.
class ToolRunLoop final : public RunLoop {
  public:
    bool isMainThread() const override;
    void performOnMainThread(Task task) override;
    // Timers never fire on their own: nothing the tool does waits for one.
    std::unique_ptr<Timer> scheduleTimer(double seconds, bool repeats, TimerAction action) override;
    std::unique_ptr<MainThreadWakeup> makeWakeup(Task onMainThread) override;
    // Runs the queued tasks and woken wake-ups, including what they queue or wake.
    void drain();

  private:
    class Wakeup;
    bool runWokenWakeups();

    std::mutex mutex_;
    std::vector<Task> tasks_;
    std::vector<Wakeup*> wakeups_;
};

// Log lines go to standard error, marked as the tool's.
class StderrLog final : public Log {
  public:
    void log(std::string_view message) override;
};

// A tool's run is too short to sleep through.
class NoSleepWake final : public SleepWakeNotifications {
  public:
    void addWillSleepObserver(Observer) override {}
    void addDidWakeObserver(Observer) override {}
};

// A private temporary directory for the audio files that decoding writes, removed with it.
class PrivateTemporaryFiles final : public TemporaryFiles {
  public:
    PrivateTemporaryFiles();
    ~PrivateTemporaryFiles() override;
    PrivateTemporaryFiles(const PrivateTemporaryFiles&) = delete;
    PrivateTemporaryFiles& operator=(const PrivateTemporaryFiles&) = delete;

    std::optional<std::string> temporaryDirectory() override;
    std::optional<std::string> createUuidString() override;

  private:
    std::optional<std::string> directory_;
};

// Variants picked from a fixed seed, so a preview comes out the same every time.
class SeededRandomSource final : public RandomSource {
  public:
    explicit SeededRandomSource(uint64_t seed) : state_(seed) {}
    uint32_t random32() override;

  private:
    uint64_t state_;
};

// For the commands that never speak: synthesizers that refuse, without starting a speech engine.
class NoSpeechService final : public SpeechService {
  public:
    std::unique_ptr<SpeechSynthesizer> makeSynthesizer() override;
};

}  // namespace plinka::themetool
