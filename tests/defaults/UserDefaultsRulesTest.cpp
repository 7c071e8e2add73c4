// The rules every UserDefaults keeps, checked on the real one and on the double alike so that
// tests of the core through the double stay true of the program.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "defaults/DefaultsDirectory.h"
#include "doubles/FakeUserDefaults.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/defaults/PlistUserDefaults.h"

namespace plinka::testing {
namespace {

struct PlistDefaults {
    // A new run of the program with the command line's arguments.
    UserDefaults& restartWith(const std::vector<std::string>& arguments) {
        instance.reset();
        instance = std::make_unique<PlistUserDefaults>(
            directory.path(), DefaultsDirectory::kIdentifier, log, arguments);
        return *instance;
    }
    UserDefaults& get() { return instance ? *instance : restartWith({}); }

    DefaultsDirectory directory;
    RecordingLog log;
    std::unique_ptr<PlistUserDefaults> instance;
};

struct FakeDefaults {
    UserDefaults& restartWith(const std::vector<std::string>& arguments) {
        instance.setArguments(arguments);
        return instance;
    }
    UserDefaults& get() { return instance; }

    FakeUserDefaults instance;
};

template <class Implementation>
class UserDefaultsRulesTest : public ::testing::Test, public Implementation {};

using Implementations = ::testing::Types<PlistDefaults, FakeDefaults>;
TYPED_TEST_SUITE(UserDefaultsRulesTest, Implementations);

TYPED_TEST(UserDefaultsRulesTest, CommandLinePairsOverrideEverythingForOneRunAndAreNeverStored) {
    this->get().setObject(Object::string("Stored"), "soundTheme");
    UserDefaults& run =
        this->restartWith({"-soundTheme", "Argued", "--preferences",
                           "-moveToApplicationsFolderAlertSuppress", "YES", "-", "x", "-dangling"});
    run.registerDefaults(registration());
    EXPECT_EQ(run.stringForKey("soundTheme"), "Argued");
    EXPECT_TRUE(run.boolForKey("moveToApplicationsFolderAlertSuppress"));
    EXPECT_TRUE(run.objectForKey("-preferences").isNil());
    EXPECT_TRUE(run.objectForKey("").isNil());
    EXPECT_TRUE(run.objectForKey("dangling").isNil());

    // Storing under an argued key changes nothing that this run reads.
    int changes = 0;
    run.addObserver("soundTheme", [&] { ++changes; });
    run.setObject(Object::string("Chosen"), "soundTheme");
    EXPECT_EQ(run.stringForKey("soundTheme"), "Argued");
    EXPECT_EQ(changes, 0);

    UserDefaults& next = this->restartWith({});
    EXPECT_EQ(next.stringForKey("soundTheme"), "Chosen");
    EXPECT_TRUE(next.objectForKey("moveToApplicationsFolderAlertSuppress").isNil());
}

TYPED_TEST(UserDefaultsRulesTest, StoredValuesWinOverRegisteredOnesUntilRemoved) {
    UserDefaults& defaults = this->get();
    defaults.registerDefaults(registration());
    EXPECT_EQ(defaults.stringForKey("soundTheme"), "Typewriter");
    EXPECT_TRUE(defaults.boolForKey("SUEnableAutomaticChecks"));

    defaults.setBool(false, "SUEnableAutomaticChecks");
    defaults.setObject(Object::string("Off"), "soundTheme");
    // Registering again at the next start does not undo what the user stored.
    defaults.registerDefaults(registration());
    EXPECT_FALSE(defaults.boolForKey("SUEnableAutomaticChecks"));
    EXPECT_EQ(defaults.stringForKey("soundTheme"), "Off");

    defaults.removeObjectForKey("SUEnableAutomaticChecks");
    defaults.setObject(Object(), "soundTheme");
    EXPECT_TRUE(defaults.boolForKey("SUEnableAutomaticChecks"));
    EXPECT_EQ(defaults.stringForKey("soundTheme"), "Typewriter");

    // A later registration replaces an earlier one of the same key and keeps the others.
    defaults.registerDefaults(
        Object::dictionary({{Object::string("soundTheme"), Object::string("Chimes")}}));
    EXPECT_EQ(defaults.stringForKey("soundTheme"), "Chimes");
    EXPECT_TRUE(defaults.boolForKey("showInMenuBar"));
}

struct Coercion {
    Object value;
    bool asBool;
    int64_t asInteger;
    std::optional<std::string> asString;
};

TYPED_TEST(UserDefaultsRulesTest, TypedReadsCoerceAsThePlatformDoes) {
    const Coercion coercions[] = {
        {Object::boolean(true), true, 1, "1"},
        {Object::boolean(false), false, 0, "0"},
        {Object::integer(0), false, 0, "0"},
        {Object::integer(-7), true, -7, "-7"},
        {Object::real(0.5), true, 0, "0.5"},
        {Object::real(-2.75), true, -2, "-2.75"},
        {Object::real(1e300), true, INT64_MAX, "1e+300"},
        {Object::string("YES"), true, 0, "YES"},
        {Object::string("yes"), true, 0, "yes"},
        {Object::string("TRUE"), true, 0, "TRUE"},
        {Object::string("NO"), false, 0, "NO"},
        {Object::string("false"), false, 0, "false"},
        {Object::string(" 12 apples"), true, 12, " 12 apples"},
        {Object::string("+3"), true, 3, "+3"},
        {Object::string("-0"), false, 0, "-0"},
        {Object::string("99999999999999999999"), true, INT64_MAX, "99999999999999999999"},
        {Object::string("YESS"), false, 0, "YESS"},
        {Object::string(""), false, 0, ""},
        {Object::date(1000.0), false, 0, std::nullopt},
        {Object::data({1, 2}), false, 0, std::nullopt},
        {Object::array({Object::boolean(true)}), false, 0, std::nullopt},
        {Object::dictionary({}), false, 0, std::nullopt},
    };
    UserDefaults& defaults = this->get();
    for (const Coercion& coercion : coercions) {
        defaults.setObject(coercion.value, "value");
        SCOPED_TRACE(UserDefaults::stringFromObject(coercion.value).value_or("(no text)"));
        EXPECT_TRUE(defaults.objectForKey("value") == coercion.value);
        EXPECT_EQ(defaults.boolForKey("value"), coercion.asBool);
        EXPECT_EQ(defaults.integerForKey("value"), coercion.asInteger);
        EXPECT_EQ(defaults.stringForKey("value"), coercion.asString);
    }
}

TYPED_TEST(UserDefaultsRulesTest, ObserversHearChangesOfTheValueTheyRead) {
    UserDefaults& defaults = this->get();
    defaults.registerDefaults(registration());
    // Each observer notes what its key reads when it is called.
    std::vector<std::string> heard;
    defaults.addObserver("showInMenuBar", [&] {
        heard.push_back(defaults.boolForKey("showInMenuBar") ? "shown" : "hidden");
    });
    defaults.addObserver("soundTheme",
                         [&] { heard.push_back(*defaults.stringForKey("soundTheme")); });

    defaults.setBool(true, "showInMenuBar");  // the registered value already: no change
    defaults.setBool(false, "showInMenuBar");
    defaults.setBool(false, "showInMenuBar");
    defaults.removeObjectForKey("showInMenuBar");  // the registered YES shows through
    defaults.removeObjectForKey("showInMenuBar");
    // A registration that changes what a key reads is a change too.
    defaults.registerDefaults(
        Object::dictionary({{Object::string("soundTheme"), Object::string("Chimes")}}));
    EXPECT_EQ(heard, (std::vector<std::string>{"hidden", "shown", "Chimes"}));
}

}  // namespace
}  // namespace plinka::testing
