#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numeric>
#include <thread>

#include "Eventually.h"
#include "SoundFiles.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/audio/SdlAudioOutput.h"
#include "platform/linux/audio/SdlOutputModule.h"

namespace plinka {
namespace {

using audio::Mixer;
using testing::constantSamples;
using testing::eventually;
using testing::readFloats;

constexpr size_t kBufferFrames = 256;

size_t sizeOf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<size_t>(size);
}

// The real output path through SDL2's disk driver: what the device got is read back. Sounds
// heard whole and in order through it are the desktop test's (tests/desktop/TypingTest).
class SdlAudioOutputTest : public ::testing::Test {
  protected:
    SdlAudioOutputTest() : output_(dir_.file("output.raw")) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    }

    void open() {
        engine_ = AudioEngine::openDevice(options_, log_, {{}, {}, audio::SdlAudioOutput::create});
        service_ = std::make_unique<MixerSystemSoundService>(*engine_);
    }
    // Closes the device, so that everything it got is in the file.
    std::vector<float> closeAndReadBack(const std::string& path) {
        service_.reset();
        engine_.reset();
        return readFloats(path);
    }

    SystemSoundID makeSound(float value, size_t frames) {
        return testing::makeSound(*service_, dir_, constantSamples(frames, 1, value));
    }
    // Waits until the device has taken this many more frames (plus a margin) into the file.
    void waitForFrames(const std::string& path, size_t frames) {
        const size_t target = sizeOf(path) + (frames + 8 * kBufferFrames) * 2 * sizeof(float);
        ASSERT_TRUE(eventually([&] { return sizeOf(path) >= target; }));
    }

    testing::ScratchDirectory dir_;
    const std::string output_;
    AudioOptions options_{.bufferFrames = kBufferFrames,
                          .devicePollInterval = std::chrono::milliseconds(20)};
    testing::RecordingLog log_;
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<MixerSystemSoundService> service_;
};

double sumOf(const std::vector<float>& samples) {
    return std::accumulate(samples.begin(), samples.end(), 0.0);
}

TEST_F(SdlAudioOutputTest, WithoutADeviceLogsOneLineDropsSoundsAndOpensOneLater) {
    const std::string later = dir_.file("later/output.raw");
    setenv("SDL_DISKAUDIOFILE", later.c_str(), 1);
    open();
    EXPECT_FALSE(engine_->isDeviceOpen());
    const SystemSoundID dropped = makeSound(0.1f, 1000);
    for (int i = 0; i < 10; ++i) {
        service_->playSystemSound(dropped);
    }
    // Several retries fail in this time (20, 40, 80, 160 ms apart).
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_EQ(log_.lines().size(), 1u);
    EXPECT_NE(log_.lines()[0].find("No audio output device"), std::string::npos);
    EXPECT_EQ(engine_->mixer().activeVoiceCount(), 0) << "played into nothing meanwhile";

    std::filesystem::create_directory(dir_.file("later"));
    ASSERT_TRUE(eventually([&] { return engine_->isDeviceOpen(); }));
    service_->playSystemSound(makeSound(0.3f, 1000));
    waitForFrames(later, 1000);

    const std::vector<float> out = closeAndReadBack(later);
    EXPECT_NEAR(sumOf(out), 2 * 1000 * 0.3 * Mixer::kHeadroom, 1e-2) << "only the later sound";
    EXPECT_EQ(log_.lines().size(), 1u);
}

TEST(SdlOutputModule, WhereItCannotBeLoadedLogsOneLineAndPlaysIntoNothing) {
    testing::ScratchDirectory bundle;
    testing::RecordingLog log;
    auto engine = AudioEngine::openDevice(
        {.output = AudioOptions::Output::Sdl, .devicePollInterval = std::chrono::milliseconds(20)},
        log, {{}, {}, audio::sdlOutputFromBundle(bundle.path().string())});
    EXPECT_FALSE(engine->isDeviceOpen());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find(audio::kSdlOutputModuleFile), std::string::npos)
        << log.lines()[0];

    MixerSystemSoundService service(*engine);
    const SystemSoundID sound = testing::makeSound(service, bundle, constantSamples(4800, 1, 0.5f));
    const auto played = std::chrono::steady_clock::now();
    service.playSystemSound(sound);
    EXPECT_TRUE(eventually([&] { return engine->mixer().lastVoiceStart() >= played; }));
    EXPECT_TRUE(eventually([&] { return engine->mixer().activeVoiceCount() == 0; }));
    EXPECT_EQ(log.lines().size(), 1u);
}

}  // namespace
}  // namespace plinka
