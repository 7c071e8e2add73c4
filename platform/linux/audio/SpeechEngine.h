#pragma once

#include <cstddef>
#include <functional>

namespace plinka {
class Log;
}

namespace plinka::audio {

// Where an engine delivers speech as it is synthesized.
class SpeechSink {
  public:
    // Mono samples at the engine's rate; count may be 0 between words. False stops the utterance.
    virtual bool take(const short* samples, size_t count) = 0;

  protected:
    ~SpeechSink() = default;
};

// A speech synthesizer with its default voice. Called through this interface, an engine loaded
// from a module needs no symbol of the executable.
class SpeechEngine {
  public:
    virtual int sampleRate() const = 0;
    // Synthesizes the UTF-8 text into the sink, returning once it is spoken or stopped; whether
    // the engine could speak it. Any thread; utterances of several threads are spoken in turn.
    virtual bool speak(const char* text, SpeechSink& sink) = 0;

  protected:
    ~SpeechEngine() = default;  // it serves the process until it ends
};

// Starts the speech engine: the engine, or nullptr once the reason is logged.
using StartSpeechEngine = std::function<SpeechEngine*(Log&)>;

}  // namespace plinka::audio
