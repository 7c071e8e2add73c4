// The system version and the release tests built on it, from the process information or, where
// it has none, the packed attribute and its three selectors.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "doubles/FakeSystemInformation.h"
#include "support/PLKAdditions.h"

namespace plinka {
namespace {

class SystemVersionTest : public ::testing::Test, protected testing::FakeSystemInformation {
  protected:
    std::vector<uint32_t> version() const {
        std::vector<uint32_t> v(3, 99);
        information.getSystemVersionMajor(&v[0], &v[1], &v[2]);
        return v;
    }
    // Every exact release test from Leopard (10.5) to High Sierra (10.13): the one that holds,
    // 0 for none; and how many of the "or higher" tests hold.
    std::pair<int, int> releaseTests() const {
        const PLKAdditions& i = information;
        const bool exact[] = {
            i.systemIsLeopard(),      i.systemIsSnowLeopard(), i.systemIsLion(),
            i.systemIsMountainLion(), i.systemIsMavericks(),   i.systemIsYosemite(),
            i.systemIsElCapitan(),    i.systemIsSierra(),      i.systemIsHighSierra()};
        const bool orHigher[] = {i.systemIsLeopardOrHigher(),   i.systemIsSnowLeopardOrHigher(),
                                 i.systemIsLionOrHigher(),      i.systemIsMountainLionOrHigher(),
                                 i.systemIsMavericksOrHigher(), i.systemIsYosemiteOrHigher(),
                                 i.systemIsElCapitanOrHigher(), i.systemIsSierraOrHigher(),
                                 i.systemIsHighSierraOrHigher()};
        int release = 0;
        int higher = 0;
        for (int n = 0; n < 9; ++n) {
            release = exact[n] ? (release == 0 ? 5 + n : -1) : release;
            higher += orHigher[n] && (n == 0 || orHigher[n - 1]) ? 1 : 0;
        }
        return {release, higher};
    }
};

TEST_F(SystemVersionTest, TheReleaseTestsFollowTheVersion) {
    struct Case {
        std::vector<int64_t> version;
        int release;  // the minor version whose exact test holds, 0 for none
        int orHigher;
    };
    const Case cases[] = {
        {{10, 13, 6}, 13, 9},
        {{10, 9, 5}, 9, 5},
        {{10, 5, 0}, 5, 1},
        {{10, 4, 11}, 0, 0},
        {{11, 0, 0}, 0, 9},
        {{6, 1, 0}, 0, 0},
        {{(int64_t{1} << 32) + 10, 13, 0}, 13, 9},  // each value is narrowed to 32 bits
    };
    for (const Case& test : cases) {
        process.version = OperatingSystemVersion{test.version[0], test.version[1], test.version[2]};
        SCOPED_TRACE(test.version[1]);
        EXPECT_EQ(version(), (std::vector<uint32_t>{static_cast<uint32_t>(test.version[0]),
                                                    static_cast<uint32_t>(test.version[1]),
                                                    static_cast<uint32_t>(test.version[2])}));
        EXPECT_EQ(releaseTests(), std::pair(test.release, test.orHigher));
    }
    EXPECT_TRUE(attributes.queried.empty()) << "the process information answers first";
    EXPECT_TRUE(log.lines().empty());
}

// Without the process information: before 10.4 the packed value is binary-coded decimal; from
// 10.4 on the three selectors answer; a failure is logged and reads 10.0.0.
TEST_F(SystemVersionTest, TheAttributeServiceAnswersWhereTheProcessCannot) {
    struct Case {
        std::map<uint32_t, int32_t> values;
        std::vector<uint32_t> version;
        size_t queries;
        std::string logged;
    };
    const Case cases[] = {
        {{{kSystemVersionSelector, 0x1039}, {kSystemVersionMajorSelector, 77}}, {10, 3, 9}, 1, ""},
        {{{kSystemVersionSelector, 0x1040},
          {kSystemVersionMajorSelector, 10},
          {kSystemVersionMinorSelector, 4},
          {kSystemVersionBugFixSelector, 11}},
         {10, 4, 11},
         4,
         ""},
        {{}, {10, 0, 0}, 1, "Unable to obtain system version: -5551"},
        {{{kSystemVersionSelector, 0x1068}, {kSystemVersionMajorSelector, 10}},
         {10, 0, 0},
         3,
         "Unable to obtain system version: -5551"},
    };
    for (const Case& test : cases) {
        attributes.values = test.values;
        attributes.queried.clear();
        log.clear();
        EXPECT_EQ(version(), test.version);
        EXPECT_EQ(attributes.queried.size(), test.queries);
        EXPECT_EQ(log.lines(), test.logged.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{test.logged});
    }
    EXPECT_EQ(releaseTests(), std::pair(0, 0)) << "10.0.0 passes no release test";
}

}  // namespace
}  // namespace plinka
