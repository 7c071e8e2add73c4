#include "platform/linux/audio/PulseAudioOutput.h"

#include <pthread.h>
#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

#include "base/Log.h"
#include "platform/linux/audio/MixSource.h"
#include "platform/linux/audio/RenderIntoNothing.h"

namespace plinka::audio {
namespace {

constexpr size_t kFrameBytes = 2 * sizeof(float);
// A server that comes back is heard again within about a second.
constexpr std::chrono::milliseconds kMaxRetryDelay{1000};
bool isSilent(const float* samples, size_t count) {
    return std::all_of(samples, samples + count, [](float sample) { return sample == 0.0f; });
}

// The stream's buffer: no prebuffering, so what is written plays at once; the sink buffers half
// a lead (the latency the stream asks for is (tlength - 2 minreq) / 2); the server asks for more
// only every kRequestSeconds, since the output paces itself.
pa_buffer_attr bufferAttributes(int sampleRate, size_t leadFrames) {
    const auto request =
        static_cast<uint32_t>(PulseAudioOutput::kRequestSeconds * sampleRate) * kFrameBytes;
    const auto sinkLatency = static_cast<uint32_t>(leadFrames / 2 * kFrameBytes);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.tlength = 2 * request + 2 * sinkLatency;
    attributes.prebuf = 0;
    attributes.minreq = request;
    attributes.fragsize = static_cast<uint32_t>(-1);
    return attributes;
}

}  // namespace

std::unique_ptr<PulseAudioOutput> PulseAudioOutput::connect(MixSource& source,
                                                            const AudioOptions& options, Log& log,
                                                            bool keepTrying, std::string* error) {
    auto output = std::make_unique<PulseAudioOutput>(Private(), source, options, log, keepTrying);
    FirstAttempt& firstAttempt = output->firstAttempt_;
    return afterFirstAttempt(std::move(output), firstAttempt, keepTrying, error);
}

PulseAudioOutput::PulseAudioOutput(Private, MixSource& source, const AudioOptions& options,
                                   Log& log, bool keepTrying)
    : mixer_(source),
      options_(options),
      log_(log),
      keepTrying_(keepTrying),
      wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      retryDelay_(options.devicePollInterval),
      discardBuffer_(static_cast<size_t>(options.bufferFrames) * 2),
      thread_([this] { run(); }) {}

PulseAudioOutput::~PulseAudioOutput() {
    stopping_.store(true, std::memory_order_release);
    wake();
    thread_.join();
}

void PulseAudioOutput::wake() {
    const uint64_t one = 1;
    // Only fails when the counter is full, and then the thread is woken anyway.
    [[maybe_unused]] const auto written = ::write(wakeFd_.get(), &one, sizeof one);
}

void PulseAudioOutput::run() {
    // Ahead of ordinary threads where the system allows it, so that a busy machine does not
    // starve the lead; elsewhere at the ordinary priority.
    sched_param priority{};
    priority.sched_priority = sched_get_priority_min(SCHED_RR);
    pthread_setschedparam(pthread_self(), SCHED_RR, &priority);
    mainloop_ = pa_mainloop_new();
    if (mainloop_ == nullptr || !wakeFd_.valid()) {
        firstAttempt_.report("cannot start the output's main loop");
        if (mainloop_ != nullptr) {
            pa_mainloop_free(mainloop_);
        }
        return;
    }
    api_ = pa_mainloop_get_api(mainloop_);
    wakeEvent_ = api_->io_new(
        api_, wakeFd_.get(), PA_IO_EVENT_INPUT,
        [](pa_mainloop_api*, pa_io_event*, int, pa_io_event_flags_t, void* self) {
            static_cast<PulseAudioOutput*>(self)->onWake();
        },
        this);
    startConnecting();
    pa_mainloop_run(mainloop_, nullptr);
    closeConnection();
    if (retryEvent_ != nullptr) {
        api_->time_free(retryEvent_);
    }
    api_->io_free(wakeEvent_);
    pa_mainloop_free(mainloop_);
}

void PulseAudioOutput::onWake() {
    uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(wakeFd_.get(), &count, sizeof count);
    if (stopping_.load(std::memory_order_acquire)) {
        pa_mainloop_quit(mainloop_, 0);
        return;
    }
    startWriting();
}

void PulseAudioOutput::startConnecting() {
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "org.plinka.Plinka");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "org.plinka.Plinka");
    context_ = pa_context_new_with_proplist(api_, "Plinka", properties);
    pa_proplist_free(properties);
    if (context_ == nullptr) {
        scheduleRetry();
        return;
    }
    pa_context_set_state_callback(
        context_,
        [](pa_context* context, void* self) {
            auto* output = static_cast<PulseAudioOutput*>(self);
            switch (pa_context_get_state(context)) {
                case PA_CONTEXT_READY:
                    output->openStream();
                    break;
                case PA_CONTEXT_FAILED:
                case PA_CONTEXT_TERMINATED:
                    output->connectionFailed();
                    break;
                default:
                    break;
            }
        },
        this);
    // Never start a server of our own: without one the caller plays through SDL.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        connectionFailed();
    }
}

