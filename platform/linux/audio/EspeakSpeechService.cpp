#include "platform/linux/audio/EspeakSpeechService.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakWorker.h"
#include "platform/linux/audio/SpeechStream.h"

namespace plinka {
namespace {

// One stream voice of the mixer, made when it first speaks. Each text is a new generation of
// the stream: the worker drops the texts and the mixer the blocks of earlier generations, which
// cuts them off at once.
class EspeakSynthesizer final : public SpeechSynthesizer {
  public:
    EspeakSynthesizer(audio::Mixer& mixer, EspeakSpeechService& service)
        : mixer_(mixer), service_(service) {}

    ~EspeakSynthesizer() override {
        stopSpeaking();
        if (attached_) {
            mixer_.detachStream(stream_);
        }
    }
    EspeakSynthesizer(const EspeakSynthesizer&) = delete;
    EspeakSynthesizer& operator=(const EspeakSynthesizer&) = delete;

    bool startSpeakingString(const std::string& text) override {
        audio::EspeakWorker& worker = service_.worker();
        if (!worker.isAvailable() || !isAttached()) {
            return false;
        }
        stream_->generation.store(++generation_, std::memory_order_release);
        hasText_ = true;
        worker.enqueue(stream_, generation_, text);
        return true;
    }

    void stopSpeaking() override {
        if (stream_ != nullptr) {
            stream_->generation.store(++generation_, std::memory_order_release);
        }
        hasText_ = false;
    }

    bool isSpeaking() const override {
        return hasText_ &&
               stream_->finishedGeneration.load(std::memory_order_acquire) != generation_;
    }

  private:
    // Attaching fails only while the mixer is full or has not caught up; try again then.
    bool isAttached() {
        if (stream_ == nullptr) {
            stream_ = std::make_shared<audio::SpeechStream>();
        }
        if (!attached_) {
            attached_ = mixer_.attachStream(*stream_);
        }
        return attached_;
    }

    audio::Mixer& mixer_;
    EspeakSpeechService& service_;
    std::shared_ptr<audio::SpeechStream> stream_;
    bool attached_ = false;
    uint32_t generation_ = 0;
    bool hasText_ = false;  // whether generation_ is a text rather than a stop
};

}  // namespace

EspeakSpeechService::EspeakSpeechService(AudioEngine& engine, Log& log,
                                         audio::StartSpeechEngine startSpeech)
    : engine_(engine), log_(log), startSpeech_(std::move(startSpeech)) {}

EspeakSpeechService::~EspeakSpeechService() = default;

std::unique_ptr<SpeechSynthesizer> EspeakSpeechService::makeSynthesizer() {
    return std::make_unique<EspeakSynthesizer>(engine_.mixer(), *this);
}

audio::EspeakWorker& EspeakSpeechService::worker() {
    if (worker_ == nullptr) {
        audio::Mixer& mixer = engine_.mixer();
        worker_ = std::make_unique<audio::EspeakWorker>(mixer.sampleRate(), log_, startSpeech_,
                                                        [&mixer] { mixer.wakeAudioSide(); });
    }
    return *worker_;
}

bool EspeakSpeechService::isAvailable() {
    return worker().isAvailable();
}

void EspeakSpeechService::waitUntilSynthesized() {
    if (worker_ != nullptr) {
        worker_->waitUntilSettled();
    }
}

}  // namespace plinka
