#include "platform/linux/audio/EspeakWorker.h"

#include <chrono>
#include <vector>

#include "base/Log.h"
#include "platform/linux/audio/SpeechStream.h"
#include "platform/linux/audio/SpeechStreamWriter.h"
#include "platform/linux/audio/StreamResampler.h"

namespace plinka::audio {
namespace {

// The utterance being spoken: its speech resampled to the output rate into its stream.
class Utterance final : public SpeechSink {
  public:
    Utterance(SpeechStreamWriter& writer, StreamResampler& resampler,
              const std::function<void()>& onQueued)
        : writer_(writer), resampler_(resampler), onQueued_(onQueued) {}

    bool take(const short* samples, size_t count) override {
        if (!writer_.isCurrent()) {
            return false;
        }
        if (count == 0) {
            return true;
        }
        samples_.resize(count);
        for (size_t i = 0; i < count; ++i) {
            samples_[i] = static_cast<float>(samples[i]) / 32768.0f;
        }
        const std::vector<float>& resampled =
            resampler_.process(samples_.data(), samples_.size(), false);
        const bool current = writer_.write(resampled.data(), resampled.size());
        onQueued_();
        return current;
    }

  private:
    SpeechStreamWriter& writer_;
    StreamResampler& resampler_;
    const std::function<void()>& onQueued_;
    std::vector<float> samples_;
};

}  // namespace

EspeakWorker::EspeakWorker(int outputRate, Log& log, const StartSpeechEngine& startEngine,
                           std::function<void()> onQueued)
    : log_(log),
      onQueued_(std::move(onQueued)),
      // The thread uses startEngine only before started_, which this constructor waits for.
      thread_([this, outputRate, &startEngine] { run(outputRate, startEngine); }) {
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

void EspeakWorker::run(int outputRate, const StartSpeechEngine& startEngine) {
    SpeechEngine* const engine = startEngine(log_);
    StreamResampler resampler(engine != nullptr ? engine->sampleRate() : outputRate, outputRate);
    if (engine != nullptr && !resampler.isValid()) {
        log_.log("Speech is unavailable: its sample rate cannot be converted");
    }
    {
        std::lock_guard lock(mutex_);
        available_ = engine != nullptr && resampler.isValid();
        started_ = true;
    }
    changed_.notify_all();

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
            resampler.reset();
            speak(*engine, request, resampler);
        }
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

void EspeakWorker::speak(SpeechEngine& engine, const Request& request, StreamResampler& resampler) {
    SpeechStreamWriter writer(*request.stream, request.generation,
                              [this](SpeechStream& stream) { return waitForSpace(stream); });
    Utterance utterance(writer, resampler, onQueued_);
    const bool spoken = engine.speak(request.text.c_str(), utterance);
    if (!writer.isCurrent()) {
        return;
    }
    if (!spoken) {
        // Once, and without the text: a theme's texts stand for keys, so each line would tell
        // what was typed.
        if (!speakFailureLogged_) {
            speakFailureLogged_ = true;
            log_.log("espeak-ng could not speak a theme's text; it stays silent");
        }
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