void PulseAudioOutput::openStream() {
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(mixer_.sampleRate()), 2};
    stream_ = pa_stream_new(context_, "Key sounds", &format, nullptr);
    if (stream_ == nullptr) {
        connectionFailed();
        return;
    }
    pa_stream_set_state_callback(
        stream_,
        [](pa_stream* stream, void* self) {
            auto* output = static_cast<PulseAudioOutput*>(self);
            switch (pa_stream_get_state(stream)) {
                case PA_STREAM_READY:
                    output->streamReady();
                    break;
                case PA_STREAM_FAILED:
                case PA_STREAM_TERMINATED:
                    output->connectionFailed();
                    break;
                default:
                    break;
            }
        },
        this);
    const pa_buffer_attr attributes =
        bufferAttributes(mixer_.sampleRate(), static_cast<size_t>(options_.bufferFrames));
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
    if (pa_stream_connect_playback(stream_, nullptr, &attributes, flags, nullptr, nullptr) < 0) {
        connectionFailed();
    }
}

void PulseAudioOutput::streamReady() {
    open_.store(true, std::memory_order_release);
    idle_ = true;  // it starts corked
    lossLogged_ = false;
    retryDelay_ = options_.devicePollInterval;
    firstAttempt_.report(std::nullopt);
    if (!mixer_.isQuiet()) {
        startWriting();
    }
}

// Called from libpulse's callbacks: the connection is let go on the next turn of the loop.
void PulseAudioOutput::connectionFailed() {
    open_.store(false, std::memory_order_release);
    writing_ = false;
    armRetry(std::chrono::milliseconds(0));
}

void PulseAudioOutput::scheduleRetry() {
    armRetry(retryDelay_);
    retryDelay_ = std::min(retryDelay_ * 2, kMaxRetryDelay);
}

void PulseAudioOutput::armRetry(std::chrono::milliseconds delay) {
    struct timeval when {};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, static_cast<pa_usec_t>(delay.count()) * PA_USEC_PER_MSEC);
    if (retryEvent_ == nullptr) {
        retryEvent_ = api_->time_new(
            api_, &when,
            [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
                static_cast<PulseAudioOutput*>(self)->retry();
            },
            this);
    } else {
        api_->time_restart(retryEvent_, &when);
    }
}

void PulseAudioOutput::retry() {
    if (context_ != nullptr) {
        // A connection failed: let it go, tell once, and try again later.
        const std::string reason = contextError();
        closeConnection();
        const bool answeredBefore = firstAttempt_.reported();
        firstAttempt_.report(reason);
        if (!answeredBefore && !keepTrying_) {
            return;  // connect() reports it and lets go of the output
        }
        if (!lossLogged_) {
            log_.log(
                (answeredBefore ? "Lost the PulseAudio server (" : "PulseAudio does not answer (") +
                reason + "); sounds are dropped until it is back");
            lossLogged_ = true;
            lastDiscard_ = Clock::now();
        }
        scheduleRetry();
        return;
    }
    const auto now = Clock::now();
    renderIntoNothing(mixer_, now - lastDiscard_, discardBuffer_);
    lastDiscard_ = now;
    startConnecting();
}

