#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "ScratchDirectory.h"
#include "SoundFiles.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakEngine.h"
#include "platform/linux/audio/EspeakSpeechService.h"
#include "platform/linux/audio/SpeechModule.h"

namespace plinka {
namespace {

constexpr size_t kChunkFrames = 4800;  // 0.1 s at 48 kHz
constexpr size_t kMaxChunks = 100;     // no test text lasts 10 s

// espeak-ng's real voice rendered offline: the worker is allowed to settle before each chunk,
// so the output is the same on every run.
class EspeakSpeechServiceTest : public ::testing::Test {
  protected:
    EspeakSpeechServiceTest()
        : engine_(AudioEngine::offline({})),
          service_(std::make_unique<EspeakSpeechService>(*engine_, log_, audio::startEspeak)) {}
    ~EspeakSpeechServiceTest() override {
        service_.reset();
        engine_.reset();
    }

    std::vector<float> renderChunk() {
        service_->waitUntilSynthesized();
        std::vector<float> out(2 * kChunkFrames);
        engine_->render(out.data(), kChunkFrames);
        return out;
    }

    testing::RecordingLog log_;
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<EspeakSpeechService> service_;
};

// Frames from the start up to the last sounding one.
size_t soundingLength(const std::vector<float>& stereo) {
    for (size_t frame = stereo.size() / 2; frame > 0; --frame) {
        if (std::fabs(stereo[2 * frame - 1]) > 1e-4f) {
            return frame;
        }
    }
    return 0;
}

TEST_F(EspeakSpeechServiceTest, SpeaksAudiblyUntilDoneOrStopped) {
    ASSERT_TRUE(service_->isAvailable()) << (log_.lines().empty() ? "" : log_.lines()[0]);
    auto synthesizer = service_->makeSynthesizer();
    EXPECT_FALSE(synthesizer->isSpeaking());

    ASSERT_TRUE(synthesizer->startSpeakingString("Hello world"));
    EXPECT_TRUE(synthesizer->isSpeaking());
    std::vector<float> out;
    for (size_t chunk = 0; chunk < kMaxChunks && synthesizer->isSpeaking(); ++chunk) {
        const std::vector<float> next = renderChunk();
        out.insert(out.end(), next.begin(), next.end());
    }

    EXPECT_FALSE(synthesizer->isSpeaking());
    EXPECT_GT(testing::rmsOf(out), 0.01);
    EXPECT_GT(soundingLength(out), 48000u / 2) << "two words last longer than half a second";
    EXPECT_LE(testing::peakOf(out), audio::SoftLimiter::kCeiling + 1e-6f);
    EXPECT_TRUE(log_.lines().empty());

    // A synthesizer that stops, or goes while it speaks, takes its voice along at once.
    auto second = service_->makeSynthesizer();
    synthesizer->startSpeakingString("one two three four five six seven");
    second->startSpeakingString("eight nine ten");
    EXPECT_GT(testing::rmsOf(renderChunk()), 0.01);
    synthesizer->stopSpeaking();
    second.reset();
    EXPECT_FALSE(synthesizer->isSpeaking());
    EXPECT_EQ(testing::peakOf(renderChunk()), 0.0f);
}

// What the engine cannot speak is logged once and never quoted: a theme's texts stand for keys.
TEST(SpeechModule, TextsItCannotSpeakAreLoggedOnceAndNeverQuoted) {
    struct Mute final : audio::SpeechEngine {
        int sampleRate() const override { return 22050; }
        bool speak(const char*, audio::SpeechSink&) override { return false; }
    };
    static Mute mute;  // an engine serves until the process ends
    testing::RecordingLog log;
    auto engine = AudioEngine::offline({});
    EspeakSpeechService service(*engine, log, [](Log&) -> audio::SpeechEngine* { return &mute; });
    auto synthesizer = service.makeSynthesizer();
    for (const char* text : {"hunter2", "hunter3"}) {
        synthesizer->startSpeakingString(text);
        service.waitUntilSynthesized();
    }
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].find("hunter"), std::string::npos) << log.lines()[0];
}

}  // namespace
}  // namespace plinka
