#include <gtest/gtest.h>

#include "platform/linux/process/ExecutableBundle.h"
#include "platform/linux/process/ProcessStat.h"
#include "platform/linux/process/ReopenChannel.h"

namespace plinka {
namespace {

TEST(ProcessStatTest, ReadsTheStartTimeAfterTheLastParenthesisOfTheName) {
    const std::string fields =
        " S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 987654321 20 21 22\n";
    EXPECT_EQ(startTimeFromStat("42 (plinka)" + fields), 987654321u);
    // A name may hold spaces and parentheses of its own.
    EXPECT_EQ(startTimeFromStat("42 (a) b (c) d)" + fields), 987654321u);
}

TEST(ExecutableBundleTest, FindsTheBundleThatHoldsTheExecutable) {
    EXPECT_EQ(bundleHoldingExecutable("/opt/Plinka.app/Contents/MacOS/Plinka"), "/opt/Plinka.app");
    EXPECT_EQ(bundleHoldingExecutable("/home/u/My Apps/Plinka 2.app/Contents/MacOS/Plinka"),
              "/home/u/My Apps/Plinka 2.app");
    EXPECT_EQ(bundleHoldingExecutable("/usr/bin/plinka"), std::nullopt);
    EXPECT_EQ(bundleHoldingExecutable("/opt/Plinka/Contents/MacOS/Plinka"), std::nullopt);
    EXPECT_EQ(bundleHoldingExecutable("/opt/Plinka.app/Contents/Resources/tool"), std::nullopt);
    EXPECT_EQ(bundleHoldingExecutable("/opt/Plinka.app/Contents/MacOS/"), std::nullopt);
    EXPECT_EQ(bundleHoldingExecutable("Plinka"), std::nullopt);
    // An executable replaced since it started still names its path.
    EXPECT_EQ(executablePathFromLink("/opt/Plinka.app/Contents/MacOS/Plinka (deleted)"),
              "/opt/Plinka.app/Contents/MacOS/Plinka");
    EXPECT_EQ(executablePathFromLink("/opt/Plinka.app/Contents/MacOS/Plinka"),
              "/opt/Plinka.app/Contents/MacOS/Plinka");
}

// Without a runtime directory the socket goes under /tmp, in a folder of the user's own.
TEST(ReopenChannelTest, SocketsLiveInTheRuntimeDirectoryElseInOneOfTheUsersUnderTmp) {
    EXPECT_EQ(reopenSocketDirectoryFor("", 5), "/tmp/plinka-5");
    EXPECT_FALSE(socketAddress("/run/" + std::string(200, 'x') + "/1.socket"));
}

}  // namespace
}  // namespace plinka
