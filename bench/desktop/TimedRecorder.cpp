#include "TimedRecorder.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

#include "MonitorRecorder.h"
#include "PipeWireRecorder.h"
#include "SoundServer.h"

namespace plinka::testing {
namespace {

double steadySeconds(std::chrono::steady_clock::time_point time) {
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

double steadyNow() {
    return steadySeconds(std::chrono::steady_clock::now());
}

// The server gives stream times only once its first timing answers are in, within a second of
// connecting.
constexpr double kTimingSettles = 1.0;
// Stream times read this close to a time tell which frame was played then.
constexpr double kClockWindow = 1.0;
// Reads this far apart: the stream was paused in between.
constexpr double kPause = 0.2;

// Places the monitor's frames in time by the server's clock of the stream, which counts what the
// sink renders ahead as a device would play it.
class MonitorClockRecorder final : public TimedRecorder {
  public:
    MonitorClockRecorder(const SoundServer& server, int fragmentFrames, bool keepsSinkAwake)
        : created_(steadyNow()),
          lastRead_(created_),
          recorder_(server.address(), SoundServer::kSink,
                    {.fragmentFrames = fragmentFrames,
                     .keepsSinkAwake = keepsSinkAwake,
                     .afterRead = [this](pa_stream* stream) { readClock(stream); }}) {}

    bool recording() const override { return recorder_.recording(); }
    std::vector<float> samples() const override { return recorder_.samples(); }
    size_t frames() const override { return recorder_.frames(); }

    std::optional<std::chrono::steady_clock::time_point> timeOfFrame(size_t frame) const override {
        std::lock_guard lock(mutex_);
        if (clock_.empty()) {
            return std::nullopt;
        }
        // Near where the frame was read, by the first clock reading's origin.
        const double frameTime = static_cast<double>(frame) / kRate;
        const double guess = clock_.front().first - clock_.front().second + frameTime;
        const std::optional<double> origin = originNear(guess);
        if (!origin) {
            return std::nullopt;
        }
        return std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(*origin + frameTime)));
    }

    std::optional<size_t> frameAt(std::chrono::steady_clock::time_point time) const override {
        std::lock_guard lock(mutex_);
        const double seconds = steadySeconds(time);
        const std::optional<double> origin = originNear(seconds);
        if (!origin) {
            return std::nullopt;
        }
        return seconds < *origin ? 0 : static_cast<size_t>((seconds - *origin) * kRate);
    }

  private:
    // On the server's thread, after each read.
    void readClock(pa_stream* stream) {
        const double now = steadyNow();
        std::lock_guard lock(mutex_);
        // After a pause (a suspended sink, or none yet) the stream's clock is stale until the
        // server says more.
        if (now - lastRead_ > kPause) {
            timingFresh_ = false;
            pa_operation_unref(pa_stream_update_timing_info(
                stream,
                [](pa_stream*, int, void* self) {
                    auto* recorder = static_cast<MonitorClockRecorder*>(self);
                    std::lock_guard updated(recorder->mutex_);
                    recorder->timingFresh_ = true;
                },
                this));
        }
        lastRead_ = now;
        pa_usec_t time = 0;
        if (timingFresh_ && pa_stream_get_time(stream, &time) == 0) {
            clock_.emplace_back(now, static_cast<double>(time) / PA_USEC_PER_SEC);
        }
    }

    // Under the lock: the steady time of frame 0 by the clock readings near the time.
    std::optional<double> originNear(double steadySeconds) const {
        const double settled = created_ + kTimingSettles;
        std::vector<double> origins;
        for (const auto& [when, streamTime] : clock_) {
            if (when >= settled && std::abs(when - steadySeconds) < kClockWindow) {
                origins.push_back(when - streamTime);
            }
        }
        if (origins.empty()) {
            return std::nullopt;
        }
        // The median shrugs off reads that were held up.
        std::nth_element(origins.begin(), origins.begin() + origins.size() / 2, origins.end());
        return origins[origins.size() / 2];
    }

    const double created_;  // steady seconds
    mutable std::mutex mutex_;
    // (when read, the stream's time then) in seconds of the steady clock and of the stream.
    std::vector<std::pair<double, double>> clock_;
    double lastRead_;
    bool timingFresh_ = true;
    // Last: it reads the clock into the fields above until it is let go.
    MonitorRecorder recorder_;
};

}  // namespace

std::unique_ptr<TimedRecorder> recordWithTimes(const SoundServer& server, int fragmentFrames,
                                               bool keepsSinkAwake) {
    // PipeWire's own stream is exact to the graph's cycle, where its PulseAudio service's stream
    // clock wanders.
    if (server.name() == "PipeWire") {
        return std::make_unique<PipeWireRecorder>(SoundServer::kSink, fragmentFrames,
                                                  keepsSinkAwake);
    }
    return std::make_unique<MonitorClockRecorder>(server, fragmentFrames, keepsSinkAwake);
}

}  // namespace plinka::testing
