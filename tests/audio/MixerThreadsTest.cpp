#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/linux/audio/Mixer.h"

namespace plinka::audio {
namespace {

// The control side plays, disposes and retires sounds and streams while another thread renders
// flat out, as the device callback does. Run under the sanitizers this catches a sound freed
// while the audio side still reads it.
TEST(MixerThreads, ControlSideAndRenderingThreadShareSoundsSafely) {
    Mixer mixer(48000, 8);
    std::atomic<bool> done{false};
    std::atomic<float> loudest{0.0f};
    std::thread audio([&] {
        std::vector<float> out(2 * 64);
        while (!done.load()) {
            mixer.render(out.data(), 64);
            for (float sample : out) {
                if (sample > loudest.load(std::memory_order_relaxed)) {
                    loudest.store(sample, std::memory_order_relaxed);
                }
            }
        }
    });

    for (int round = 0; round < 2000; ++round) {
        auto sound = std::make_shared<DecodedSound>(std::vector<float>(2 * 500, 0.5f));
        for (int play = 0; play < 4; ++play) {
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
    EXPECT_LE(loudest.load(), SoftLimiter::kCeiling + 1e-6f);
}

}  // namespace
}  // namespace plinka::audio
