#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "SoundFiles.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/MixerSystemSoundService.h"

namespace plinka {
namespace {

using audio::Mixer;
using audio::SoftLimiter;
using testing::ScratchDirectory;

constexpr float kTolerance = 1e-6f;

// The service over an offline engine: every assertion is on exactly rendered samples.
class MixerSystemSoundServiceTest : public ::testing::Test {
  protected:
    MixerSystemSoundServiceTest()
        : engine_(AudioEngine::offline({})),
          service_(std::make_unique<MixerSystemSoundService>(*engine_)) {}

    // A mono sound at the output rate whose every sample is the value.
    SystemSoundID makeSound(float value, size_t frames) {
        return testing::makeSound(*service_, dir_, std::vector<float>(frames, value));
    }

    std::vector<float> render(size_t frames) {
        std::vector<float> out(2 * frames);
        EXPECT_TRUE(engine_->render(out.data(), frames));
        return out;
    }

    // Expects every sample of frames [from, to) to be the value after the mixer's headroom.
    static void expectLevel(const std::vector<float>& out, size_t from, size_t to, float value) {
        for (size_t i = 2 * from; i < 2 * to; ++i) {
            ASSERT_NEAR(out[i], value * Mixer::kHeadroom, kTolerance) << "at frame " << i / 2;
        }
    }

    ScratchDirectory dir_;
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<MixerSystemSoundService> service_;
};

// Each sound plays whole from the next block on; overlapping ones, and replays of one, add up.
TEST_F(MixerSystemSoundServiceTest, PlaysEachSoundWholeAndMixesOverlapsAsASum) {
    const SystemSoundID a = makeSound(0.1f, 1000);
    const SystemSoundID b = makeSound(0.2f, 300);
    expectLevel(render(64), 0, 64, 0.0f);
    service_->playSystemSound(a);
    expectLevel(render(500), 0, 500, 0.1f);

    service_->playSystemSound(a);
    service_->playSystemSound(b);
    const std::vector<float> out = render(1500);
    expectLevel(out, 0, 300, 0.4f);     // a, a again, b
    expectLevel(out, 300, 500, 0.2f);   // both voices of a
    expectLevel(out, 500, 1000, 0.1f);  // the second a alone
    expectLevel(out, 1000, 1500, 0.0f);
    EXPECT_EQ(engine_->mixer().activeVoiceCount(), 0);
}

// A placed mono sound moves across at equal power; a stereo one is balanced, its channels never
// heard in each other.
TEST_F(MixerSystemSoundServiceTest, PlacesEachVoiceWhereItsPlaySays) {
    const SystemSoundID mono = makeSound(0.25f, 100);
    std::vector<float> leftOnly(2 * 100, 0.0f);
    for (size_t i = 0; i < leftOnly.size(); i += 2) {
        leftOnly[i] = 0.25f;
    }
    const std::string path = dir_.file("left-only.wav");
    testing::writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, leftOnly);
    SystemSoundID stereo = 0;
    ASSERT_EQ(service_->createSystemSoundID(testing::urlOf(path), &stereo), kNoErr);
    const float full = 0.25f * std::numbers::sqrt2_v<float> * Mixer::kHeadroom;
    const struct {
        SystemSoundID sound;
        float pan, left, right;
    } cases[] = {
        {mono, -1.0f, full, 0.0f},
        {mono, 1.0f, 0.0f, full},
        {stereo, 1.0f, 0.0f, 0.0f},
        {stereo, -0.5f, full * std::cos(std::numbers::pi_v<float> / 8), 0.0f},
    };
    for (const auto& test : cases) {
        service_->playSystemSound(test.sound, {.pan = test.pan});
        const std::vector<float> out = render(100);
        EXPECT_NEAR(out[100], test.left, kTolerance) << test.pan;
        EXPECT_NEAR(out[101], test.right, kTolerance) << test.pan;
    }
}

TEST_F(MixerSystemSoundServiceTest, StopsADisposedSoundAtOnceAndDropsItsQueuedPlays) {
    const SystemSoundID playing = makeSound(0.1f, 10000);
    const SystemSoundID queued = makeSound(0.2f, 10000);
    service_->playSystemSound(playing);
    expectLevel(render(256), 0, 256, 0.1f);

    service_->playSystemSound(queued);
    EXPECT_EQ(service_->disposeSystemSoundID(queued), kNoErr);
    EXPECT_EQ(service_->disposeSystemSoundID(playing), kNoErr);
    service_->playSystemSound(playing);  // no longer known: ignored

    expectLevel(render(256), 0, 256, 0.0f);
    EXPECT_EQ(engine_->mixer().activeVoiceCount(), 0);
    // Creating again lets the retired sounds go; the sanitizers watch that nothing reads them.
    service_->playSystemSound(makeSound(0.3f, 100));
    expectLevel(render(100), 0, 100, 0.3f);
}

// Sounds open from escaped file URLs, a new ID each time, until all live sounds together reach
// their bound: one beyond it is refused, and disposing makes room. What is not a file, or no
// longer known, is refused.
TEST_F(MixerSystemSoundServiceTest, OpensFileUrlsWithinTheRoomForAllSoundsAndRefusesTheRest) {
    MixerSystemSoundService service(*engine_, 2.5);
    const std::string path = dir_.file("a key%20sound #1.wav");
    testing::writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1,
                            std::vector<float>(48000, 0.1f));
    std::vector<SystemSoundID> made(3);
    EXPECT_EQ(service.createSystemSoundID(testing::urlOf(path), &made[0]), kNoErr);
    EXPECT_EQ(service.createSystemSoundID(testing::urlOf(path), &made[1]), kNoErr);
    EXPECT_NE(made[0], made[1]);
    EXPECT_EQ(service.createSystemSoundID(testing::urlOf(path), &made[2]),
              kSoundsTooLongInAllError);
    EXPECT_EQ(service.disposeSystemSoundID(made[0]), kNoErr);
    EXPECT_NE(service.disposeSystemSoundID(made[0]), kNoErr);
    EXPECT_EQ(service.createSystemSoundID(testing::urlOf(path), &made[2]), kNoErr);
    for (const std::string& url : {testing::urlOf(dir_.file("gone.wav")),
                                   std::string("http://example.invalid/a.wav"), std::string("x")}) {
        EXPECT_NE(service.createSystemSoundID(url, &made[0]), kNoErr) << url;
    }
}

