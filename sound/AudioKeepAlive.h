#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/RunLoop.h"
#include "platform/SystemSoundService.h"

namespace plinka {

struct Platform;

// Keeps the audio output awake while a theme is in use: a silent sound at start and every 10 s,
// paused across system sleep.
class AudioKeepAlive {
  public:
    static constexpr double kInterval = 10.0;

    // The process's keep-alive, made once on first use with the shared platform.
    static AudioKeepAlive& sharedInstance();

    // Registers for the sleep and wake notices.
    explicit AudioKeepAlive(Platform& platform);
    ~AudioKeepAlive();
    AudioKeepAlive(const AudioKeepAlive&) = delete;
    AudioKeepAlive& operator=(const AudioKeepAlive&) = delete;

    void start();
    void stop();
    bool isRunning() const { return _timer != nullptr; }

    void timedKeepAlive(Timer& timer);
    void receiveSleepNotification();
    void receiveWakeNotification();

    // A status for log lines: "No error", 'four' printable characters in quotes, or decimal.
    static std::string OSStatusToFourChar(OSStatus status);

  private:
    Platform& platform_;
    std::recursive_mutex lock_;
    std::unique_ptr<Timer> _timer;
    SystemSoundID keepAliveSound_ = 0;
    bool wasRunning_ = false;
};

}  // namespace plinka
