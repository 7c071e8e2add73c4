#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "doubles/FakePlatform.h"
#include "sound/AudioKeepAlive.h"

namespace plinka {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;

class AudioKeepAliveTest : public ::testing::Test {
  protected:
    AudioKeepAliveTest() { fake.bundle.addResource("", "silence", "wav", "/b/silence.wav"); }
    size_t plays() const { return fake.systemSounds.played.size(); }

    FakePlatform fake;
    AudioKeepAlive keepAlive{fake.platform};
};

TEST_F(AudioKeepAliveTest, PlaysAtOnceThenEveryTenSecondsOnOneTimer) {
    keepAlive.start();
    keepAlive.start();
    EXPECT_EQ(fake.runLoop.scheduledTimerCount(), 1u);
    EXPECT_EQ(plays(), 1u);
    fake.runLoop.advance(9.9);
    EXPECT_EQ(plays(), 1u);
    fake.runLoop.advance(0.1);
    EXPECT_EQ(plays(), 2u);
    fake.runLoop.advance(30);
    EXPECT_EQ(plays(), 5u);
    EXPECT_EQ(fake.systemSounds.urlOf(fake.systemSounds.played[0]), "file:///b/silence.wav");
}

TEST_F(AudioKeepAliveTest, FailureToMakeTheSoundLogsAndStaysStopped) {
    fake.systemSounds.createStatusForUrl["file:///b/silence.wav"] = kAudioFileInvalidFileError;
    keepAlive.start();
    EXPECT_FALSE(keepAlive.isRunning());
    EXPECT_THAT(fake.log.lines(),
                ElementsAre("Error 'dta?' creating system sound for file:///b/silence.wav"));
    fake.systemSounds.createStatusForUrl.clear();
    keepAlive.start();
    EXPECT_TRUE(keepAlive.isRunning());
}

TEST_F(AudioKeepAliveTest, SleepPausesAndWakeResumesOnlyWhatWasRunning) {
    fake.sleepWake.postWillSleep();
    fake.sleepWake.postDidWake();
    EXPECT_FALSE(keepAlive.isRunning());

    keepAlive.start();
    fake.sleepWake.postWillSleep();
    EXPECT_FALSE(keepAlive.isRunning());
    fake.runLoop.advance(100);
    EXPECT_EQ(plays(), 1u);
    fake.sleepWake.postDidWake();
    EXPECT_TRUE(keepAlive.isRunning());
    EXPECT_EQ(plays(), 2u);  // at once on wake
}

}  // namespace
}  // namespace plinka
