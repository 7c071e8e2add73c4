#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/audio/DecodedSound.h"

namespace plinka::audio {
namespace {

struct Storage {
    std::string name;
    std::vector<float> stereo;
    int channels;
    size_t bytesPerFrame;
};

class DecodedSoundStorage : public ::testing::TestWithParam<Storage> {};

// Kept as small as it can be without changing a sample: mixing it back gives the input exactly.
TEST_P(DecodedSoundStorage, KeepsTheSmallestExactFormAndMixesBackExactly) {
    const Storage& storage = GetParam();
    const DecodedSound sound(storage.stereo);
    EXPECT_EQ(sound.channels(), storage.channels);
    EXPECT_EQ(sound.frames(), storage.stereo.size() / 2);
    EXPECT_EQ(sound.storedBytes(), sound.frames() * storage.bytesPerFrame);

    std::vector<float> mixed(storage.stereo.size(), 0.0f);
    sound.mixInto(mixed.data(), 0, sound.frames());
    EXPECT_EQ(mixed, storage.stereo);
    // From the middle on, added to what is there.
    std::vector<float> tail(storage.stereo.size() - 2, 1.0f);
    sound.mixInto(tail.data(), 1, sound.frames() - 1);
    for (size_t i = 0; i < tail.size(); ++i) {
        EXPECT_EQ(tail[i], 1.0f + storage.stereo[i + 2]) << storage.name << " sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DecodedSoundStorage,
    ::testing::Values(
        Storage{"pcm16Mono", {0.5f, 0.5f, -1.0f, -1.0f, 3.0f / 32768, 3.0f / 32768}, 1, 2},
        Storage{"pcm16Stereo", {0.5f, 0.25f, -1.0f, 0.0f, 0.0f, 32767.0f / 32768}, 2, 4},
        Storage{"floatMono", {0.1f, 0.1f, -0.3f, -0.3f, 1.5f, 1.5f}, 1, 4},
        Storage{"floatStereo", {0.1f, 0.2f, -0.3f, 0.3f, 0.0f, 1.0f}, 2, 8},
        Storage{"floatInRange", {0.1f, 0.2f, -0.3f, 0.3f, 0.0f, 0.5f}, 2, 8}),
    [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace plinka::audio
