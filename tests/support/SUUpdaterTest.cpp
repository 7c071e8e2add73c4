#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "doubles/FakeAppcastLoader.h"
#include "doubles/FakeClock.h"
#include "doubles/FakeDesktop.h"
#include "doubles/FakePlatform.h"
#include "doubles/FakeSystemProfile.h"
#include "support/SUUpdater.h"
#include "support/VersionComparison.h"

namespace plinka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Query = std::vector<AppcastLoader::QueryItem>;

constexpr double kDay = 24 * 60 * 60;

TEST(VersionComparison, DottedNumbersCompareNumericallyPartByPart) {
    const std::vector<std::string> ascending = {"",
                                                "1.0b2",
                                                "1.0",
                                                "1.0.1",
                                                "1.2",
                                                "1.10",
                                                "1.10.3",
                                                "2",
                                                "10.0a",
                                                "10.0",
                                                "18446744073709551616.1"};
    for (size_t i = 0; i < ascending.size(); ++i) {
        for (size_t j = 0; j < ascending.size(); ++j) {
            EXPECT_EQ(compareVersions(ascending[i], ascending[j]), i <=> j)
                << '"' << ascending[i] << "\" against \"" << ascending[j] << '"';
        }
    }
    EXPECT_EQ(compareVersions("1.01", "1.1.0"), std::strong_ordering::equal);
}

class RecordingDelegate final : public SUUpdaterDelegate {
  public:
    bool updaterShouldPromptForPermissionToCheckForUpdates(SUUpdater&) override {
        return wantsPrompt;
    }
    std::vector<FeedParameter> feedParametersForUpdater(SUUpdater&,
                                                        bool sendingSystemProfile) override {
        askedWithProfile.push_back(sendingSystemProfile);
        return sendingSystemProfile ? parameters : std::vector<FeedParameter>{};
    }
    void updaterDidFindValidUpdate(SUUpdater&, const SUAppcastItem& update) override {
        outcomes.push_back("found " + update.versionString.value_or("?"));
    }
    void updaterDidNotFindUpdate(SUUpdater&) override { outcomes.push_back("none"); }

    bool wantsPrompt = false;
    std::vector<FeedParameter> parameters = {{"uuid", "UUID", "5f0e", "5f0e"}};
    std::vector<bool> askedWithProfile;
    std::vector<std::string> outcomes;
};

class SUUpdaterTest : public ::testing::Test {
  protected:
    SUUpdaterTest() {
        fake.bundle.info = Object::dictionary(
            {{Object::string("CFBundleName"), Object::string("Plinka")},
             {Object::string("CFBundleVersion"), Object::string("1.2")},
             {Object::string("SUFeedURL"), Object::string("https://plinka.org/appcast.xml")}});
        desktop.processInformation.version = OperatingSystemVersion{6, 1, 0};
        defaults.setBool(true, "SUSendProfileInfo");
        updater.setDelegate(&delegate);
    }

    // Checks and answers with an empty appcast; the query that was sent.
    Query check() {
        const size_t before = appcasts.requests.size();
        updater.checkForUpdateInformation();
        if (appcasts.requests.size() == before) {
            return {{"(no request)", ""}};
        }
        appcasts.finish({});
        return appcasts.requests.back().query;
    }
    std::vector<std::string> logged() const { return fake.log.lines(); }

    testing::FakePlatform fake;
    testing::FakeDesktop desktop{fake.platform};
    testing::FakeUserDefaults& defaults = desktop.defaults;
    testing::FakeSystemProfile profile;
    testing::FakeAppcastLoader appcasts;
    testing::FakeClock clock;
    SUUpdater updater{{defaults, desktop.information, profile, appcasts, fake.log, clock}};
    RecordingDelegate delegate;
};

TEST_F(SUUpdaterTest, TheProfileAndTheDelegatesParametersGoAtMostOnceAWeek) {
    profile.language.reset();  // absent: left out
    const Query withProfile = {{"uuid", "5f0e"},
                               {"appName", "Plinka"},
                               {"appVersion", "1.2"},
                               {"osVersion", "6.1.0"},
                               {"cpuArch", "x86_64"}};
    updater.checkForUpdateInformation();
    appcasts.finish({{}, "offline"});  // a profile that never arrived goes again next time
    EXPECT_TRUE(defaults.objectForKey("SULastProfileSubmissionDate").isNil());
    EXPECT_EQ(check(), withProfile);
    EXPECT_EQ(defaults.objectForKey("SULastProfileSubmissionDate"), Object::date(clock.now));
    clock.advance(7 * kDay - 1);
    EXPECT_THAT(check(), IsEmpty());
    clock.advance(1);
    EXPECT_EQ(check(), withProfile);
    EXPECT_THAT(delegate.askedWithProfile, ElementsAre(true, true, false, true));

    clock.advance(-30 * kDay);  // the clock was set back: the date ahead of it holds nothing back
    EXPECT_EQ(check(), withProfile);
    defaults.setBool(false, "SUSendProfileInfo");
    clock.advance(30 * kDay);
    EXPECT_THAT(check(), IsEmpty());
    EXPECT_THAT(delegate.askedWithProfile.back(), false);
}

TEST_F(SUUpdaterTest, TheNewestItemAgainstTheBundleVersionDecidesTheOutcome) {
    struct Case {
        std::vector<SUAppcastItem> items;
        std::string outcome;
    };
    const std::vector<Case> cases = {
        {{{"1.10"}}, "found 1.10"}, {{{"1.2"}}, "none"},
        {{{"1.2.0"}}, "none"},      {{{"1.0"}, {"1.3"}, {std::nullopt}, {"1.2.9"}}, "found 1.3"},
        {{{std::nullopt}}, "none"}, {{}, "none"},
    };
    for (const Case& c : cases) {
        updater.checkForUpdateInformation();
        appcasts.finish({c.items, std::nullopt});
        EXPECT_EQ(delegate.outcomes.back(), c.outcome);
    }
    EXPECT_THAT(logged(), IsEmpty());
}

// One check at a time, none when the delegate wants the user asked; a failure is one log line
// and no outcome.
TEST_F(SUUpdaterTest, OneCheckAtATimeAndAFailedFetchIsOneLogLine) {
    updater.checkForUpdateInformation();
    updater.checkForUpdateInformation();
    EXPECT_EQ(appcasts.requests.size(), 1u);
    appcasts.finish({{}, "fetching https://plinka.org/appcast.xml: Connection refused"});
    EXPECT_THAT(logged(), ElementsAre("Update check failed: fetching "
                                      "https://plinka.org/appcast.xml: Connection refused"));
    EXPECT_THAT(delegate.outcomes, IsEmpty());
    delegate.wantsPrompt = true;
    updater.checkForUpdateInformation();
    EXPECT_EQ(appcasts.requests.size(), 1u);
}

}  // namespace
}  // namespace plinka
