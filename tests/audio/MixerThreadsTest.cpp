#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "platform/linux/audio/Mixer.h"

namespace plinka::audio {
namespace {

// The control side plays, disposes and retires sounds and streams while another thread renders
// flat out, as the device callback does. Run under the sanitizers this catches a sound freed
// while the audio side still reads it. The sounds are quiet enough that the limiter never acts,
// so every mixed sample is a whole number of voices at one level: anything else was read from
// memory that no longer held the sound.
TEST(MixerThreads, ControlSideAndRenderingThreadShareSoundsSafely) {
    constexpr float kLevel = 1.0f / 128;
    constexpr int kFrames = 500, kVoices = 8, kRounds = 2000, kPlaysPerRound = 4;
    Mixer mixer(48000, kVoices);
    const float unit = kLevel * Mixer::kHeadroom;
    std::atomic<bool> done{false};
    int64_t voiceFrames = 0;  // the sum, over every rendered frame, of the voices heard in it
    int strays = 0;
    auto renderAndCount = [&](size_t frames) {
        std::vector<float> out(2 * frames);
        mixer.render(out.data(), frames);
        for (size_t i = 0; i < out.size(); i += 2) {
            const float voices = out[i] / unit;
            const bool whole = std::fabs(voices - std::round(voices)) < 1e-3f && voices >= -1e-3f &&
                               voices <= kVoices + 1e-3f && out[i] == out[i + 1];
            strays += whole ? 0 : 1;
            voiceFrames += whole ? std::lround(voices) : 0;
        }
    };
    std::thread audio([&] {
        while (!done.load()) {
            renderAndCount(64);
        }
    });

    for (int round = 0; round < kRounds; ++round) {
        auto sound = std::make_shared<DecodedSound>(std::vector<float>(2 * kFrames, kLevel));
        for (int play = 0; play < kPlaysPerRound; ++play) {
            mixer.play(*sound);
        }
        mixer.retire(std::move(sound));
        if (round % 100 == 0) {
            auto stream = std::make_shared<SpeechStream>();
            if (mixer.attachStream(*stream)) {
                mixer.detachStream(std::move(stream));
            }
        }
    }
    done.store(true);
    audio.join();
    renderAndCount(2 * kFrames);  // the last voices end
    // One more that stays until it has played, so something is heard however the threads ran.
    auto last = std::make_shared<DecodedSound>(std::vector<float>(2 * kFrames, kLevel));
    mixer.play(*last);
    renderAndCount(2 * kFrames);
    mixer.retire(std::move(last));
    std::vector<float> after(2 * 64);
    mixer.render(after.data(), 64);

    EXPECT_EQ(strays, 0);
    EXPECT_GT(voiceFrames, 0);
    EXPECT_LE(voiceFrames, (int64_t{kRounds} * kPlaysPerRound + 1) * kFrames);
    EXPECT_EQ(after, std::vector<float>(2 * 64, 0.0f));
}

}  // namespace
}  // namespace plinka::audio
