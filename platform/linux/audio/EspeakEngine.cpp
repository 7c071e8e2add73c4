#include "platform/linux/audio/EspeakEngine.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <cstring>
#include <mutex>

#include "base/Log.h"

namespace plinka::audio {
namespace {

int onSynthesized(short* wav, int count, espeak_EVENT* events) {
    auto* sink = events != nullptr ? static_cast<SpeechSink*>(events->user_data) : nullptr;
    if (sink == nullptr) {
        return 1;  // stops the synthesis
    }
    const size_t samples = wav != nullptr && count > 0 ? static_cast<size_t>(count) : 0;
    return sink->take(wav, samples) ? 0 : 1;
}

// espeak-ng keeps its state per process and is not thread-safe: one utterance at a time.
class EspeakEngine final : public SpeechEngine {
  public:
    explicit EspeakEngine(int sampleRate) : sampleRate_(sampleRate) {}

    int sampleRate() const override { return sampleRate_; }

    bool speak(const char* text, SpeechSink& sink) override {
        std::lock_guard lock(mutex_);
        return espeak_Synth(text, std::strlen(text) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                            nullptr, &sink) == EE_OK;
    }

  private:
    const int sampleRate_;
    std::mutex mutex_;
};

EspeakEngine* initialize() {
    const int rate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 50, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0 || espeak_SetVoiceByName(ESPEAKNG_DEFAULT_VOICE) != EE_OK) {
        return nullptr;
    }
    espeak_SetSynthCallback(&onSynthesized);
    return new EspeakEngine(rate);
}

}  // namespace

SpeechEngine* startEspeak(Log& log) {
    // Never deleted: espeak-ng cannot be set up a second time in one process.
    static EspeakEngine* const engine = initialize();
    if (engine == nullptr) {
        log.log("Speech is unavailable: espeak-ng could not be started");
    }
    return engine;
}

}  // namespace plinka::audio
