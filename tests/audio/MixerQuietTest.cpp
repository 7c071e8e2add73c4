#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/linux/audio/Mixer.h"

namespace plinka::audio {
namespace {

// What an output that renders only while something sounds relies on: a wake-up for everything
// queued, and isQuiet only once nothing more is to be heard.
class MixerQuiet : public ::testing::Test {
  protected:
    MixerQuiet() {
        mixer_.setWakeUp([this] { ++wakeUps_; });
    }
    void render(size_t frames) {
        std::vector<float> out(2 * frames);
        mixer_.render(out.data(), frames);
    }

    Mixer mixer_{48000, 4};
    int wakeUps_ = 0;
};

TEST_F(MixerQuiet, ASilentSoundIsPlayedToItsEndLikeAnyOther) {
    EXPECT_TRUE(mixer_.isQuiet());
    auto silence = std::make_shared<DecodedSound>(std::vector<float>(2 * 100, 0.0f));
    mixer_.play(*silence);
    EXPECT_EQ(wakeUps_, 1);
    EXPECT_FALSE(mixer_.isQuiet()) << "queued";
    render(60);
    EXPECT_FALSE(mixer_.isQuiet()) << "sounding";
    render(60);
    EXPECT_TRUE(mixer_.isQuiet());
    mixer_.retire(silence);
}

TEST_F(MixerQuiet, SpeechKeepsItBusyUntilPlayedAndADetachedStreamUntilLetGo) {
    auto stream = std::make_shared<SpeechStream>();
    ASSERT_TRUE(mixer_.attachStream(*stream));
    EXPECT_EQ(wakeUps_, 1);
    EXPECT_FALSE(mixer_.isQuiet()) << "attachment queued";
    render(16);
    EXPECT_TRUE(mixer_.isQuiet()) << "attached, nothing to say";

    StreamBlock* block = stream->blocks.writeSlot();
    block->frames = 100;
    block->samples.fill(0.1f);
    stream->blocks.publish();
    EXPECT_FALSE(mixer_.isQuiet());
    render(60);
    EXPECT_FALSE(mixer_.isQuiet()) << "speaking";
    render(60);
    EXPECT_TRUE(mixer_.isQuiet());

    mixer_.detachStream(stream);
    EXPECT_EQ(wakeUps_, 2) << "woken to let the stream go";
    EXPECT_FALSE(mixer_.isQuiet());
    render(16);
    EXPECT_TRUE(mixer_.isQuiet());
}

}  // namespace
}  // namespace plinka::audio
