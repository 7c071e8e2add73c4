#pragma once

#include <SDL2/SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/audio/AudioOptions.h"
#include "platform/linux/audio/AudioOutput.h"

namespace plinka {
class Log;
}

namespace plinka::audio {

class MixSource;

// The one output stream: an SDL2 audio device (float stereo) whose callback renders the mixer.
// The application loads it from its own module (SdlOutputModule), so only a process that plays
// through SDL maps SDL.
// A supervisor thread makes every SDL call. It opens the device, checks every poll interval that
// it still plays, and reopens it when it stopped (unplugged, sound server restarted), retrying less
// and less often (up to every kMaxRetryDelay) while that fails. While no device is open it renders
// the mixer into nothing at the real pace, so sounds are dropped, speech ends and disposed sounds
// are let go as if they had played. One line is logged when the device is lost and one when no
// device can be opened, not one per retry. The callback pulls the mixer whether or not anything
// sounds, so waking it is not needed.
class SdlAudioOutput final : public AudioOutput {
  public:
    // Starts the supervisor and returns after the first attempt to open the device.
    SdlAudioOutput(MixSource& source, const AudioOptions& options, Log& log);
    // The same, as an OpenOutput.
    static std::unique_ptr<AudioOutput> create(MixSource& source, const AudioOptions& options,
                                               Log& log);
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    bool isOpen() const override { return device_.load(std::memory_order_acquire) != 0; }
    void wake() override {}

  private:
    static void SDLCALL fill(void* self, Uint8* stream, int bytes);
    void supervise();
    // Supervisor: true when a device now plays the mixer.
    bool open();
    void close();
    void reportNoDevice();
    void reportFirstAttempt();

    MixSource& source_;
    const AudioOptions options_;
    Log& log_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool firstAttemptDone_ = false;

    std::atomic<SDL_AudioDeviceID> device_{0};
    static constexpr std::chrono::milliseconds kMaxRetryDelay{8000};
    // Supervisor only.
    bool failureLogged_ = false;
    std::chrono::milliseconds retryDelay_;
    std::chrono::steady_clock::time_point nextAttempt_;
    std::vector<float> discardBuffer_;
    std::thread supervisor_;  // last: starts once everything above is ready
};

}  // namespace plinka::audio
