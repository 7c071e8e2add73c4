// Changes another program makes to the defaults file reach the running program's observers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TestFiles.h"
#include "defaults/DefaultsDirectory.h"
#include "doubles/RecordingLog.h"
#include "linux/QtEventWait.h"
#include "platform/linux/defaults/PlistUserDefaults.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {
namespace {

class DefaultsOutsideChangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        defaults.registerDefaults(registration());
        defaults.setObject(Object::string("Typewriter"), "soundTheme");
        defaults.addObserver("showInMenuBar", [this] { ++shownChanges; });
        defaults.addObserver("soundTheme", [this] { ++themeChanges; });
    }
    // Another program writes the file: over the old one in place, or beside it and renamed.
    void rewriteFromOutside(const Object::Dictionary& entries, bool inPlace) {
        std::string staged = directory.file("staged");
        writeFile(staged, writeXmlPropertyList(Object::dictionary(entries)).value());
        std::string command = inPlace ? "cat '" + staged + "' > '" + directory.defaultsFile() +
                                            "' && rm '" + staged + "'"
                                      : "mv '" + staged + "' '" + directory.defaultsFile() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    DefaultsDirectory directory;
    RecordingLog log;
    PlistUserDefaults defaults{directory.path(), DefaultsDirectory::kIdentifier, log};
    int shownChanges = 0;
    int themeChanges = 0;
};

const Object kNo = Object::boolean(false);

// Replaced by renaming, or edited in place and taken in once complete; the watch goes on after
// the file it watched was replaced.
TEST_F(DefaultsOutsideChangeTest, AFileChangedByAnotherProgramIsTakenIn) {
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "replaced");
        shownChanges = themeChanges = 0;
        rewriteFromOutside({{Object::string("soundTheme"), Object::string("Typewriter")},
                            {Object::string("showInMenuBar"), kNo}},
                           inPlace);
        ASSERT_TRUE(processEventsUntil([&] { return shownChanges == 1; }));
        EXPECT_FALSE(defaults.boolForKey("showInMenuBar"));
        EXPECT_EQ(themeChanges, 0);  // unchanged key: no call

        rewriteFromOutside({{Object::string("soundTheme"), Object::string("Chimes")}}, inPlace);
        ASSERT_TRUE(processEventsUntil([&] { return themeChanges == 1 && shownChanges == 2; }));
        EXPECT_EQ(defaults.stringForKey("soundTheme"), "Chimes");
        EXPECT_TRUE(defaults.boolForKey("showInMenuBar"));  // the registered value again
        defaults.setObject(Object::string("Typewriter"), "soundTheme");
        defaults.setBool(true, "showInMenuBar");
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DefaultsOutsideChangeTest, OwnWritesKeepChangesMadeFromOutsideMeanwhile) {
    // Outside change not yet noticed (no event-loop turn): our next write still keeps it.
    rewriteFromOutside({{Object::string("soundTheme"), Object::string("Typewriter")},
                        {Object::string("FeedbackSuppress"), Object::boolean(true)}},
                       false);
    defaults.setBool(false, "showInMenuBar");
    EXPECT_TRUE(defaults.boolForKey("FeedbackSuppress"));

    PlistUserDefaults other(directory.path(), DefaultsDirectory::kIdentifier, log);
    EXPECT_TRUE(other.boolForKey("FeedbackSuppress"));
    EXPECT_FALSE(other.boolForKey("showInMenuBar"));
    EXPECT_EQ(other.stringForKey("soundTheme"), "Typewriter");
}

}  // namespace
}  // namespace plinka::testing
