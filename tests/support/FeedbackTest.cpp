// The feedback prompt on a clock that the test moves: when it shows, what it shows, what each
// answer stores, and the mail it opens.
#include <gtest/gtest.h>

#include "doubles/FakeClock.h"
#include "doubles/FakeDesktop.h"
#include "doubles/FakePlatform.h"
#include "support/Feedback.h"

namespace plinka::testing {
namespace {

constexpr double kDay = 86400.0;
constexpr const char* kLastVersionUsed = "FeedbackLastVersionUsed";
constexpr const char* kFirstUsed = "FeedbackFirstUsed";
constexpr const char* kPrompted = "FeedbackPrompted";
constexpr const char* kSuppress = "FeedbackSuppress";

// Everything the prompt works with, as doubles; a launch makes a new Feedback.
class FeedbackWorld {
  public:
    FeedbackWorld() {
        setVersion("42");
        desktop.alerts.suppressionAnswer = false;
    }
    // Launches the application; answers whether the prompt showed.
    bool launch() {
        const size_t before = desktop.alerts.shown.size();
        Feedback feedback(services);
        return desktop.alerts.shown.size() > before;
    }
    void setVersion(const std::string& version) {
        fake.bundle.info = Object::dictionary(
            {{Object::string("CFBundleName"), Object::string("Plinka")},
             {Object::string("CFBundleShortVersionString"), Object::string("1.2")},
             {Object::string("CFBundleVersion"), Object::string(version)},
             {Object::string("PLKMailDomain"), Object::string("plinka.org")}});
    }
    Object stored(const char* key) const {
        const auto& values = desktop.defaults.storedValues();
        const auto found = values.find(key);
        return found == values.end() ? Object() : found->second;
    }

    FakePlatform fake;
    FakeDesktop desktop{fake.platform};
    FakeClock clock;
    FeedbackServices services{desktop.defaults,
                              desktop.alerts,
                              desktop.application,
                              desktop.urls,
                              desktop.information,
                              fake.bundle,
                              desktop.processInformation,
                              clock,
                              fake.log};
};

TEST(FeedbackTest, TheLaunchCheckRecordsANewVersionAndPromptsAWeekLater) {
    struct Case {
        const char* what;
        Object lastVersion;
        Object firstUsed;  // Nil: none; a date: seconds before now
        bool prompted, suppress;
        bool prompts, startsAWeek;
    };
    const Object v42 = Object::string("42");
    const auto ago = [](double seconds) { return Object::date(seconds); };
    const Case cases[] = {
        {"first launch", Object(), Object(), false, false, false, true},
        {"a second short of a week", v42, ago(604799), false, false, false, false},
        {"a week to the second", v42, ago(604800), false, false, true, false},
        {"sent for this version", v42, ago(365 * kDay), true, false, false, false},
        {"suppressed", v42, ago(365 * kDay), false, true, false, false},
        {"first use not a date", v42, Object::string("last week"), false, false, false, false},
        {"another version after sending", Object::string("41"), ago(365 * kDay), true, false, false,
         true},
        {"another version, suppressed", Object::string("41"), ago(365 * kDay), false, true, false,
         true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        FeedbackWorld world;
        UserDefaults& defaults = world.desktop.defaults;
        defaults.setObject(test.lastVersion, kLastVersionUsed);
        const std::optional<double> age = test.firstUsed.dateValue();
        defaults.setObject(age ? Object::date(world.clock.now - *age) : test.firstUsed, kFirstUsed);
        defaults.setBool(test.prompted, kPrompted);
        defaults.setBool(test.suppress, kSuppress);
        const auto before = world.desktop.defaults.storedValues();

        EXPECT_EQ(world.launch(), test.prompts);
        if (test.startsAWeek) {
            EXPECT_EQ(world.stored(kFirstUsed), Object::date(world.clock.now));
            EXPECT_EQ(world.stored(kLastVersionUsed), v42);
            EXPECT_EQ(world.stored(kPrompted), Object::boolean(false));
            EXPECT_EQ(world.stored(kSuppress), Object::boolean(test.suppress));
        } else if (!test.prompts) {
            EXPECT_EQ(world.desktop.defaults.storedValues(), before);
        }
    }
}

TEST(FeedbackTest, WeekByWeekTheAnswersDecideWhenItAsksAgain) {
    FeedbackWorld world;
    auto& alerts = world.desktop.alerts;
    EXPECT_FALSE(world.launch());
    world.clock.advance(7 * kDay);

    // "Not Now" moves the first use to the moment of the answer, and nothing else.
    alerts.answer = NSAlertAlternateReturn;
    auto expected = world.desktop.defaults.storedValues();
    EXPECT_TRUE(world.launch());
    expected[kFirstUsed] = Object::date(world.clock.now);
    EXPECT_EQ(world.desktop.defaults.storedValues(), expected);
    EXPECT_TRUE(world.desktop.urls.opened.empty());
    world.clock.advance(7 * kDay);

    // "Send Feedback" opens the mail and ends the asking for this version.
    alerts.answer = NSAlertDefaultReturn;
    EXPECT_TRUE(world.launch());
    EXPECT_EQ(world.desktop.urls.opened,
              std::vector<std::string>{
                  "mailto:plinka@plinka.org?subject=Feedback%20for%20Plinka%201.2%20%2842"
                  "%29%20on%20Debian%20GNU%2FLinux%2012%20%28bookworm%29%2C%20Linux%206.1."
                  "0-28-amd64&body=What%20do%20you%20like%20about%20Plinka%3F%0A%0AWhat%20"
                  "could%20be%20added%2Fremoved%3F%0A%0AHave%20you%20had%20any%20issues%3F"});
    EXPECT_EQ(world.stored(kPrompted), Object::boolean(true));
    world.clock.advance(30 * kDay);
    EXPECT_FALSE(world.launch());

    // The box ends the asking for every version.
    world.setVersion("43");
    world.launch();
    world.clock.advance(7 * kDay);
    alerts.answer = NSAlertAlternateReturn;
    alerts.suppressionAnswer = true;
    EXPECT_TRUE(world.launch());
    EXPECT_EQ(world.stored(kSuppress), Object::boolean(true));
    world.setVersion("44");
    world.launch();
    world.clock.advance(7 * kDay);
    EXPECT_FALSE(world.launch());
    EXPECT_EQ(alerts.shown.size(), 3u);
}

}  // namespace
}  // namespace plinka::testing