void PulseAudioOutput::closeConnection() {
    open_.store(false, std::memory_order_release);
    writing_ = false;
    if (tickEvent_ != nullptr) {
        api_->time_free(tickEvent_);
        tickEvent_ = nullptr;
    }
    if (stream_ != nullptr) {
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    if (context_ != nullptr) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
}

std::string PulseAudioOutput::contextError() const {
    return pa_strerror(context_ != nullptr ? pa_context_errno(context_) : PA_ERR_UNKNOWN);
}

void PulseAudioOutput::startWriting() {
    if (writing_ || !open_.load(std::memory_order_relaxed)) {
        return;  // the next tick mixes it in; while disconnected, the retries drop it
    }
    writing_ = true;
    silentFrames_ = 0;
    // Uncorked before anything is written: written at the read position, the first block then
    // goes where the sink reads next and is heard whole.
    if (idle_) {
        pa_operation_unref(pa_stream_cork(stream_, 0, nullptr, nullptr));
        idle_ = false;
    }
    // The sink takes its buffer's worth at once (half a lead), besides what it rewinds to play
    // this at once: a lead beyond that.
    const auto lead = static_cast<size_t>(options_.bufferFrames);
    write(lead + lead / 2, true);
    armTick(tickDelay());
}

void PulseAudioOutput::goIdle() {
    if (!open_.load(std::memory_order_relaxed) || idle_ || !mixer_.isQuiet()) {
        return;
    }
    idle_ = true;
    pa_operation_unref(pa_stream_cork(stream_, 1, nullptr, nullptr));
}

uint64_t PulseAudioOutput::tickDelay() const {
    // Half a lead: the lead never runs below half.
    return static_cast<pa_usec_t>(options_.bufferFrames) * PA_USEC_PER_SEC / 2 /
           static_cast<pa_usec_t>(mixer_.sampleRate());
}

void PulseAudioOutput::keepLead() {
    if (!writing_) {
        goIdle();  // quiet since the tick was armed, or the connection failed meanwhile
        return;
    }
    // How far ahead of the sink we are, as the server sees it: the sink takes what it renders
    // ahead of time in bursts that no clock of ours would tell.
    pa_operation* update = pa_stream_update_timing_info(
        stream_, [](pa_stream*, int, void* self) { static_cast<PulseAudioOutput*>(self)->topUp(); },
        this);
    if (update != nullptr) {
        pa_operation_unref(update);
    }
}

void PulseAudioOutput::topUp() {
    if (!writing_) {
        return;
    }
    const auto lead = static_cast<int64_t>(options_.bufferFrames);
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (timing == nullptr || timing->read_index_corrupt || timing->write_index_corrupt) {
        write(static_cast<size_t>(lead / 2), false);  // a tick's worth
    } else if (const int64_t queued =
                   (timing->write_index - timing->read_index) / static_cast<int64_t>(kFrameBytes);
               queued < 0) {
        write(static_cast<size_t>(lead), true);  // held up: start over where the sink reads
    } else if (queued < lead) {
        write(static_cast<size_t>(lead - queued), false);
    }
    // Everything heard has left the queue: from now on only silence is queued.
    if (silentFrames_ >= static_cast<size_t>(lead) && mixer_.isQuiet()) {
        writing_ = false;
        armTick(static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(kQuietAfter).count()));
        return;
    }
    armTick(tickDelay());
}

void PulseAudioOutput::write(size_t frames, bool atReadPosition) {
    while (frames > 0 && stream_ != nullptr) {
        void* data = nullptr;
        size_t bytes = frames * kFrameBytes;
        if (pa_stream_begin_write(stream_, &data, &bytes) < 0 || data == nullptr) {
            return;
        }
        const size_t count = std::min(frames, bytes / kFrameBytes);
        if (count == 0) {
            pa_stream_cancel_write(stream_);
            return;
        }
        auto* samples = static_cast<float*>(data);
        mixer_.render(samples, count);
        silentFrames_ = isSilent(samples, 2 * count) ? silentFrames_ + count : 0;
        // The first block after a quiet spell goes where the server reads next: what was
        // queued before is silence (or long played), so nothing heard is overwritten.
        pa_stream_write(stream_, data, count * kFrameBytes, nullptr, 0,
                        atReadPosition ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE);
        atReadPosition = false;
        frames -= count;
    }
}

void PulseAudioOutput::armTick(uint64_t delay) {
    const pa_usec_t when = pa_rtclock_now() + delay;
    if (tickEvent_ == nullptr) {
        tickEvent_ = pa_context_rttime_new(
            context_, when,
            [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
                static_cast<PulseAudioOutput*>(self)->keepLead();
            },
            this);
    } else {
        pa_context_rttime_restart(context_, tickEvent_, when);
    }
}

}  // namespace plinka::audio
