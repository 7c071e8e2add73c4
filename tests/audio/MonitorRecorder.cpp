#include "MonitorRecorder.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <thread>
#include <utility>

namespace plinka::testing {

using namespace std::chrono_literals;

MonitorRecorder::MonitorRecorder(const std::string& serverAddress, const std::string& sink,
                                 Options options)
    : options_(std::move(options)) {
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
        if (streamState == PA_STREAM_READY && (frames() > 0 || !options_.keepsSinkAwake)) {
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
                [](pa_stream*, size_t, void* self) { static_cast<MonitorRecorder*>(self)->read(); },
                this);
            const auto unset = static_cast<uint32_t>(-1);
            pa_buffer_attr attributes{unset, unset, unset, unset, unset};
            attributes.fragsize =
                static_cast<uint32_t>(options_.fragmentFrames) * 2 * sizeof(float);
            const std::string monitor = sink + ".monitor";
            pa_stream_connect_record(
                stream_, monitor.c_str(), &attributes,
                static_cast<pa_stream_flags_t>(
                    PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                    PA_STREAM_AUTO_TIMING_UPDATE |
                    (options_.keepsSinkAwake ? 0 : PA_STREAM_DONT_INHIBIT_AUTO_SUSPEND)));
            pa_threaded_mainloop_unlock(loop_);
        }
        std::this_thread::sleep_for(2ms);
    }
}

MonitorRecorder::~MonitorRecorder() {
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
void MonitorRecorder::read() {
    std::unique_lock lock(mutex_);
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
    lock.unlock();
    if (options_.afterRead) {
        options_.afterRead(stream_);
    }
}

bool MonitorRecorder::recording() const {
    std::lock_guard lock(mutex_);
    return recording_;
}

std::vector<float> MonitorRecorder::samples() const {
    std::lock_guard lock(mutex_);
    return samples_;
}

size_t MonitorRecorder::frames() const {
    std::lock_guard lock(mutex_);
    return samples_.size() / 2;
}

}  // namespace plinka::testing
