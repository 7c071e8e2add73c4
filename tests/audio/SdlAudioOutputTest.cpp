#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <numeric>
#include <thread>

#include "Eventually.h"
#include "ScopedEnvironment.h"
#include "SoundFiles.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/audio/SdlAudioOutput.h"
#include "platform/linux/audio/SdlOutputModule.h"

namespace plinka {
namespace {

using audio::Mixer;
using ::testing::ElementsAre;
using testing::eventually;
using ::testing::HasSubstr;
using testing::readFloats;

size_t sizeOf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<size_t>(size);
}

// The real output path through SDL2's disk driver: what the device got is read back. Sounds
// heard whole and in order through it are the desktop test's (tests/desktop/TypingTest).
TEST(SdlAudioOutputTest, WithoutADeviceLogsOneLineDropsSoundsAndOpensOneLater) {
    testing::ScratchDirectory dir;
    const std::string later = dir.file("later/output.raw");
    testing::ScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
    testing::ScopedEnvironment file("SDL_DISKAUDIOFILE", later);
    testing::RecordingLog log;
    auto engine = AudioEngine::openDevice(
        {.bufferFrames = 256, .devicePollInterval = std::chrono::milliseconds(20)}, log,
        {{}, {}, audio::SdlAudioOutput::create});
    auto service = std::make_unique<MixerSystemSoundService>(*engine);
    EXPECT_FALSE(engine->isDeviceOpen());
    const SystemSoundID dropped = testing::makeSound(*service, dir, std::vector<float>(1000, 0.1f));
    for (int i = 0; i < 10; ++i) {
        service->playSystemSound(dropped);
    }
    // Several retries fail in this time (20, 40, 80, 160 ms apart).
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_THAT(log.lines(), ElementsAre(HasSubstr("No audio output device")));
    EXPECT_EQ(engine->mixer().activeVoiceCount(), 0) << "played into nothing meanwhile";

    std::filesystem::create_directory(dir.file("later"));
    ASSERT_TRUE(eventually([&] { return engine->isDeviceOpen(); }));
    const SystemSoundID heard = testing::makeSound(*service, dir, std::vector<float>(1000, 0.3f));
    // Until the device has taken the sound and a margin into the file, then closed so that
    // everything it got is there.
    const size_t target = sizeOf(later) + (1000 + 8 * 256) * 2 * sizeof(float);
    service->playSystemSound(heard);
    ASSERT_TRUE(eventually([&] { return sizeOf(later) >= target; }));
    service.reset();
    engine.reset();

    const std::vector<float> out = readFloats(later);
    EXPECT_NEAR(std::accumulate(out.begin(), out.end(), 0.0), 2 * 1000 * 0.3 * Mixer::kHeadroom,
                1e-2)
        << "only the later sound";
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST(SdlOutputModule, WhereItCannotBeLoadedLogsOneLineAndPlaysIntoNothing) {
    testing::ScratchDirectory bundle;
    testing::RecordingLog log;
    auto engine = AudioEngine::openDevice(
        {.output = AudioOptions::Output::Sdl, .devicePollInterval = std::chrono::milliseconds(20)},
        log, {{}, {}, audio::sdlOutputFromBundle(bundle.path().string())});
    EXPECT_FALSE(engine->isDeviceOpen());
    EXPECT_THAT(log.lines(), ElementsAre(HasSubstr(audio::kSdlOutputModuleFile)));

    MixerSystemSoundService service(*engine);
    const SystemSoundID sound = testing::makeSound(service, bundle, std::vector<float>(4800, 0.5f));
    const auto played = std::chrono::steady_clock::now();
    service.playSystemSound(sound);
    EXPECT_TRUE(eventually([&] { return engine->mixer().lastVoiceStart() >= played; }));
    EXPECT_TRUE(eventually([&] { return engine->mixer().activeVoiceCount() == 0; }));
    EXPECT_EQ(log.lines().size(), 1u);
}

}  // namespace
}  // namespace plinka
