#include <gtest/gtest.h>

#include <vector>

#include "doubles/FakeDesktop.h"
#include "doubles/FakePlatform.h"
#include "support/PLKAdditions.h"

namespace plinka::testing {
namespace {

// The digest command runs until it succeeds once; its output is kept trimmed of every kind of
// space, and output that is not text counts as a failure.
TEST(ApplicationInformationTest, UuidRunsTheDigestUntilItSucceedsAndKeepsItTrimmed) {
    FakePlatform fake;
    FakeDesktop desktop{fake.platform};
    desktop.commands.results = {{1, "ioreg: command not found"},
                                {0, "ab\xFF\n"},
                                {0, "\xED\xA0\x80"},
                                {0,
                                 "\t\xC2\xA0 ab\xC2\xA0"
                                 "cd\xE3\x80\x80\r\n\xE2\x80\xA8"}};
    const std::optional<std::string> none, trimmed =
                                               "ab\xC2\xA0"
                                               "cd";
    for (const auto& expected : {none, none, none, trimmed, trimmed}) {
        EXPECT_EQ(desktop.information.uuid(), expected);
    }
    EXPECT_EQ(desktop.commands.commands,
              std::vector<std::string>(4, std::string(kSerialNumberDigestCommand)));
    EXPECT_TRUE(fake.log.lines().empty());
}

}  // namespace
}  // namespace plinka::testing
