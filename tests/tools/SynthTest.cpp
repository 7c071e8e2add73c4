#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numeric>

#include "Signal.h"
#include "TestFiles.h"
#include "tools/synth/Patch.h"
#include "tools/synth/RecipeFile.h"

namespace plinka::synth {
namespace {

using testing::peakOf;

// Every shipped recipe synthesises, and every sound in it is clean and short: at its level, never
// clipped, centred, silent at both ends. A seed gives the same rendering each time and, where the
// recipe asks for jitter, another seed another variant.
TEST(Synth, ShippedRecipesMakeCleanSoundsAndSeedsMakeTheVariants) {
    const std::filesystem::path themes = PLINKA_SOURCE_DIR "/resources/themes";
    int recipes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(themes)) {
        if (entry.path().extension() != ".recipe") {
            continue;
        }
        ++recipes;
        std::string error;
        const auto recipe =
            parseRecipe(testing::fileContents(entry.path()), entry.path().string(), error);
        ASSERT_TRUE(recipe) << error;
        for (const auto& sound : recipe->sounds) {
            const auto samples = renderPatch(sound.patch, 1);
            EXPECT_EQ(samples, renderPatch(sound.patch, 1)) << sound.file;
            if (sound.patch.jitter > 0) {
                EXPECT_NE(samples, renderPatch(sound.patch, 2)) << sound.file;
            }
            ASSERT_GT(samples.size(), 48u * 15) << sound.file;
            EXPECT_LT(samples.size(), static_cast<size_t>(kSampleRate * 1.3)) << sound.file;
            EXPECT_NEAR(20 * std::log10(peakOf(samples)), sound.patch.level, 0.01) << sound.file;
            EXPECT_LT(peakOf(samples), 0.9) << sound.file;
            const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) /
                                static_cast<double>(samples.size());
            EXPECT_LT(std::abs(mean), 1e-3) << sound.file;
            EXPECT_EQ(samples.front(), 0.0f) << sound.file;
            EXPECT_LT(std::abs(samples.back()), 1e-4) << sound.file;
        }
    }
    EXPECT_GE(recipes, 4);
}

}  // namespace
}  // namespace plinka::synth
