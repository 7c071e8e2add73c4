#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/audio/AudioOptions.h"
#include "platform/linux/audio/AudioOutput.h"
#include "platform/linux/audio/FirstAttempt.h"
#include "platform/linux/input/FileDescriptor.h"

struct pa_context;
struct pa_io_event;
struct pa_mainloop;
struct pa_mainloop_api;
struct pa_stream;
struct pa_time_event;

namespace plinka {
class Log;
}

namespace plinka::audio {

class MixSource;

// The mix as one playback stream of the PulseAudio server (or PipeWire's PulseAudio service),
// written only while something sounds. Its own thread runs libpulse's main loop.
//
// Something queued wakes the thread, which writes the mix at the server's read position (heard
// after the sink's short buffer of half a lead) and then, every half lead, asks the server how
// much is still queued and keeps bufferFrames ahead of the sink, until the mixer is quiet again
// and a lead of silence has followed the last sound. Once the mix has been quiet for
// kQuietAfter the stream is corked: the server no longer asks for data and may suspend its
// sink; the next sound uncorks it. It starts corked.
//
// When the server goes away, one line is logged, what plays is rendered into nothing at the real
// pace (sounds are dropped, speech ends, disposed sounds are let go) and the output reconnects,
// retrying less and less often (at most every second).
class PulseAudioOutput final : public AudioOutput {
    struct Private {
        explicit Private() = default;
    };

  public:
    // How often the server asks for data while the stream runs and nothing sounds.
    static constexpr double kRequestSeconds = 0.25;
    // Typing keeps the stream running from key to key; a pause longer than this costs nothing.
    static constexpr std::chrono::milliseconds kQuietAfter{2000};

    // Connects on the output's thread and returns once the stream plays; null, with the reason
    // in `error`, when no server answers. With keepTrying the output is kept all the same: it
    // logs the reason and connects once the server answers.
    static std::unique_ptr<PulseAudioOutput> connect(MixSource& source, const AudioOptions& options,
                                                     Log& log, bool keepTrying, std::string* error);
    PulseAudioOutput(Private, MixSource& source, const AudioOptions& options, Log& log,
                     bool keepTrying);
    ~PulseAudioOutput() override;
    PulseAudioOutput(const PulseAudioOutput&) = delete;
    PulseAudioOutput& operator=(const PulseAudioOutput&) = delete;

    bool isOpen() const override { return open_.load(std::memory_order_acquire); }
    void wake() override;

  private:
    using Clock = std::chrono::steady_clock;

    // Output thread.
    void run();
    void startConnecting();
    void openStream();
    void streamReady();
    void connectionFailed();
    void closeConnection();
    void scheduleRetry();
    void armRetry(std::chrono::milliseconds delay);
    void retry();
    void onWake();
    void startWriting();
    void goIdle();
    void keepLead();
    void topUp();
    void write(size_t frames, bool atReadPosition);
    uint64_t tickDelay() const;  // microseconds
    void armTick(uint64_t delay);
    std::string contextError() const;

    MixSource& mixer_;
    const AudioOptions options_;
    Log& log_;
    const bool keepTrying_;
    FileDescriptor wakeFd_;
    std::atomic<bool> open_{false};
    std::atomic<bool> stopping_{false};

    FirstAttempt firstAttempt_;

    // Output thread only.
    pa_mainloop* mainloop_ = nullptr;
    pa_mainloop_api* api_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_io_event* wakeEvent_ = nullptr;
    pa_time_event* tickEvent_ = nullptr;
    pa_time_event* retryEvent_ = nullptr;
    bool writing_ = false;
    bool idle_ = false;
    size_t silentFrames_ = 0;  // written since the last sounding one
    bool lossLogged_ = false;
    std::chrono::milliseconds retryDelay_;
    Clock::time_point lastDiscard_;
    std::vector<float> discardBuffer_;
    std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace plinka::audio
