#include "platform/linux/audio/PipeWireOutput.h"

#include <pipewire/pipewire.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "base/Log.h"
#include "platform/linux/audio/MixSource.h"
#include "platform/linux/audio/PipeWireFormat.h"
#include "platform/linux/audio/RenderIntoNothing.h"

namespace plinka::audio {
namespace {

constexpr size_t kFrameBytes = 2 * sizeof(float);
// A connection that lasted this long was not part of the last outage.
constexpr std::chrono::seconds kSettles{2};

bool isSilent(const float* samples, size_t count) {
    return std::all_of(samples, samples + count, [](float sample) { return sample == 0.0f; });
}

void initializeOnce() {
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

}  // namespace

std::unique_ptr<PipeWireOutput> PipeWireOutput::connect(MixSource& source,
                                                        const AudioOptions& options, Log& log,
                                                        bool keepTrying, std::string* error) {
    auto output = std::make_unique<PipeWireOutput>(Private(), source, options, log, keepTrying);
    FirstAttempt& firstAttempt = output->firstAttempt_;
    return afterFirstAttempt(std::move(output), firstAttempt, keepTrying, error);
}

PipeWireOutput::PipeWireOutput(Private, MixSource& source, const AudioOptions& options, Log& log,
                               bool keepTrying)
    : source_(source),
      options_(options),
      log_(log),
      keepTrying_(keepTrying),
      quietFrames_(static_cast<size_t>(kQuietAfter.count()) *
                   static_cast<size_t>(source.sampleRate()) / 1000),
      retryDelay_(std::min(options.devicePollInterval, kMaxRetryDelay)),
      discardBuffer_(static_cast<size_t>(options.bufferFrames) * 2) {
    initializeOnce();
    loop_ = pw_main_loop_new(nullptr);
    if (loop_ != nullptr) {
        pw_loop* loop = pw_main_loop_get_loop(loop_);
        wakeEvent_ = pw_loop_add_event(
            loop, [](void* self, uint64_t) { static_cast<PipeWireOutput*>(self)->onWake(); }, this);
        quietEvent_ = pw_loop_add_event(
            loop, [](void* self, uint64_t) { static_cast<PipeWireOutput*>(self)->onQuiet(); },
            this);
        stopEvent_ = pw_loop_add_event(
            loop,
            [](void* self, uint64_t) {
                pw_main_loop_quit(static_cast<PipeWireOutput*>(self)->loop_);
            },
            this);
        retryTimer_ = pw_loop_add_timer(
            loop, [](void* self, uint64_t) { static_cast<PipeWireOutput*>(self)->retry(); }, this);
    }
    thread_ = std::thread([this] { run(); });
}

PipeWireOutput::~PipeWireOutput() {
    if (loop_ != nullptr) {
        pw_loop_signal_event(pw_main_loop_get_loop(loop_), stopEvent_);
    }
    thread_.join();
    if (loop_ != nullptr) {
        pw_main_loop_destroy(loop_);  // with its events and timer
    }
}

void PipeWireOutput::wake() {
    wakes_.fetch_add(1, std::memory_order_acq_rel);
    if (loop_ != nullptr) {
        pw_loop_signal_event(pw_main_loop_get_loop(loop_), wakeEvent_);
    }
}

void PipeWireOutput::run() {
    if (loop_ == nullptr) {
        firstAttempt_.report("cannot start the output's main loop");
        return;
    }
    startConnecting();
    pw_main_loop_run(loop_);
    closeConnection();
}

void PipeWireOutput::startConnecting() {
    pw_loop* loop = pw_main_loop_get_loop(loop_);
    // client-rt.conf: the realtime thread gets a realtime priority where the system grants one,
    // so that a busy machine does not make it miss the graph's short cycles.
    context_ =
        pw_context_new(loop,
                       pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", PW_KEY_APP_NAME,
                                         "Plinka", PW_KEY_APP_ID, "org.plinka.Plinka",
                                         PW_KEY_APP_ICON_NAME, "org.plinka.Plinka", nullptr),
                       0);
    core_ = context_ != nullptr ? pw_context_connect(context_, nullptr, 0) : nullptr;
    if (core_ == nullptr) {
        connectionFailed(std::strerror(errno));
        return;
    }
    static const pw_core_events coreEvents = {
        .version = PW_VERSION_CORE_EVENTS,
        .info = nullptr,
        .done =
            [](void* self, uint32_t id, int seq) {
                auto* output = static_cast<PipeWireOutput*>(self);
                if (id == PW_ID_CORE && seq == output->sinkSearch_) {
                    output->sinkSearchDone();
                }
            },
        .ping = nullptr,
        .error =
            [](void* self, uint32_t id, int, int result, const char* message) {
                // Only an error of the connection itself ends it.
                if (id == PW_ID_CORE && result == -EPIPE) {
                    static_cast<PipeWireOutput*>(self)->connectionFailed(message);
                }
            },
        .remove_id = nullptr,
        .bound_id = nullptr,
        .add_mem = nullptr,
        .remove_mem = nullptr,
    };
    pw_core_add_listener(core_, &coreListener_, &coreEvents, this);
    if (firstAttempt_.reported()) {
        openStream();  // a server that was there: its session manager brings the sink back
        return;
    }
    // The first time, PipeWire counts only if it plays sound: some desktops run it for video
    // beside a PulseAudio server that has the sound card.
    registry_ = pw_core_get_registry(core_, PW_VERSION_REGISTRY, 0);
    static const pw_registry_events registryEvents = {
        .version = PW_VERSION_REGISTRY_EVENTS,
        .global =
            [](void* self, uint32_t, uint32_t, const char* type, uint32_t, const spa_dict* props) {
                const char* mediaClass =
                    props != nullptr ? spa_dict_lookup(props, PW_KEY_MEDIA_CLASS) : nullptr;
                if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0 && mediaClass != nullptr &&
                    std::strcmp(mediaClass, "Audio/Sink") == 0) {
                    static_cast<PipeWireOutput*>(self)->sinkFound_ = true;
                }
            },
        .global_remove = nullptr,
    };
    pw_registry_add_listener(registry_, &registryListener_, &registryEvents, this);
    sinkSearch_ = pw_core_sync(core_, PW_ID_CORE, 0);
}

