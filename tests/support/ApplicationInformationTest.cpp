#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "doubles/FakeBundle.h"
#include "doubles/FakeSystemInformation.h"
#include "doubles/RecordingLog.h"
#include "support/PLKAdditions.h"

namespace plinka {
namespace {

using testing::FakeBundle;
using testing::FakeProcessInformation;
using testing::FakeSystemAttributes;
using testing::RecordingLog;
using testing::ScriptedCommandRunner;

Object dictionary(std::vector<std::pair<std::string, std::string>> entries) {
    Object::Dictionary values;
    for (auto& [key, value] : entries) {
        values.emplace_back(Object::string(key), Object::string(value));
    }
    return Object::dictionary(std::move(values));
}

class ApplicationInformationTest : public ::testing::Test {
  protected:
    RecordingLog log;
    FakeBundle bundle;
    FakeProcessInformation process;
    FakeSystemAttributes attributes;
    ScriptedCommandRunner commands;
    PLKAdditions information{{log, bundle, process, attributes, commands}};
};

TEST_F(ApplicationInformationTest, TheLocalizedDictionaryWinsOverTheUnlocalizedOne) {
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
    EXPECT_EQ(information.infoValueForKey("CFBundleVersion"), Object::string("100"));
}

TEST_F(ApplicationInformationTest, MissingKeysAreNilAndANamelessBundleIsNoName) {
    EXPECT_EQ(information.applicationName(), "No Name");
    EXPECT_EQ(information.applicationCopyrightInformation(), std::nullopt);
    EXPECT_EQ(information.applicationShortVersionString(), std::nullopt);
    EXPECT_EQ(information.applicationVersion(), std::nullopt);
    EXPECT_EQ(information.applicationIdentifier(), std::nullopt);
    EXPECT_TRUE(information.infoValueForKey("CFBundleName").isNil());

    // Any object answers the look-up, not only a string.
    bundle.info = Object::dictionary({{Object::string("LSUIElement"), Object::boolean(true)}});
    EXPECT_EQ(information.infoValueForKey("LSUIElement"), Object::boolean(true));
}

TEST_F(ApplicationInformationTest, UuidRunsTheSerialNumberDigestOnceWhenItSucceeds) {
    commands.results = {{0, "\n  (stdin)= 2fd4e1c67a2d28fced849ee1bb76e7391b93eb12 \n\n"}};
    EXPECT_EQ(information.uuid(), "(stdin)= 2fd4e1c67a2d28fced849ee1bb76e7391b93eb12");
    EXPECT_EQ(information.uuid(), "(stdin)= 2fd4e1c67a2d28fced849ee1bb76e7391b93eb12");
    EXPECT_EQ(commands.commands, std::vector<std::string>{std::string(kSerialNumberDigestCommand)});
}

TEST_F(ApplicationInformationTest, UuidTriesAgainAfterAFailure) {
    commands.results = {{1, "ioreg: command not found"}, {0, "abc\n"}};
    EXPECT_EQ(information.uuid(), std::nullopt);
    EXPECT_EQ(information.uuid(), "abc");
    EXPECT_EQ(information.uuid(), "abc");
    EXPECT_EQ(commands.commands.size(), 2u);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ApplicationInformationTest, UuidTrimsEveryKindOfSpaceAndRefusesOutputThatIsNotText) {
    // Tab, no-break space, ideographic space and a line separator around the digest; inner ones
    // stay.
    commands.results = {{0,
                         "\t\xC2\xA0 ab\xC2\xA0"
                         "cd\xE3\x80\x80\r\n\xE2\x80\xA8"}};
    EXPECT_EQ(information.uuid(),
              "ab\xC2\xA0"
              "cd");

    PLKAdditions other({log, bundle, process, attributes, commands});
    commands.results = {{0, "ab\xFF\n"}, {0, "\xE2\x80"}, {0, "\xED\xA0\x80"}, {0, " \n"}};
    EXPECT_EQ(other.uuid(), std::nullopt);  // not UTF-8
    EXPECT_EQ(other.uuid(), std::nullopt);  // cut short
    EXPECT_EQ(other.uuid(), std::nullopt);  // a surrogate
    EXPECT_EQ(other.uuid(), "");            // text, if empty once trimmed
    EXPECT_EQ(other.uuid(), "");
    EXPECT_EQ(commands.commands.size(), 5u);
}

TEST_F(ApplicationInformationTest, ConcurrentCallersShareOneRun) {
    commands.results = {{0, "abc"}};
    std::vector<std::thread> callers;
    std::vector<std::optional<std::string>> answers(8);
    for (auto& answer : answers) {
        callers.emplace_back([&] { answer = information.uuid(); });
    }
    for (auto& caller : callers) {
        caller.join();
    }
    for (const auto& answer : answers) {
        EXPECT_EQ(answer, "abc");
    }
    EXPECT_EQ(commands.commands.size(), 1u);
}

}  // namespace
}  // namespace plinka
