#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "doubles/FakeSystemInformation.h"
#include "support/PLKAdditions.h"

namespace plinka {
namespace {

class ApplicationInformationTest : public ::testing::Test,
                                   protected testing::FakeSystemInformation {};

// The digest command runs until it succeeds once; its output is kept trimmed of every kind of
// space, and output that is not text counts as a failure.
TEST_F(ApplicationInformationTest, UuidRunsTheDigestUntilItSucceedsAndKeepsItTrimmed) {
    commands.results = {{1, "ioreg: command not found"},
                        {0, "ab\xFF\n"},
                        {0, "\xED\xA0\x80"},
                        {0,
                         "\t\xC2\xA0 ab\xC2\xA0"
                         "cd\xE3\x80\x80\r\n\xE2\x80\xA8"}};
    EXPECT_EQ(information.uuid(), std::nullopt);
    EXPECT_EQ(information.uuid(), std::nullopt);
    EXPECT_EQ(information.uuid(), std::nullopt);
    EXPECT_EQ(information.uuid(),
              "ab\xC2\xA0"
              "cd");
    EXPECT_EQ(information.uuid(),
              "ab\xC2\xA0"
              "cd");
    EXPECT_EQ(commands.commands,
              std::vector<std::string>(4, std::string(kSerialNumberDigestCommand)));
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace plinka
