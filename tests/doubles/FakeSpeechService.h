#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/SpeechSynthesizer.h"

namespace plinka::testing {

// Synthesizers that speak nothing but note what they were asked, and what they cut off.
class FakeSpeechService final : public SpeechService {
  public:
    struct Record {
        std::vector<std::string> spoken;
        std::vector<std::string> cutOff;  // texts still being said when the next one came
        bool speaking = false;
        bool alive = true;
    };

    std::unique_ptr<SpeechSynthesizer> makeSynthesizer() override;

    std::vector<std::shared_ptr<Record>> synthesizers;
};

}  // namespace plinka::testing
