#include "MonitorClockRecorder.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>
#include <thread>

namespace plinka::testing {
namespace {

using namespace std::chrono_literals;

double steadySeconds(std::chrono::steady_clock::time_point time) {
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

// The server gives stream times only once its first timing answers are in, within a second of
// connecting.
constexpr double kTimingSettles = 1.0;
// Stream times read this close to a time tell which frame was played then.
constexpr double kClockWindow = 1.0;
// Reads this far apart: the stream was paused in between.
constexpr double kPause = 0.2;

}  // namespace

MonitorClockRecorder::MonitorClockRecorder(const std::string& serverAddress,
                                           const std::string& sink, int fragmentFrames,
                                           bool keepsSinkAwake)
    : created_(steadySeconds(std::chrono::steady_clock::now())), lastRead_(created_) {
    loop_ = pa_threaded_mainloop_new();
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "plinka-recorder");
    pa_threaded_mainloop_start(loop_);
    pa_threaded_mainloop_lock(loop_);
    pa_context_connect(context_, serverAddress.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr);
    pa_threaded_mainloop_unlock(loop_);

    const auto deadline = std::chrono::steady_clock::now() + 10s;
    auto state = [this] {
        pa_threaded_mainloop_lock(loop_);
        const pa_context_state_t contextState = pa_context_get_state(context_);
        const pa_stream_state_t streamState =
            stream_ != nullptr ? pa_stream_get_state(stream_) : PA_STREAM_UNCONNECTED;
        pa_threaded_mainloop_unlock(loop_);
        return std::make_pair(contextState, streamState);
    };
    while (std::chrono::steady_clock::now() < deadline) {
        const auto [contextState, streamState] = state();
        if (!PA_CONTEXT_IS_GOOD(contextState) || streamState == PA_STREAM_FAILED) {
            return;
        }
        // A sink that was suspended sends its monitor's first data only after a while.
        if (streamState == PA_STREAM_READY && (frames() > 0 || !keepsSinkAwake)) {
            std::lock_guard lock(mutex_);
            recording_ = true;
            return;
        }
        if (contextState == PA_CONTEXT_READY && stream_ == nullptr) {
            pa_threaded_mainloop_lock(loop_);
            const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, kRate, 2};
            stream_ = pa_stream_new(context_, "monitor", &format, nullptr);
            pa_stream_set_read_callback(
                stream_,
                [](pa_stream*, size_t, void* self) {
                    static_cast<MonitorClockRecorder*>(self)->read();
                },
                this);
            const auto unset = static_cast<uint32_t>(-1);
            pa_buffer_attr attributes{unset, unset, unset, unset, unset};
            attributes.fragsize = static_cast<uint32_t>(fragmentFrames) * 2 * sizeof(float);
            const std::string monitor = sink + ".monitor";
            pa_stream_connect_record(
                stream_, monitor.c_str(), &attributes,
                static_cast<pa_stream_flags_t>(
                    PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                    PA_STREAM_AUTO_TIMING_UPDATE |
                    (keepsSinkAwake ? 0 : PA_STREAM_DONT_INHIBIT_AUTO_SUSPEND)));
            pa_threaded_mainloop_unlock(loop_);
        }
        std::this_thread::sleep_for(2ms);
    }
}

MonitorClockRecorder::~MonitorClockRecorder() {
    pa_threaded_mainloop_stop(loop_);
    if (stream_ != nullptr) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    pa_threaded_mainloop_free(loop_);
}

// On the main loop's thread.
void MonitorClockRecorder::read() {
    const double now = steadySeconds(std::chrono::steady_clock::now());
    std::lock_guard lock(mutex_);
    // After a pause (a suspended sink, or none yet) the stream's clock is stale until the server
    // says more.
    if (now - lastRead_ > kPause) {
        timingFresh_ = false;
        pa_operation_unref(pa_stream_update_timing_info(
            stream_,
            [](pa_stream*, int, void* self) {
                auto* recorder = static_cast<MonitorClockRecorder*>(self);
                std::lock_guard updated(recorder->mutex_);
                recorder->timingFresh_ = true;
            },
            this));
    }
    lastRead_ = now;
    while (pa_stream_readable_size(stream_) > 0) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(stream_, &data, &bytes) < 0 || bytes == 0) {
            break;
        }
        const size_t count = bytes / sizeof(float);
        if (data != nullptr) {
            const auto* samples = static_cast<const float*>(data);
            samples_.insert(samples_.end(), samples, samples + count);
        } else {
            samples_.resize(samples_.size() + count);  // a hole: silence
        }
        pa_stream_drop(stream_);
    }
    pa_usec_t time = 0;
    if (timingFresh_ && pa_stream_get_time(stream_, &time) == 0) {
        clock_.emplace_back(now, static_cast<double>(time) / PA_USEC_PER_SEC);
    }
}

bool MonitorClockRecorder::recording() const {
    std::lock_guard lock(mutex_);
    return recording_;
}

std::vector<float> MonitorClockRecorder::samples() const {
    std::lock_guard lock(mutex_);
    return samples_;
}

size_t MonitorClockRecorder::frames() const {
    std::lock_guard lock(mutex_);
    return samples_.size() / 2;
}

std::optional<double> MonitorClockRecorder::originNear(double steadySeconds) const {
    if (clock_.empty()) {
        return std::nullopt;
    }
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

std::optional<std::chrono::steady_clock::time_point> MonitorClockRecorder::timeOfFrame(
    size_t frame) const {
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

std::optional<size_t> MonitorClockRecorder::frameAt(
    std::chrono::steady_clock::time_point time) const {
    std::lock_guard lock(mutex_);
    const double seconds = steadySeconds(time);
    const std::optional<double> origin = originNear(seconds);
    if (!origin) {
        return std::nullopt;
    }
    return seconds < *origin ? 0 : static_cast<size_t>((seconds - *origin) * kRate);
}

}  // namespace plinka::testing
