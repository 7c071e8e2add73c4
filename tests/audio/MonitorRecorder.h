#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace plinka::testing {

// What a server's null sink played, as float stereo at kRate, recorded from its monitor over the
// PulseAudio protocol (which PipeWire's pipewire-pulse serves too). Recording, once made (which
// takes a few seconds when the sink was suspended), unless the server would not have it. Stopped
// when let go.
class MonitorRecorder {
  public:
    static constexpr int kRate = 48000;

    struct Options {
        // How much the server sends at once. The monitor's latency holds the sink's down, so a
        // recorder that must not speed up the sink for others asks for large fragments.
        int fragmentFrames = 240;
        // A recorder that does not keep the sink awake lets the server suspend it (and records
        // nothing meanwhile); it records as soon as it is connected.
        bool keepsSinkAwake = true;
        // Called on the server's thread after each read, for a caller that follows the stream's
        // clock.
        std::function<void(pa_stream*)> afterRead = nullptr;
    };

    MonitorRecorder(const std::string& serverAddress, const std::string& sink, Options options);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    bool recording() const;
    // Everything recorded so far, interleaved stereo.
    std::vector<float> samples() const;
    size_t frames() const;

  private:
    void read();

    const Options options_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<float> samples_;
    bool recording_ = false;
};

}  // namespace plinka::testing
