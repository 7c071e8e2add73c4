#include <gtest/gtest.h>

#include <functional>
#include <string>
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

struct Versions {
    uint32_t major = 99, minor = 99, bugFix = 99;
};

class SystemVersionTest : public ::testing::Test {
  protected:
    Versions query() const {
        Versions v;
        information.getSystemVersionMajor(&v.major, &v.minor, &v.bugFix);
        return v;
    }

    // Every release test by name, in the order of the releases.
    std::vector<std::pair<std::string, bool>> exactTests() const {
        const PLKAdditions& i = information;
        return {{"Leopard", i.systemIsLeopard()},
                {"SnowLeopard", i.systemIsSnowLeopard()},
                {"Lion", i.systemIsLion()},
                {"MountainLion", i.systemIsMountainLion()},
                {"Mavericks", i.systemIsMavericks()},
                {"Yosemite", i.systemIsYosemite()},
                {"ElCapitan", i.systemIsElCapitan()},
                {"Sierra", i.systemIsSierra()},
                {"HighSierra", i.systemIsHighSierra()}};
    }
    std::vector<std::pair<std::string, bool>> orHigherTests() const {
        const PLKAdditions& i = information;
        return {{"Leopard", i.systemIsLeopardOrHigher()},
                {"SnowLeopard", i.systemIsSnowLeopardOrHigher()},
                {"Lion", i.systemIsLionOrHigher()},
                {"MountainLion", i.systemIsMountainLionOrHigher()},
                {"Mavericks", i.systemIsMavericksOrHigher()},
                {"Yosemite", i.systemIsYosemiteOrHigher()},
                {"ElCapitan", i.systemIsElCapitanOrHigher()},
                {"Sierra", i.systemIsSierraOrHigher()},
                {"HighSierra", i.systemIsHighSierraOrHigher()}};
    }

    RecordingLog log;
    FakeBundle bundle;
    FakeProcessInformation process;
    FakeSystemAttributes attributes;
    ScriptedCommandRunner commands;
    PLKAdditions information{{log, bundle, process, attributes, commands}};
};

TEST_F(SystemVersionTest, TheProcessInformationAnswersWithoutTheAttributeService) {
    process.version = OperatingSystemVersion{10, 13, 6};
    attributes.values = {{kSystemVersionSelector, 0x1039}};
    const Versions v = query();
    EXPECT_EQ(v.major, 10u);
    EXPECT_EQ(v.minor, 13u);
    EXPECT_EQ(v.bugFix, 6u);
    EXPECT_TRUE(attributes.queried.empty());

    // Each value is narrowed to 32 bits, and a null target is skipped.
    process.version = OperatingSystemVersion{(int64_t{1} << 32) + 11, 2, 3};
    uint32_t major = 0;
    information.getSystemVersionMajor(&major, nullptr, nullptr);
    EXPECT_EQ(major, 11u);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(SystemVersionTest, HighSierraIsItsOwnReleaseAndEveryEarlierOne) {
    for (const int64_t bugFix : {0, 6}) {
        process.version = OperatingSystemVersion{10, 13, bugFix};
        for (const auto& [name, answer] : exactTests()) {
            EXPECT_EQ(answer, name == "HighSierra") << name;
        }
        for (const auto& [name, answer] : orHigherTests()) {
            EXPECT_TRUE(answer) << name;
        }
    }
}

TEST_F(SystemVersionTest, ALaterMajorReleaseIsNoExactReleaseButHigherThanAll) {
    process.version = OperatingSystemVersion{11, 0, 0};
    for (const auto& [name, answer] : exactTests()) {
        EXPECT_FALSE(answer) << name;
    }
    for (const auto& [name, answer] : orHigherTests()) {
        EXPECT_TRUE(answer) << name;
    }
}

TEST_F(SystemVersionTest, AMiddleReleaseSplitsTheOrHigherTests) {
    process.version = OperatingSystemVersion{10, 9, 5};
    const auto exact = exactTests();
    const auto orHigher = orHigherTests();
    for (size_t i = 0; i < exact.size(); ++i) {
        EXPECT_EQ(exact[i].second, exact[i].first == "Mavericks") << exact[i].first;
        // Leopard (10.5) through Mavericks (10.9) are reached; Yosemite and later are not.
        EXPECT_EQ(orHigher[i].second, i <= 4) << orHigher[i].first;
    }
}

TEST_F(SystemVersionTest, APackedValueBefore10_4IsBinaryCodedDecimal) {
    attributes.values = {{kSystemVersionSelector, 0x1039},
                         {kSystemVersionMajorSelector, 77},
                         {kSystemVersionMinorSelector, 77},
                         {kSystemVersionBugFixSelector, 77}};
    const Versions v = query();
    EXPECT_EQ(v.major, 10u);
    EXPECT_EQ(v.minor, 3u);
    EXPECT_EQ(v.bugFix, 9u);
    EXPECT_EQ(attributes.queried, std::vector<uint32_t>{kSystemVersionSelector});
}

TEST_F(SystemVersionTest, FromThePacked10_4OnTheThreeSelectorsAnswer) {
    attributes.values = {{kSystemVersionSelector, 0x1040},
                         {kSystemVersionMajorSelector, 10},
                         {kSystemVersionMinorSelector, 4},
                         {kSystemVersionBugFixSelector, 11}};
    const Versions v = query();
    EXPECT_EQ(v.major, 10u);
    EXPECT_EQ(v.minor, 4u);
    EXPECT_EQ(v.bugFix, 11u);
    EXPECT_EQ(attributes.queried,
              (std::vector<uint32_t>{kSystemVersionSelector, kSystemVersionMajorSelector,
                                     kSystemVersionMinorSelector, kSystemVersionBugFixSelector}));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(SystemVersionTest, AnAttributeFailureIsLoggedAndReads10_0_0) {
    attributes.missing = -5551;
    Versions v = query();
    EXPECT_EQ(v.major, 10u);
    EXPECT_EQ(v.minor, 0u);
    EXPECT_EQ(v.bugFix, 0u);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Unable to obtain system version: -5551"});

    // A failure part-way stops at the failing selector, with that selector's code.
    log.clear();
    attributes.queried.clear();
    attributes.values = {{kSystemVersionSelector, 0x1068}, {kSystemVersionMajorSelector, 10}};
    attributes.missing = -5550;
    v = query();
    EXPECT_EQ(v.major, 10u);
    EXPECT_EQ(v.minor, 0u);
    EXPECT_EQ(attributes.queried,
              (std::vector<uint32_t>{kSystemVersionSelector, kSystemVersionMajorSelector,
                                     kSystemVersionMinorSelector}));
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Unable to obtain system version: -5550"});

    // 10.0.0 passes no release test.
    for (const auto& [name, answer] : exactTests()) {
        EXPECT_FALSE(answer) << name;
    }
    for (const auto& [name, answer] : orHigherTests()) {
        EXPECT_FALSE(answer) << name;
    }
}

}  // namespace
}  // namespace plinka
