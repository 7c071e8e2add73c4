#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "doubles/FakeSystemInformation.h"
#include "support/PLKAdditions.h"

namespace plinka {
namespace {

Object dictionary(std::vector<std::pair<std::string, std::string>> entries) {
    Object::Dictionary values;
    for (auto& [key, value] : entries) {
        values.emplace_back(Object::string(key), Object::string(value));
    }
    return Object::dictionary(std::move(values));
}

class ApplicationInformationTest : public ::testing::Test,
                                   protected testing::FakeSystemInformation {};

TEST_F(ApplicationInformationTest, TheLocalizedDictionaryWinsAndMissingKeysAreNil) {
    EXPECT_EQ(information.applicationName(), "No Name");
    EXPECT_EQ(information.applicationVersion(), std::nullopt);
    EXPECT_TRUE(information.infoValueForKey("CFBundleName").isNil());

    bundle.info = dictionary({{"CFBundleName", "Plinka"},
                              {"CFBundleShortVersionString", "1.0"},
                              {"CFBundleVersion", "100"},
                              {"CFBundleIdentifier", "com.example.plinka"},
                              {"NSHumanReadableCopyright", "Copyright 2026"}});
    bundle.localizedInfo =
        dictionary({{"CFBundleName", "Plinka (de)"}, {"NSHumanReadableCopyright", "© 2026"}});
    EXPECT_EQ(information.applicationName(), "Plinka (de)");
    EXPECT_EQ(information.applicationCopyrightInformation(), "© 2026");
    EXPECT_EQ(information.applicationShortVersionString(), "1.0");
    EXPECT_EQ(information.applicationVersion(), "100");
    EXPECT_EQ(information.applicationIdentifier(), "com.example.plinka");
    EXPECT_EQ(information.infoValueForKey("CFBundleName"), Object::string("Plinka (de)"));
}

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
