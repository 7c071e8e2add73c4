#include "platform/linux/audio/EspeakSpeechService.h"

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakWorker.h"
#include "platform/linux/audio/SpeechStream.h"

namespace plinka {
namespace {

// One stream voice of the mixer. Each text is a new generation of the stream: the worker drops
// the texts and the mixer the blocks of earlier generations, which cuts them off at once.
class EspeakSynthesizer final : public SpeechSynthesizer {
  public:
    EspeakSynthesizer(audio::Mixer& mixer, audio::EspeakWorker& worker)
        : mixer_(mixer),
          worker_(worker),
          stream_(std::make_shared<audio::SpeechStream>()),
          attached_(mixer.attachStream(*stream_)) {}

    ~EspeakSynthesizer() override {
        stopSpeaking();
        if (attached_) {
            mixer_.detachStream(stream_);
        }
    }
    EspeakSynthesizer(const EspeakSynthesizer&) = delete;
    EspeakSynthesizer& operator=(const EspeakSynthesizer&) = delete;

    bool startSpeakingString(const std::string& text) override {
        if (!worker_.isAvailable() || !isAttached()) {
            return false;
        }
        stream_->generation.store(++generation_, std::memory_order_release);
        hasText_ = true;
        worker_.enqueue(stream_, generation_, text);
        return true;
    }

    void stopSpeaking() override {
        stream_->generation.store(++generation_, std::memory_order_release);
        hasText_ = false;
    }

    bool isSpeaking() const override {
        return hasText_ &&
               stream_->finishedGeneration.load(std::memory_order_acquire) != generation_;
    }

  private:
    // Attaching fails only while the mixer is full or has not caught up; try again then.
    bool isAttached() {
        if (!attached_) {
            attached_ = mixer_.attachStream(*stream_);
        }
        return attached_;
    }

    audio::Mixer& mixer_;
    audio::EspeakWorker& worker_;
    std::shared_ptr<audio::SpeechStream> stream_;
    bool attached_;
    uint32_t generation_ = 0;
    bool hasText_ = false;  // whether generation_ is a text rather than a stop
};

}  // namespace

EspeakSpeechService::EspeakSpeechService(AudioEngine& engine, Log& log)
    : engine_(engine),
      worker_(std::make_unique<audio::EspeakWorker>(engine.mixer().sampleRate(), log)) {}

EspeakSpeechService::~EspeakSpeechService() = default;

std::unique_ptr<SpeechSynthesizer> EspeakSpeechService::makeSynthesizer() {
    return std::make_unique<EspeakSynthesizer>(engine_.mixer(), *worker_);
}

bool EspeakSpeechService::isAvailable() const {
    return worker_->isAvailable();
}

void EspeakSpeechService::waitUntilSynthesized() {
    worker_->waitUntilSettled();
}

}  // namespace plinka
