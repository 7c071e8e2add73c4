#pragma once

#include <memory>

#include "platform/SpeechSynthesizer.h"

namespace plinka {

class AudioEngine;
class Log;

namespace audio {
class EspeakWorker;
}

// Speech with espeak-ng's default voice, mixed into the engine's output: each synthesizer is
// one stream voice of the mixer, fed by the service's one synthesis thread. Calls come from the
// control (main) thread; synthesizers must go before the service, the service before the engine.
class EspeakSpeechService final : public SpeechService {
  public:
    // Starts espeak-ng on its thread; when it cannot start, that is logged once and every
    // synthesizer refuses to speak.
    EspeakSpeechService(AudioEngine& engine, Log& log);
    ~EspeakSpeechService() override;
    EspeakSpeechService(const EspeakSpeechService&) = delete;
    EspeakSpeechService& operator=(const EspeakSpeechService&) = delete;

    std::unique_ptr<SpeechSynthesizer> makeSynthesizer() override;
    bool isAvailable() const;
    // For offline rendering: returns once all speech asked for so far is synthesized, or
    // waits on the mixer, so what the next render holds no longer depends on thread timing.
    // Render at most about a second between calls for that to hold.
    void waitUntilSynthesized();

  private:
    AudioEngine& engine_;
    std::unique_ptr<audio::EspeakWorker> worker_;
};

}  // namespace plinka
