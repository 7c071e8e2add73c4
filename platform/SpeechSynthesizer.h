#pragma once

#include <memory>
#include <string>

namespace plinka {

// One voice that speaks one text at a time.
class SpeechSynthesizer {
  public:
    virtual ~SpeechSynthesizer() = default;
    // Starts speaking the text and returns at once, cutting off what this synthesizer is still
    // saying; false when speaking cannot start.
    virtual bool startSpeakingString(const std::string& text) = 0;
    // Cuts off what this synthesizer is saying.
    virtual void stopSpeaking() = 0;
    // Whether this synthesizer is still speaking (or about to).
    virtual bool isSpeaking() const = 0;
};

// Makes speech synthesizers.
class SpeechService {
  public:
    virtual ~SpeechService() = default;
    // A new synthesizer with the system's default voice.
    virtual std::unique_ptr<SpeechSynthesizer> makeSynthesizer() = 0;
};

}  // namespace plinka
