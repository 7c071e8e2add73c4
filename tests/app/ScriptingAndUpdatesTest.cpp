#include "AppControllerFixture.h"
#include "doubles/FakeAppcastLoader.h"
#include "doubles/FakeClock.h"
#include "doubles/FakeSystemProfile.h"

namespace plinka {
namespace {

using testing::AppControllerFixture;

using ScriptingAndUpdatesTest = AppControllerFixture;

TEST_F(ScriptingAndUpdatesTest, FeedParametersCarryTheIdentifierAndSavedThemeOnlyWithTheProfile) {
    testing::FakeSystemProfile profile;
    testing::FakeAppcastLoader appcasts;
    testing::FakeClock clock;
    SUUpdater updater{{desktop.defaults, desktop.information, profile, appcasts, fake.log, clock}};
    struct Case {
        bool sendingSystemProfile;
        int uuidStatus;
        std::optional<std::string> savedTheme;
        std::vector<FeedParameter> expected;
    };
    const FeedParameter uuid{"uuid", "UUID", "5f0e", "5f0e"};
    const FeedParameter theme{"soundTheme", "Sound Theme", "Bubbles & Co", "Bubbles & Co"};
    const std::vector<Case> cases = {
        {false, 0, "Bubbles & Co", {}},     {true, 0, "Bubbles & Co", {uuid, theme}},
        {true, 1, "Bubbles & Co", {theme}}, {true, 0, std::nullopt, {uuid}},
        {true, 1, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        testing::FakeDesktop other(fake.platform);
        other.commands.results = {{c.uuidStatus, "5f0e\n"}};
        if (c.savedTheme) {
            other.defaults.setObject(Object::string(*c.savedTheme), "soundTheme");
        }
        AppController delegate(fake.platform, other.services, sounds);
        EXPECT_EQ(delegate.feedParametersForUpdater(updater, c.sendingSystemProfile), c.expected)
            << "profile " << c.sendingSystemProfile << ", uuid status " << c.uuidStatus
            << ", theme " << c.savedTheme.value_or("(none)");
        EXPECT_EQ(other.commands.commands.empty(), !c.sendingSystemProfile);
    }
}

}  // namespace
}  // namespace plinka
