#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace plinka::testing {

// Records a server's null sink through its monitor: what the server mixed, as float stereo at
// 48 kHz. Recording, once made (which takes a few seconds when the sink was suspended), unless
// the server would not have it. Stopped when let go.
class MonitorRecorder {
  public:
    static constexpr int kRate = 48000;

    // fragmentFrames: how much the server sends at once. The monitor's latency holds the sink's
    // down, so a recorder that must not speed up the sink for others asks for large fragments.
    MonitorRecorder(const std::string& serverAddress, const std::string& sink,
                    int fragmentFrames = 240);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    bool recording() const;
    // Everything recorded so far, interleaved stereo.
    std::vector<float> samples() const;
    size_t frames() const;
    // When the sink played the recorded frame, by the server's clock of the stream, and which
    // frame it played at a time; nullopt while the server has given no timing near it yet.
    std::optional<std::chrono::steady_clock::time_point> timeOfFrame(size_t frame) const;
    std::optional<size_t> frameAt(std::chrono::steady_clock::time_point time) const;
    // Whether the server dropped recorded data because it was not read in time.
    bool overflowed() const;

  private:
    void read();
    // Under the lock: the steady time of frame 0 by the stream times read near the time.
    std::optional<double> originNear(double steadySeconds) const;

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<float> samples_;
    // (when read, the stream's time then) in seconds of the steady clock and of the stream.
    std::vector<std::pair<double, double>> clock_;
    bool overflowed_ = false;
    bool recording_ = false;
};

}  // namespace plinka::testing