void PipeWireOutput::sinkSearchDone() {
    spa_hook_remove(&registryListener_);
    pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
    registry_ = nullptr;
    if (!sinkFound_) {
        connectionFailed("the server has no audio sink");
        return;
    }
    openStream();
}

void PipeWireOutput::openStream() {
    const std::string latency =
        std::to_string(options_.bufferFrames) + "/" + std::to_string(source_.sampleRate());
    stream_ =
        pw_stream_new(core_, "Key sounds",
                      pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
                                        "Playback", PW_KEY_NODE_LATENCY, latency.c_str(), nullptr));
    if (stream_ == nullptr) {
        connectionFailed(std::strerror(errno));
        return;
    }
    static const pw_stream_events streamEvents = {
        .version = PW_VERSION_STREAM_EVENTS,
        .destroy = nullptr,
        .state_changed =
            [](void* self, pw_stream_state, pw_stream_state state, const char* error) {
                static_cast<PipeWireOutput*>(self)->streamStateChanged(state, error);
            },
        .control_info = nullptr,
        .io_changed = nullptr,
        .param_changed = nullptr,
        .add_buffer = nullptr,
        .remove_buffer = nullptr,
        .process = [](void* self) { static_cast<PipeWireOutput*>(self)->process(); },
        .drained = nullptr,
        .command = nullptr,
        .trigger_done = nullptr,
    };
    pw_stream_add_listener(stream_, &streamListener_, &streamEvents, this);
    uint8_t buffer[512];
    spa_pod_builder builder{};
    spa_pod_builder_init(&builder, buffer, sizeof buffer);
    const spa_pod* params[] = {
        floatStereoFormat(builder, static_cast<uint32_t>(source_.sampleRate()))};
    // Inactive until something sounds.
    active_ = false;
    silentFrames_ = 0;
    // Called on the realtime thread: the mixer's audio side renders lock-free and allocates
    // nothing.
    const auto flags =
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                     PW_STREAM_FLAG_RT_PROCESS | PW_STREAM_FLAG_INACTIVE);
    if (pw_stream_connect(stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, params, 1) < 0) {
        connectionFailed(std::strerror(errno));
    }
}

void PipeWireOutput::streamStateChanged(int state, const char* error) {
    switch (state) {
        case PW_STREAM_STATE_PAUSED:
        case PW_STREAM_STATE_STREAMING:
            if (!open_.exchange(true, std::memory_order_acq_rel)) {
                connectedAt_ = Clock::now();
                retryDelay_ = std::min(options_.devicePollInterval, kMaxRetryDelay);
                firstAttempt_.report(std::nullopt);
            }
            break;
        case PW_STREAM_STATE_ERROR:
            connectionFailed(error != nullptr ? error : "stream error");
            break;
        default:
            break;
    }
}

