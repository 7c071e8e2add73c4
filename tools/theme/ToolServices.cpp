#include "tools/theme/ToolServices.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

#include "platform/linux/PosixTemporaryFiles.h"
#include "tools/synth/SeededRandom.h"

namespace plinka::themetool {

namespace {

const std::thread::id kMainThread = std::this_thread::get_id();

class InertTimer final : public Timer {
  public:
    void fire() override {}
    void invalidate() override { valid_ = false; }
    bool isValid() const override { return valid_; }

  private:
    bool valid_ = true;
};

class SilentSynthesizer final : public SpeechSynthesizer {
  public:
    bool startSpeakingString(const std::string&) override { return false; }
    void stopSpeaking() override {}
    bool isSpeaking() const override { return false; }
};

}  // namespace

class ToolRunLoop::Wakeup final : public MainThreadWakeup {
  public:
    Wakeup(ToolRunLoop& loop, Task task) : loop_(loop), task_(std::move(task)) {
        std::lock_guard lock(loop_.mutex_);
        loop_.wakeups_.push_back(this);
    }
    ~Wakeup() override {
        std::lock_guard lock(loop_.mutex_);
        std::erase(loop_.wakeups_, this);
    }
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

    void wake() override { woken_.store(true, std::memory_order_release); }
    // Runs the task when woken since the last run; whether it ran.
    bool runIfWoken() {
        if (!woken_.exchange(false, std::memory_order_acq_rel)) {
            return false;
        }
        task_();
        return true;
    }

  private:
    ToolRunLoop& loop_;
    Task task_;
    std::atomic<bool> woken_{false};
};

bool ToolRunLoop::isMainThread() const {
    return std::this_thread::get_id() == kMainThread;
}

void ToolRunLoop::performOnMainThread(Task task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
}

std::unique_ptr<Timer> ToolRunLoop::scheduleTimer(double, bool, TimerAction) {
    return std::make_unique<InertTimer>();
}

std::unique_ptr<MainThreadWakeup> ToolRunLoop::makeWakeup(Task onMainThread) {
    return std::make_unique<Wakeup>(*this, std::move(onMainThread));
}

bool ToolRunLoop::runWokenWakeups() {
    std::vector<Wakeup*> wakeups;
    {
        std::lock_guard lock(mutex_);
        wakeups = wakeups_;
    }
    bool ran = false;
    for (auto* wakeup : wakeups) {
        ran = wakeup->runIfWoken() || ran;
    }
    return ran;
}

void ToolRunLoop::drain() {
    for (;;) {
        std::vector<Task> tasks;
        {
            std::lock_guard lock(mutex_);
            tasks.swap(tasks_);
        }
        for (auto& task : tasks) {
            task();
        }
        if (!runWokenWakeups() && tasks.empty()) {
            return;
        }
    }
}

void StderrLog::log(std::string_view message) {
    std::cerr << "plinka-theme: " << message << "\n";
}

PrivateTemporaryFiles::PrivateTemporaryFiles() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/plinka-theme-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) {
        directory_ = pattern + "/";
    }
}

PrivateTemporaryFiles::~PrivateTemporaryFiles() {
    if (directory_) {
        std::error_code ignored;
        std::filesystem::remove_all(*directory_, ignored);
    }
}

std::optional<std::string> PrivateTemporaryFiles::temporaryDirectory() {
    return directory_;
}

std::optional<std::string> PrivateTemporaryFiles::createUuidString() {
    return PosixTemporaryFiles().createUuidString();
}

uint32_t SeededRandomSource::random32() {
    return static_cast<uint32_t>(synth::SeededRandom(state_++).next() >> 32);
}

std::unique_ptr<SpeechSynthesizer> NoSpeechService::makeSynthesizer() {
    return std::make_unique<SilentSynthesizer>();
}

}  // namespace plinka::themetool
