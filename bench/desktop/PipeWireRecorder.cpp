#include "PipeWireRecorder.h"

#include <pipewire/pipewire.h>

#include <algorithm>
#include <thread>

#include "platform/linux/audio/PipeWireFormat.h"

namespace plinka::testing {
namespace {

using namespace std::chrono_literals;

int64_t nanosOf(std::chrono::steady_clock::time_point time) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

}  // namespace

PipeWireRecorder::PipeWireRecorder(const std::string& sink, int latencyFrames,
                                   bool keepsSinkAwake) {
    const std::string latency = std::to_string(latencyFrames) + "/" + std::to_string(kRate);
    pw_init(nullptr, nullptr);
    loop_ = pw_thread_loop_new("plinka-recorder", nullptr);
    pw_thread_loop_lock(loop_);
    pw_thread_loop_start(loop_);
    stream_ = pw_stream_new_simple(
        pw_thread_loop_get_loop(loop_), "recorder",
        pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture",
                          PW_KEY_STREAM_CAPTURE_SINK, "true", PW_KEY_TARGET_OBJECT, sink.c_str(),
                          PW_KEY_NODE_PASSIVE, keepsSinkAwake ? "false" : "true",
                          PW_KEY_NODE_LATENCY, latency.c_str(), PW_KEY_CONFIG_NAME,
                          "client-rt.conf", nullptr),
        [] {
            static pw_stream_events events{};
            events.version = PW_VERSION_STREAM_EVENTS;
            events.process = [](void* self) { static_cast<PipeWireRecorder*>(self)->process(); };
            return &events;
        }(),
        this);
    uint8_t buffer[512];
    spa_pod_builder builder{};
    spa_pod_builder_init(&builder, buffer, sizeof buffer);
    const spa_pod* params[] = {audio::floatStereoFormat(builder, kRate)};
    const auto flags = static_cast<pw_stream_flags>(
        PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
    connected_ = stream_ != nullptr &&
                 pw_stream_connect(stream_, PW_DIRECTION_INPUT, PW_ID_ANY, flags, params, 1) == 0;
    pw_thread_loop_unlock(loop_);
    // Linked once the session manager has seen it.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (connected_ && std::chrono::steady_clock::now() < deadline) {
        pw_thread_loop_lock(loop_);
        const pw_stream_state state = pw_stream_get_state(stream_, nullptr);
        pw_thread_loop_unlock(loop_);
        if (state == PW_STREAM_STATE_PAUSED || state == PW_STREAM_STATE_STREAMING) {
            return;
        }
        connected_ = state != PW_STREAM_STATE_ERROR;
        std::this_thread::sleep_for(5ms);
    }
    connected_ = false;
}

PipeWireRecorder::~PipeWireRecorder() {
    pw_thread_loop_stop(loop_);
    if (stream_ != nullptr) {
        pw_stream_destroy(stream_);
    }
    pw_thread_loop_destroy(loop_);
}

void PipeWireRecorder::process() {
    pw_buffer* buffer = pw_stream_dequeue_buffer(stream_);
    if (buffer == nullptr) {
        return;
    }
    pw_time time{};
    pw_stream_get_time_n(stream_, &time, sizeof time);
    const spa_data& data = buffer->buffer->datas[0];
    if (data.data != nullptr && data.chunk->size > 0) {
        const auto* samples = reinterpret_cast<const float*>(
            static_cast<const uint8_t*>(data.data) + data.chunk->offset % data.maxsize);
        const size_t count = std::min(data.chunk->size, data.maxsize) / sizeof(float);
        std::lock_guard lock(mutex_);
        blocks_.push_back({time.now, samples_.size() / 2});
        samples_.insert(samples_.end(), samples, samples + count);
    }
    pw_stream_queue_buffer(stream_, buffer);
}

std::vector<float> PipeWireRecorder::samples() const {
    std::lock_guard lock(mutex_);
    return samples_;
}

size_t PipeWireRecorder::frames() const {
    std::lock_guard lock(mutex_);
    return samples_.size() / 2;
}

std::optional<std::chrono::steady_clock::time_point> PipeWireRecorder::timeOfFrame(
    size_t frame) const {
    std::lock_guard lock(mutex_);
    const auto after = std::upper_bound(
        blocks_.begin(), blocks_.end(), frame,
        [](size_t wanted, const Block& block) { return wanted < block.firstFrame; });
    if (after == blocks_.begin()) {
        return std::nullopt;
    }
    const Block& block = *(after - 1);
    const auto nanos =
        block.cycleNanos + static_cast<int64_t>(frame - block.firstFrame) * 1000000000 / kRate;
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(nanos));
}

std::optional<size_t> PipeWireRecorder::frameAt(std::chrono::steady_clock::time_point time) const {
    std::lock_guard lock(mutex_);
    const int64_t nanos = nanosOf(time);
    const auto after = std::upper_bound(
        blocks_.begin(), blocks_.end(), nanos,
        [](int64_t wanted, const Block& block) { return wanted < block.cycleNanos; });
    if (after == blocks_.end()) {
        return std::nullopt;  // not recorded yet
    }
    if (after == blocks_.begin()) {
        return 0;
    }
    const Block& block = *(after - 1);
    const auto frame =
        block.firstFrame + static_cast<size_t>((nanos - block.cycleNanos) * kRate / 1000000000);
    return std::min(frame, after->firstFrame);
}

}  // namespace plinka::testing