// Called from PipeWire's callbacks: the connection is let go on the next turn of the loop.
void PipeWireOutput::connectionFailed(const std::string& reason) {
    // A server that comes back may refuse the stream for a moment ("no node available" while its
    // session manager starts): one outage, one line.
    if (open_.exchange(false, std::memory_order_acq_rel) &&
        Clock::now() - connectedAt_ > kSettles) {
        lossLogged_ = false;
    }
    const bool answeredBefore = firstAttempt_.reported();
    firstAttempt_.report(reason);
    if ((answeredBefore || keepTrying_) && !lossLogged_) {
        log_.log((answeredBefore ? "Lost the PipeWire server (" : "PipeWire does not answer (") +
                 reason + "); sounds are dropped until it is back");
        lossLogged_ = true;
        lastDiscard_ = Clock::now();
    }
    armRetry(std::chrono::milliseconds(0));
}

void PipeWireOutput::armRetry(std::chrono::milliseconds delay) {
    // A zero time disarms the timer: the shortest is a nanosecond.
    timespec value{};
    value.tv_sec = static_cast<time_t>(delay.count() / 1000);
    value.tv_nsec = std::max<long>(1, static_cast<long>(delay.count() % 1000) * 1000000);
    pw_loop_update_timer(pw_main_loop_get_loop(loop_), retryTimer_, &value, nullptr, false);
}

void PipeWireOutput::retry() {
    if (context_ != nullptr) {
        // A connection failed: let it go, and try again later unless connect() gives up.
        closeConnection();
        if (keepTrying_ || !firstAttempt_.failed()) {
            armRetry(retryDelay_);
            retryDelay_ = std::min(retryDelay_ * 2, kMaxRetryDelay);
        }
        return;
    }
    const auto now = Clock::now();
    renderIntoNothing(source_, now - lastDiscard_, discardBuffer_);
    lastDiscard_ = now;
    startConnecting();
}

void PipeWireOutput::closeConnection() {
    open_.store(false, std::memory_order_release);
    if (registry_ != nullptr) {
        spa_hook_remove(&registryListener_);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
        registry_ = nullptr;
    }
    if (stream_ != nullptr) {
        // Returns once the realtime thread is out of process(): the mixer is ours after this.
        spa_hook_remove(&streamListener_);
        pw_stream_destroy(stream_);
        stream_ = nullptr;
    }
    if (core_ != nullptr) {
        spa_hook_remove(&coreListener_);
        pw_core_disconnect(core_);
        core_ = nullptr;
    }
    if (context_ != nullptr) {
        pw_context_destroy(context_);
        context_ = nullptr;
    }
    sinkFound_ = false;
}

void PipeWireOutput::onWake() {
    if (stream_ != nullptr && !active_) {
        active_ = true;
        pw_stream_set_active(stream_, true);
    }
}

void PipeWireOutput::onQuiet() {
    if (!quietPending_.load(std::memory_order_acquire)) {
        return;
    }
    // A wake-up since the realtime thread found it quiet: something new is on its way.
    if (stream_ != nullptr && active_ &&
        wakes_.load(std::memory_order_acquire) == quietAt_.load(std::memory_order_acquire)) {
        active_ = false;
        pw_stream_set_active(stream_, false);
    }
    quietPending_.store(false, std::memory_order_release);
}

void PipeWireOutput::process() {
    const uint64_t wakes = wakes_.load(std::memory_order_acquire);
    pw_buffer* buffer = pw_stream_dequeue_buffer(stream_);
    if (buffer == nullptr) {
        return;
    }
    spa_data& data = buffer->buffer->datas[0];
    if (data.data != nullptr) {
        size_t frames = data.maxsize / kFrameBytes;
        if (buffer->requested > 0) {
            frames = std::min<size_t>(frames, buffer->requested);
        }
        auto* samples = static_cast<float*>(data.data);
        source_.render(samples, frames);
        silentFrames_ = isSilent(samples, 2 * frames) ? silentFrames_ + frames : 0;
        data.chunk->offset = 0;
        data.chunk->stride = kFrameBytes;
        data.chunk->size = static_cast<uint32_t>(frames * kFrameBytes);
    }
    pw_stream_queue_buffer(stream_, buffer);
    // Once for each stretch of quiet.
    if (silentFrames_ >= quietFrames_ && wakes != quietAt_.load(std::memory_order_acquire) &&
        !quietPending_.load(std::memory_order_acquire) && source_.isQuiet()) {
        quietAt_.store(wakes, std::memory_order_release);
        quietPending_.store(true, std::memory_order_release);
        pw_loop_signal_event(pw_main_loop_get_loop(loop_), quietEvent_);
    }
}

}  // namespace plinka::audio
