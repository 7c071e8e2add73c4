#include "platform/linux/headless/HeadlessServices.h"

#include <iostream>

#include "base/SeededRandom.h"
#include "platform/linux/headless/PosixTemporaryFiles.h"

namespace plinka {

namespace {

class SilentSynthesizer final : public SpeechSynthesizer {
  public:
    bool startSpeakingString(const std::string&) override { return false; }
    void stopSpeaking() override {}
    bool isSpeaking() const override { return false; }
};

}  // namespace

void StandardErrorLog::log(std::string_view message) {
    std::cerr << programName_ << ": " << message << "\n";
}

std::optional<std::string> PrivateTemporaryFiles::temporaryDirectory() {
    if (directory_.path().empty()) {
        return std::nullopt;
    }
    return directory_.path() + "/";
}

std::optional<std::string> PrivateTemporaryFiles::createUuidString() {
    return PosixTemporaryFiles().createUuidString();
}

uint32_t SeededRandomSource::random32() {
    return static_cast<uint32_t>(SeededRandom(state_++).next() >> 32);
}

std::unique_ptr<SpeechSynthesizer> SilentSpeechService::makeSynthesizer() {
    return std::make_unique<SilentSynthesizer>();
}

}  // namespace plinka
