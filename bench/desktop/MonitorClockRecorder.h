#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "TimedRecorder.h"

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace plinka::testing {

// Records a server's null sink through its monitor over the PulseAudio protocol, placing frames
// in time by the server's clock of the stream, which counts what the sink renders ahead as a
// device would play it. Recording, once made (which takes a few seconds when the sink was
// suspended), unless the server would not have it.
class MonitorClockRecorder final : public TimedRecorder {
  public:
    // Fragments of about that many frames: the monitor's latency holds the sink's down, so a
    // recorder that must not speed up the sink for others asks for large ones. A recorder that
    // does not keep the sink awake lets the server suspend it (and records nothing meanwhile);
    // it records as soon as it is connected.
    MonitorClockRecorder(const std::string& serverAddress, const std::string& sink,
                         int fragmentFrames, bool keepsSinkAwake);
    ~MonitorClockRecorder() override;
    MonitorClockRecorder(const MonitorClockRecorder&) = delete;
    MonitorClockRecorder& operator=(const MonitorClockRecorder&) = delete;

    bool recording() const override;
    std::vector<float> samples() const override;
    size_t frames() const override;
    std::optional<std::chrono::steady_clock::time_point> timeOfFrame(size_t frame) const override;
    std::optional<size_t> frameAt(std::chrono::steady_clock::time_point time) const override;

  private:
    void read();
    // Under the lock: the steady time of frame 0 by the clock readings near the time.
    std::optional<double> originNear(double steadySeconds) const;

    const double created_;  // steady seconds
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<float> samples_;
    // (when read, the stream's time then) in seconds of the steady clock and of the stream.
    std::vector<std::pair<double, double>> clock_;
    double lastRead_;
    bool timingFresh_ = true;
    bool recording_ = false;
};

}  // namespace plinka::testing
