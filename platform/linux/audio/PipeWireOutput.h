#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <spa/utils/hook.h>

#include "platform/linux/audio/AudioOptions.h"
#include "platform/linux/audio/AudioOutput.h"
#include "platform/linux/audio/FirstAttempt.h"

struct pw_context;
struct pw_core;
struct pw_main_loop;
struct pw_registry;
struct pw_stream;
struct spa_source;

namespace plinka {
class Log;
}

namespace plinka::audio {

class MixSource;

// The mix as one playback stream of a PipeWire server, pulled by the graph at a small quantum
// (bufferFrames: node.latency) while something sounds. The application loads it from its own module
// (PipeWireOutputModule), so only a process that plays through PipeWire maps libpipewire.
//
// The graph calls the stream on PipeWire's realtime thread, which renders the mixer. Once the
// mixer has been quiet for kQuietAfter, the stream goes inactive: the graph no longer runs for
// it, so the server can suspend its sink, and neither side wakes until the next sound, which
// activates the stream again from the output's own thread. It starts inactive.
//
// When the server goes away, one line is logged, what plays is rendered into nothing at the real
// pace (sounds are dropped, speech ends, disposed sounds are let go), and the output reconnects
// every retry interval (at most kMaxRetryDelay).
class PipeWireOutput final : public AudioOutput {
    struct Private {
        explicit Private() = default;
    };

  public:
    // Typing keeps the stream active from key to key; a pause longer than this costs nothing.
    static constexpr std::chrono::milliseconds kQuietAfter{2000};
    static constexpr std::chrono::milliseconds kMaxRetryDelay{1000};

    // Connects on the output's thread and returns once the stream is made; null, with the
    // reason in `error`, when no PipeWire server with an audio sink answers. With keepTrying the
    // output is kept all the same: it logs the reason and connects once the server answers.
    static std::unique_ptr<PipeWireOutput> connect(MixSource& source, const AudioOptions& options,
                                                   Log& log, bool keepTrying, std::string* error);
    PipeWireOutput(Private, MixSource& source, const AudioOptions& options, Log& log,
                   bool keepTrying);
    ~PipeWireOutput() override;
    PipeWireOutput(const PipeWireOutput&) = delete;
    PipeWireOutput& operator=(const PipeWireOutput&) = delete;

    bool isOpen() const override { return open_.load(std::memory_order_acquire); }
    void wake() override;

  private:
    using Clock = std::chrono::steady_clock;

    // Output thread.
    void run();
    void startConnecting();
    void sinkSearchDone();
    void openStream();
    void streamStateChanged(int state, const char* error);
    void connectionFailed(const std::string& reason);
    void closeConnection();
    void armRetry(std::chrono::milliseconds delay);
    void retry();
    void onWake();
    void onQuiet();
    // PipeWire's realtime thread.
    void process();

    MixSource& source_;
    const AudioOptions options_;
    Log& log_;
    const bool keepTrying_;
    const size_t quietFrames_;
    std::atomic<bool> open_{false};

    FirstAttempt firstAttempt_;

    // Wake-ups so far, and the count the realtime thread saw when it last found the mix quiet:
    // the output thread deactivates the stream only if no wake-up came since.
    std::atomic<uint64_t> wakes_{0};
    std::atomic<uint64_t> quietAt_{UINT64_MAX};
    std::atomic<bool> quietPending_{false};

    // Output thread only.
    pw_main_loop* loop_ = nullptr;
    spa_source* wakeEvent_ = nullptr;
    spa_source* quietEvent_ = nullptr;
    spa_source* stopEvent_ = nullptr;
    spa_source* retryTimer_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_registry* registry_ = nullptr;
    pw_stream* stream_ = nullptr;
    spa_hook coreListener_{};
    spa_hook registryListener_{};
    spa_hook streamListener_{};
    int sinkSearch_ = 0;  // the sequence number of the sync that ends the search
    bool sinkFound_ = false;
    bool active_ = false;
    bool lossLogged_ = false;
    Clock::time_point connectedAt_;
    std::chrono::milliseconds retryDelay_;
    Clock::time_point lastDiscard_;
    std::vector<float> discardBuffer_;

    // Realtime thread only.
    size_t silentFrames_ = 0;  // rendered since the last sounding one

    std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace plinka::audio
