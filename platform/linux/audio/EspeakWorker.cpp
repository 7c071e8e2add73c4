#include "platform/linux/audio/EspeakWorker.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <chrono>
#include <vector>

#include "base/Log.h"
#include "platform/linux/audio/SpeechStream.h"
#include "platform/linux/audio/SpeechStreamWriter.h"
#include "platform/linux/audio/StreamResampler.h"

namespace plinka::audio {
namespace {

// espeak-ng keeps its state per process: it is set up once, and one thread at a time uses it.
std::mutex& espeakMutex() {
    static std::mutex mutex;
    return mutex;
}

// What the synthesis callback needs for the utterance being spoken.
struct Utterance {
    SpeechStreamWriter& writer;
    StreamResampler& resampler;
    const std::function<void()>& onQueued;
    std::vector<float> samples;
};

int onSynthesized(short* wav, int count, espeak_EVENT* events) {
    auto* utterance = events != nullptr ? static_cast<Utterance*>(events->user_data) : nullptr;
    if (utterance == nullptr || !utterance->writer.isCurrent()) {
        return 1;  // stops the synthesis
    }
    if (wav == nullptr || count <= 0) {
        return 0;
    }
    utterance->samples.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        utterance->samples[static_cast<size_t>(i)] = static_cast<float>(wav[i]) / 32768.0f;
    }
    const std::vector<float>& resampled =
        utterance->resampler.process(utterance->samples.data(), utterance->samples.size(), false);
    const bool current = utterance->writer.write(resampled.data(), resampled.size());
    utterance->onQueued();
    return current ? 0 : 1;
}

// Under espeakMutex(): espeak-ng's sample rate, or 0 when it cannot run.
int espeakSampleRate() {
    static const int rate = [] {
        const int result =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 50, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (result <= 0 || espeak_SetVoiceByName(ESPEAKNG_DEFAULT_VOICE) != EE_OK) {
            return 0;
        }
        espeak_SetSynthCallback(&onSynthesized);
        return result;
    }();
    return rate;
}

}  // namespace

EspeakWorker::EspeakWorker(int outputRate, Log& log, std::function<void()> onQueued)
    : log_(log), onQueued_(std::move(onQueued)), thread_([this, outputRate] { run(outputRate); }) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return started_; });
}

EspeakWorker::~EspeakWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void EspeakWorker::enqueue(std::shared_ptr<SpeechStream> stream, uint32_t generation,
                           std::string text) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({std::move(stream), generation, std::move(text)});
    }
    changed_.notify_all();
}

bool EspeakWorker::isSettled() const {
    // Blocked on a full stream, the worker gets to nothing else queued until the mixer renders.
    if (waitingOn_ != nullptr) {
        return waitingOn_->blocks.size() == waitingOn_->blocks.capacity();
    }
    return !busy_ && queue_.empty();
}

void EspeakWorker::waitUntilSettled() {
    // The mixer frees stream space without telling anyone, so look again now and then.
    while (!waitUntilSettled(std::chrono::milliseconds(1))) {
    }
}

bool EspeakWorker::waitUntilSettled(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return isSettled(); });
}

void EspeakWorker::run(int outputRate) {
    std::unique_lock espeak(espeakMutex());
    const int espeakRate = espeakSampleRate();
    StreamResampler resampler(espeakRate > 0 ? espeakRate : outputRate, outputRate);
    {
        std::lock_guard lock(mutex_);
        available_ = espeakRate > 0 && resampler.isValid();
        started_ = true;
    }
    changed_.notify_all();
    espeak.unlock();
    if (!available_) {
        log_.log("Speech is unavailable: espeak-ng could not be started");
    }

    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) {
            return;
        }
        Request request = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        if (available_ && request.stream->generation.load() == request.generation) {
            std::lock_guard espeakInUse(espeakMutex());
            resampler.reset();
            speak(request, resampler);
        }
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

void EspeakWorker::speak(const Request& request, StreamResampler& resampler) {
    SpeechStreamWriter writer(*request.stream, request.generation,
                              [this](SpeechStream& stream) { return waitForSpace(stream); });
    Utterance utterance{writer, resampler, onQueued_, {}};
    const espeak_ERROR error =
        espeak_Synth(request.text.c_str(), request.text.size() + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8, nullptr, &utterance);
    if (!writer.isCurrent()) {
        return;
    }
    if (error != EE_OK) {
        log_.log("espeak-ng could not speak \"" + request.text + "\"");
    } else {
        const std::vector<float>& tail = resampler.process(nullptr, 0, true);
        writer.write(tail.data(), tail.size());
    }
    writer.finish();
    onQueued_();
}

bool EspeakWorker::waitForSpace(SpeechStream& stream) {
    std::unique_lock lock(mutex_);
    waitingOn_ = &stream;
    changed_.notify_all();
    // The audio side frees space without telling anyone; a block lasts about 20 ms.
    changed_.wait_for(lock, std::chrono::milliseconds(2), [this] { return stopping_; });
    waitingOn_ = nullptr;
    return !stopping_;
}

}  // namespace plinka::audio
