#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>

#include "platform/linux/headless/PosixTemporaryFiles.h"

namespace plinka {
namespace {

TEST(PosixTemporaryFiles, UuidsAreCanonicalVersion4AndDistinct) {
    PosixTemporaryFiles files;
    const std::regex canonical(
        "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        const auto uuid = files.createUuidString();
        ASSERT_TRUE(uuid);
        EXPECT_TRUE(std::regex_match(*uuid, canonical)) << *uuid;
        seen.insert(*uuid);
    }
    EXPECT_EQ(seen.size(), 1000u);
}

TEST(PosixTemporaryFiles, DirectoryFollowsTmpdirAndRefusesAMissingOne) {
    PosixTemporaryFiles files;
    const char* saved = std::getenv("TMPDIR");
    const std::string previous = saved ? saved : "";
    ::setenv("TMPDIR", "/tmp", 1);
    EXPECT_EQ(files.temporaryDirectory(), "/tmp/");
    ::setenv("TMPDIR", "/no/such/directory", 1);
    EXPECT_EQ(files.temporaryDirectory(), std::nullopt);
    ::unsetenv("TMPDIR");
    EXPECT_EQ(files.temporaryDirectory(), "/tmp/");
    if (saved) {
        ::setenv("TMPDIR", previous.c_str(), 1);
    }
}

}  // namespace
}  // namespace plinka
