#pragma once

#include <memory>

#include "platform/SpeechSynthesizer.h"
#include "platform/linux/audio/SpeechEngine.h"

namespace plinka {

class AudioEngine;
class Log;

namespace audio {
class EspeakWorker;
}

// Speech with espeak-ng's default voice, mixed into the engine's output: each synthesizer is
// one stream voice of the mixer, fed by the service's one synthesis thread. Nothing of espeak-ng
// is started (startSpeech is not called), and no stream is made, until something is to be spoken.
// Calls come from the control (main) thread; synthesizers must go before the service, the service
// before the engine.
class EspeakSpeechService final : public SpeechService {
  public:
    EspeakSpeechService(AudioEngine& engine, Log& log, audio::StartSpeechEngine startSpeech);
    ~EspeakSpeechService() override;
    EspeakSpeechService(const EspeakSpeechService&) = delete;
    EspeakSpeechService& operator=(const EspeakSpeechService&) = delete;

    std::unique_ptr<SpeechSynthesizer> makeSynthesizer() override;
    // Starts espeak-ng on its thread if that was not done yet; whether it runs (when it cannot
    // start, that is logged once and every synthesizer refuses to speak).
    bool isAvailable();
    // Whether espeak-ng has been started.
    bool isStarted() const { return worker_ != nullptr; }
    // For offline rendering: returns once all speech asked for so far is synthesized, or
    // waits on the mixer, so what the next render holds no longer depends on thread timing.
    // Render at most about a second between calls for that to hold.
    void waitUntilSynthesized();
    // The synthesis thread, started on first use.
    audio::EspeakWorker& worker();

  private:
    AudioEngine& engine_;
    Log& log_;
    const audio::StartSpeechEngine startSpeech_;
    std::unique_ptr<audio::EspeakWorker> worker_;
};

}  // namespace plinka
