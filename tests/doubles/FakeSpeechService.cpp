#include "doubles/FakeSpeechService.h"

namespace plinka::testing {

namespace {

class FakeSynthesizer final : public SpeechSynthesizer {
  public:
    explicit FakeSynthesizer(std::shared_ptr<FakeSpeechService::Record> record)
        : record_(std::move(record)) {}
    ~FakeSynthesizer() override { record_->alive = false; }
    bool startSpeakingString(const std::string& text) override {
        if (record_->speaking && !record_->spoken.empty()) {
            record_->cutOff.push_back(record_->spoken.back());
        }
        record_->spoken.push_back(text);
        record_->speaking = true;
        return true;
    }
    void stopSpeaking() override { record_->speaking = false; }
    bool isSpeaking() const override { return record_->speaking; }

  private:
    std::shared_ptr<FakeSpeechService::Record> record_;
};

}  // namespace

std::unique_ptr<SpeechSynthesizer> FakeSpeechService::makeSynthesizer() {
    synthesizers.push_back(std::make_shared<Record>());
    return std::make_unique<FakeSynthesizer>(synthesizers.back());
}

}  // namespace plinka::testing
