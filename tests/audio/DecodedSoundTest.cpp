#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/audio/DecodedSound.h"

namespace plinka::audio {
namespace {

// Kept as small as it can be without changing a sample: mixing it back gives the input exactly.
TEST(DecodedSound, KeepsTheSmallestExactFormAndMixesBackExactly) {
    const struct {
        std::vector<float> stereo;
        int channels;
        size_t bytesPerFrame;
    } forms[] = {
        {{0.5f, 0.5f, -1.0f, -1.0f, 3.0f / 32768, 3.0f / 32768}, 1, 2},  // 16-bit mono
        {{0.5f, 0.25f, -1.0f, 0.0f, 0.0f, 32767.0f / 32768}, 2, 4},      // 16-bit stereo
        {{0.1f, 0.1f, -0.3f, -0.3f, 1.5f, 1.5f}, 1, 4},                  // float mono
        {{0.1f, 0.2f, -0.3f, 0.3f, 0.0f, 1.0f}, 2, 8},                   // float stereo, to 1.0
        {{0.1f, 0.2f, -0.3f, 0.3f, 0.0f, 0.5f}, 2, 8},                   // float stereo
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(::testing::PrintToString(form.stereo));
        const DecodedSound sound(form.stereo);
        EXPECT_EQ(sound.channels(), form.channels);
        EXPECT_EQ(sound.frames(), form.stereo.size() / 2);
        EXPECT_EQ(sound.storedBytes(), sound.frames() * form.bytesPerFrame);

        std::vector<float> mixed(form.stereo.size(), 0.0f);
        sound.mixInto(mixed.data(), 0, sound.frames());
        EXPECT_EQ(mixed, form.stereo);
        // From the middle on, added to what is there.
        std::vector<float> tail(form.stereo.size() - 2, 1.0f);
        sound.mixInto(tail.data(), 1, sound.frames() - 1);
        for (size_t i = 0; i < tail.size(); ++i) {
            EXPECT_EQ(tail[i], 1.0f + form.stereo[i + 2]) << "sample " << i;
        }
    }
}

}  // namespace
}  // namespace plinka::audio