TEST_F(MixerSystemSoundServiceTest, AFifthSoundBeyondFourVoicesStealsTheOldest) {
    service_.reset();
    engine_ = AudioEngine::offline({.maxVoices = 4});
    service_ = std::make_unique<MixerSystemSoundService>(*engine_);
    // Levels that add up to a different sum for every set of voices.
    std::vector<SystemSoundID> sounds;
    for (float level : {0.01f, 0.02f, 0.04f, 0.08f, 0.16f}) {
        sounds.push_back(makeSound(level, 10000));
    }
    for (SystemSoundID sound : sounds) {
        service_->playSystemSound(sound);
    }
    expectLevel(render(100), 0, 100, 0.02f + 0.04f + 0.08f + 0.16f);
    EXPECT_EQ(engine_->mixer().activeVoiceCount(), 4);

    service_->playSystemSound(sounds[0]);  // the 0.02 voice is now the oldest
    expectLevel(render(100), 0, 100, 0.01f + 0.04f + 0.08f + 0.16f);
}

TEST_F(MixerSystemSoundServiceTest, LimitsABurstOf64LoudSoundsUnderFullScaleAndRecovers) {
    std::vector<SystemSoundID> sounds;
    for (int i = 0; i < 64; ++i) {
        sounds.push_back(makeSound(0.99f, 4800 + 100 * i));
    }
    for (SystemSoundID sound : sounds) {
        service_->playSystemSound(sound);
    }
    const std::vector<float> burst = render(48000);
    EXPECT_LE(testing::peakOf(burst), SoftLimiter::kCeiling + kTolerance);
    EXPECT_GT(testing::peakOf(burst), 0.5f) << "limited, not silenced";

    // Long after the burst a quiet sound plays at its own level again.
    const SystemSoundID quiet = makeSound(0.1f, 1000);
    service_->playSystemSound(quiet);
    const std::vector<float> after = render(1000);
    EXPECT_NEAR(after[1998], 0.1f * Mixer::kHeadroom, 1e-3f);
}

}  // namespace
}  // namespace plinka
