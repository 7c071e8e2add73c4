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

// The real output path through SDL2's disk driver: what the device got is read back.
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
        const std::string path = dir_.file("sound" + std::to_string(files_++) + ".caf");
        testing::writeSoundFile(path, SF_FORMAT_CAF | SF_FORMAT_FLOAT, 48000, 1,
                                constantSamples(frames, 1, value));
        SystemSoundID id = 0;
        EXPECT_EQ(service_->createSystemSoundID(testing::urlOf(path), &id), kNoErr);
        return id;
    }
    // Waits until the device has taken this many more frames (plus a margin) into the file.
    void waitForFrames(const std::string& path, size_t frames) {
        const size_t target = sizeOf(path) + (frames + 8 * kBufferFrames) * 2 * sizeof(float);
        ASSERT_TRUE(eventually([&] { return sizeOf(path) >= target; }));
    }

    testing::ScratchDirectory dir_;
    const std::string output_;
    int files_ = 0;
    AudioOptions options_{.bufferFrames = kBufferFrames,
                          .devicePollInterval = std::chrono::milliseconds(20)};
    testing::RecordingLog log_;
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<MixerSystemSoundService> service_;
};

double sumOf(const std::vector<float>& samples) {
    return std::accumulate(samples.begin(), samples.end(), 0.0);
}

TEST_F(SdlAudioOutputTest, TheDeviceGetsEachSoundWholeFromABufferBoundary) {
    open();
    ASSERT_TRUE(engine_->isDeviceOpen());
    const SystemSoundID sound = makeSound(0.25f, 2000);
    service_->playSystemSound(sound);
    waitForFrames(output_, 2000);

    const std::vector<float> out = closeAndReadBack(output_);
    const size_t onset = testing::firstSoundingFrame(out);
    ASSERT_NE(onset, std::string::npos);
    EXPECT_EQ(onset % kBufferFrames, 0u);
    for (size_t frame = onset; frame < onset + 2000; ++frame) {
        ASSERT_NEAR(out[2 * frame], 0.25f * Mixer::kHeadroom, 1e-6f) << "frame " << frame;
        ASSERT_NEAR(out[2 * frame + 1], 0.25f * Mixer::kHeadroom, 1e-6f) << "frame " << frame;
    }
    EXPECT_EQ(testing::firstSoundingFrame(out, onset + 2000), std::string::npos);
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"Sound plays through SDL"});
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

TEST_F(SdlAudioOutputTest, ReopensTheDeviceWhenItIsLost) {
    // The disk driver gives up on its device when a write fails: /dev/full stands for a device
    // that goes away; pointing the link at a real file is a new device appearing.
    const std::string link = dir_.file("device.raw");
    std::filesystem::create_symlink("/dev/full", link);
    setenv("SDL_DISKAUDIOFILE", link.c_str(), 1);
    open();
    ASSERT_TRUE(eventually([&] { return log_.lines().size() == 2; }));
    EXPECT_NE(log_.lines()[1].find("lost"), std::string::npos);

    std::filesystem::create_symlink(output_, dir_.file("next.raw"));
    std::filesystem::rename(dir_.file("next.raw"), link);
    ASSERT_TRUE(eventually([&] { return sizeOf(output_) > 0; }));
    service_->playSystemSound(makeSound(0.3f, 1000));
    waitForFrames(output_, 1000);

    const std::vector<float> out = closeAndReadBack(output_);
    EXPECT_NEAR(sumOf(out), 2 * 1000 * 0.3 * Mixer::kHeadroom, 1e-2);
}

TEST_F(SdlAudioOutputTest, TakesTheBufferSizeFromTheEnvironmentWhenItIsANumber) {
    setenv("PLINKA_AUDIO_BUFFER_FRAMES", "128", 1);
    open();
    EXPECT_EQ(engine_->options().bufferFrames, 128);
    service_.reset();
    engine_.reset();

    setenv("PLINKA_AUDIO_BUFFER_FRAMES", "lots", 1);
    open();
    unsetenv("PLINKA_AUDIO_BUFFER_FRAMES");
    EXPECT_EQ(engine_->options().bufferFrames, static_cast<int>(kBufferFrames));
    ASSERT_GE(log_.lines().size(), 2u);
    EXPECT_NE(log_.lines()[1].find("PLINKA_AUDIO_BUFFER_FRAMES"), std::string::npos);
}

TEST(SdlMissingDriver, LogsOneLineAndDropsSounds) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::RecordingLog log;
    auto engine = AudioEngine::openDevice({}, log, {{}, {}, audio::SdlAudioOutput::create});
    EXPECT_FALSE(engine->isDeviceOpen());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("no-such-driver"), std::string::npos);
}

// A bundle without SDL's module: the application still runs, silent, and says why once.
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
    const std::string path = bundle.file("click.caf");
    testing::writeSoundFile(path, SF_FORMAT_CAF | SF_FORMAT_FLOAT, 48000, 1,
                            constantSamples(4800, 1, 0.5f));
    SystemSoundID sound = 0;
    ASSERT_EQ(service.createSystemSoundID(testing::urlOf(path), &sound), kNoErr);
    const auto played = std::chrono::steady_clock::now();
    service.playSystemSound(sound);
    EXPECT_TRUE(eventually([&] { return engine->mixer().lastVoiceStart() >= played; }));
    EXPECT_TRUE(eventually([&] { return engine->mixer().activeVoiceCount() == 0; }));
    EXPECT_EQ(log.lines().size(), 1u);
}

}  // namespace
}  // namespace plinka
