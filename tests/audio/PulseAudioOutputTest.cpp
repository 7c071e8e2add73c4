// The sound server's output with its real parts: a private PulseAudio server with a float null
// sink whose monitor is recorded, and the real mixer, sounds and speech.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "Eventually.h"
#include "PulseServer.h"
#include "ScopedEnvironment.h"
#include "SoundFiles.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakEngine.h"
#include "platform/linux/audio/EspeakSpeechService.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/audio/SdlAudioOutput.h"

namespace plinka {
namespace {

using namespace std::chrono_literals;
using audio::Mixer;
using testing::eventually;
using testing::PulseServer;
using testing::SinkRecording;

std::vector<float> ramp(size_t frames, float from, float to) {
    std::vector<float> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        samples[i] = from + (to - from) * static_cast<float>(i) / static_cast<float>(frames);
    }
    return samples;
}

// Whether the mix holds, from the frame on, the mono sound as the mixer makes it on both
// channels, with silence just before and just after. The reason when not.
::testing::AssertionResult heardWhole(const std::vector<float>& mix, size_t at,
                                      const std::vector<float>& sound) {
    if (at == std::string::npos || 2 * (at + sound.size() + 480) > mix.size()) {
        return ::testing::AssertionFailure() << "not in the recording";
    }
    for (size_t frame = at > 0 ? at - 1 : 0; frame < at + sound.size() + 480; ++frame) {
        const float expected =
            frame >= at && frame - at < sound.size() ? sound[frame - at] * Mixer::kHeadroom : 0;
        for (size_t channel = 0; channel < 2; ++channel) {
            if (std::fabs(mix[2 * frame + channel] - expected) > 1e-6f) {
                return ::testing::AssertionFailure()
                       << "frame " << int64_t(frame - at) << " is " << mix[2 * frame + channel]
                       << ", not " << expected;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

class PulseAudioOutputTest : public ::testing::Test {
  protected:
    PulseAudioOutputTest()
        : server_(dir_.file("server")), environment_("PULSE_SERVER", server_.address()) {}
    ~PulseAudioOutputTest() override {
        service_.reset();
        engine_.reset();
    }

    void SetUp() override {
        if (!server_.running()) {
            GTEST_SKIP() << "pulseaudio is not installed";
        }
    }

    void open() {
        engine_ = AudioEngine::openDevice(options_, log_, audio::SdlAudioOutput::create);
        service_ = std::make_unique<MixerSystemSoundService>(*engine_);
    }

    SystemSoundID makeSound(const std::vector<float>& mono) {
        return testing::makeSound(*service_, dir_, mono);
    }

    // Plays the sound and answers the frame of the recording where it starts.
    size_t playAndFind(SinkRecording& recorder, SystemSoundID sound, size_t frames) {
        const size_t before = recorder.frames();
        service_->playSystemSound(sound);
        size_t onset = std::string::npos;
        eventually([&] {
            onset = testing::firstSoundingFrame(recorder.samples(), before);
            return onset != std::string::npos && recorder.frames() > onset + frames + 4800;
        });
        return onset;
    }

    testing::ScratchDirectory dir_;
    PulseServer server_;
    testing::ScopedEnvironment environment_;
    // A lead of 21 ms: a machine busy with other tests must not make gaps that the checks
    // below would take for the output's.
    AudioOptions options_{.output = AudioOptions::Output::SoundServer,
                          .bufferFrames = 1024,
                          .devicePollInterval = 20ms};
    testing::RecordingLog log_;
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<MixerSystemSoundService> service_;
};

// Each after a quiet spell, as keys typed slowly are, when the output has stopped writing.
TEST_F(PulseAudioOutputTest, SoundsAndSpeechAfterSilenceAreHeardWholeFromTheirFirstSample) {
    open();
    ASSERT_TRUE(engine_->usesSoundServer()) << (log_.lines().empty() ? "" : log_.lines()[0]);
    SinkRecording recorder(server_, dir_.file("sink.raw"));
    ASSERT_TRUE(recorder.recording());
    // One kept as floats, one as 16-bit samples.
    const std::vector<float> rising = ramp(2400, 0.05f, 0.5f);
    const std::vector<float> steady(4800, -0.25f);
    const SystemSoundID first = makeSound(rising);
    const SystemSoundID second = makeSound(steady);
    EspeakSpeechService speech(*engine_, log_, audio::startEspeak);
    const auto voice = speech.makeSynthesizer();

    std::this_thread::sleep_for(300ms);
    const size_t firstAt = playAndFind(recorder, first, rising.size());
    EXPECT_TRUE(heardWhole(recorder.samples(), firstAt, rising));
    std::this_thread::sleep_for(300ms);
    const size_t speechFrom = recorder.frames();
    ASSERT_TRUE(voice->startSpeakingString("Plinka"));
    ASSERT_TRUE(eventually([&] { return !voice->isSpeaking(); }));
    std::this_thread::sleep_for(300ms);
    EXPECT_GT(testing::peakOf(recorder.samples(), 2 * speechFrom), 0.05f) << "no speech heard";
    std::this_thread::sleep_for(300ms);
    const size_t secondAt = playAndFind(recorder, second, steady.size());
    EXPECT_TRUE(heardWhole(recorder.samples(), secondAt, steady));
    EXPECT_TRUE(log_.lines().empty()) << log_.lines()[0];
}

TEST_F(PulseAudioOutputTest, KeepsTheSinkAwakeWhileQuiet) {
    std::this_thread::sleep_for(1500ms);
    ASSERT_EQ(server_.sinkState(), "SUSPENDED") << "the server suspends an unused sink";
    open();
    ASSERT_TRUE(engine_->usesSoundServer());
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(server_.sinkState(), "RUNNING");
}

TEST_F(PulseAudioOutputTest, PlaysAgainOnceTheServerIsBackAndSaysSoOnce) {
    open();
    ASSERT_TRUE(engine_->usesSoundServer());
    const std::vector<float> steady(1200, 0.25f);
    const SystemSoundID sound = makeSound(steady);

    server_.kill();
    ASSERT_TRUE(eventually([&] { return !engine_->isDeviceOpen(); }));
    service_->playSystemSound(sound);  // dropped
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(server_.start());
    ASSERT_TRUE(eventually([&] { return engine_->isDeviceOpen(); }));

    SinkRecording recorder(server_, dir_.file("sink.raw"));
    ASSERT_TRUE(recorder.recording());
    std::this_thread::sleep_for(100ms);
    const size_t at = playAndFind(recorder, sound, steady.size());
    EXPECT_TRUE(heardWhole(recorder.samples(), at, steady));
    ASSERT_EQ(log_.lines().size(), 1u);
    EXPECT_EQ(log_.lines()[0].rfind("Lost the sound server (", 0), 0u) << log_.lines()[0];
}

TEST(PulseAudioOutputFallback, WithoutAServerPlaysThroughSdlAndSaysSoOnce) {
    testing::ScratchDirectory dir;
    testing::ScopedEnvironment nowhere("PULSE_SERVER", "unix:" + dir.file("no-server"));
    const std::string file = dir.file("output.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    testing::RecordingLog log;
    auto engine = AudioEngine::openDevice({.output = AudioOptions::Output::SoundServer}, log,
                                          audio::SdlAudioOutput::create);
    ASSERT_FALSE(engine->usesSoundServer());
    ASSERT_TRUE(engine->isDeviceOpen());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].rfind("No sound server answers (", 0), 0u) << log.lines()[0];
    EXPECT_NE(log.lines()[0].find("; playing through SDL"), std::string::npos);

    {
        MixerSystemSoundService service(*engine);
        service.playSystemSound(testing::makeSound(service, dir, std::vector<float>(1200, 0.25f)));
        ASSERT_TRUE(eventually([&] {
            std::error_code error;
            return std::filesystem::file_size(file, error) > 48000 * 2 * sizeof(float);
        }));
    }
    engine.reset();
    const std::vector<float> mix = testing::readFloats(file);
    const size_t at = testing::firstSoundingFrame(mix);
    EXPECT_TRUE(heardWhole(mix, at, std::vector<float>(1200, 0.25f)));
}

}  // namespace
}  // namespace plinka
