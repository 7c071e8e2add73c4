// The defaults file itself: where it lives, what it holds, and what happens when it is damaged
// or cannot be written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "defaults/DefaultsDirectory.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/defaults/PlistUserDefaults.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {
namespace {

using ::testing::HasSubstr;

class PlistUserDefaultsTest : public ::testing::Test {
  protected:
    std::unique_ptr<PlistUserDefaults> open() {
        return std::make_unique<PlistUserDefaults>(directory.path(), DefaultsDirectory::kIdentifier,
                                                   log);
    }
    Object fileContents() {
        std::string error;
        auto root = readPropertyListFile(directory.defaultsFile(), &error);
        EXPECT_TRUE(root.has_value()) << error;
        return root.value_or(Object());
    }
    // The names of the directory's entries.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory.path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    DefaultsDirectory directory;
    RecordingLog log;
};

TEST_F(PlistUserDefaultsTest, StoredValuesOfEveryTypeOutliveTheProcessAsReadableXml) {
    const std::pair<const char*, Object> values[] = {
        {"soundTheme", Object::string("Räder & <Zahn>")},
        {"showInMenuBar", Object::boolean(false)},
        {"count", Object::integer(-42)},
        {"ratio", Object::real(0.25)},
        {"FeedbackFirstUsed", Object::date(786839400.0)},
        {"blob", Object::data({0, 255, 7})},
        {"list", Object::array({Object::string("a"), Object::integer(1)})},
        {"nested", Object::dictionary({{Object::string("k"), Object::boolean(true)}})},
    };
    {
        auto defaults = open();
        defaults->registerDefaults(registration());
        for (const auto& [key, value] : values) {
            defaults->setObject(value, key);
        }
    }
    EXPECT_TRUE(testing::fileContents(directory.defaultsFile()).starts_with("<?xml"));
    // Preferences are the user's own business.
    EXPECT_EQ(std::filesystem::status(directory.defaultsFile()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    auto reopened = open();
    for (const auto& [key, value] : values) {
        EXPECT_TRUE(reopened->objectForKey(key) == value) << key;
    }
    // Registered values live only as long as the process that registered them.
    EXPECT_TRUE(fileContents().objectForKey("showInMenuBar") == Object::boolean(false));
    reopened->removeObjectForKey("showInMenuBar");
    EXPECT_TRUE(fileContents().objectForKey("showInMenuBar").isNil());
    EXPECT_TRUE(log.lines().empty());
    // Nothing is left beside the file: no temporary files, no copies.
    EXPECT_EQ(entries(),
              std::vector<std::string>{std::string(DefaultsDirectory::kIdentifier) + ".plist"});
}

TEST_F(PlistUserDefaultsTest, ADamagedFileIsKeptAsideLoggedOnceAndTheRegisteredDefaultsApply) {
    const std::string damaged[] = {
        "<?xml version=\"1.0\"?><plist><dict><key>showInMenuBar</key><fal",
        "bplist00\xff\xff\xff",
        // A sound property list, but no dictionary.
        "<?xml version=\"1.0\"?><plist><array><integer>1</integer></array></plist>",
        "",
    };
    for (const std::string& bytes : damaged) {
        SCOPED_TRACE(bytes);
        std::filesystem::remove_all(directory.path());
        std::filesystem::create_directory(directory.path());
        log.clear();
        writeFile(directory.defaultsFile(), bytes);

        auto defaults = open();
        defaults->registerDefaults(registration());
        EXPECT_TRUE(defaults->boolForKey("showInMenuBar"));
        EXPECT_EQ(defaults->stringForKey("soundTheme"), "Typewriter");
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_THAT(log.lines()[0], HasSubstr(directory.defaultsFile()));

        const auto names = entries();
        ASSERT_EQ(names.size(), 1u);
        std::string aside = directory.file(names[0]);
        EXPECT_THAT(log.lines()[0], HasSubstr(aside));
        EXPECT_THAT(names[0], HasSubstr(".plist.corrupt-"));
        EXPECT_EQ(testing::fileContents(aside), bytes);

        // The next change makes a sound file again and leaves the damaged one alone.
        defaults->setBool(false, "showInMenuBar");
        EXPECT_TRUE(fileContents().objectForKey("showInMenuBar") == Object::boolean(false));
        EXPECT_EQ(entries().size(), 2u);
        EXPECT_EQ(log.lines().size(), 1u);
    }
}

TEST_F(PlistUserDefaultsTest, ChangesThatCannotBeWrittenAreKeptAndWrittenWhenPossible) {
    std::string nested = directory.file("config");
    PlistUserDefaults defaults(nested, DefaultsDirectory::kIdentifier, log);
    std::filesystem::remove_all(nested);

    defaults.setBool(true, "FeedbackPrompted");
    defaults.setObject(Object::string("1.0"), "FeedbackLastVersionUsed");
    EXPECT_TRUE(defaults.boolForKey("FeedbackPrompted"));
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(log.lines().size(), 1u);  // one line for the whole failure, not one per change

    std::filesystem::create_directory(nested);
    EXPECT_TRUE(defaults.synchronize());
    PlistUserDefaults reopened(nested, DefaultsDirectory::kIdentifier, log);
    EXPECT_TRUE(reopened.boolForKey("FeedbackPrompted"));
    EXPECT_EQ(reopened.stringForKey("FeedbackLastVersionUsed"), "1.0");

    // A file that cannot be read (here a folder) is never replaced.
    std::filesystem::create_directory(directory.defaultsFile());
    auto unreadable = open();
    unreadable->setBool(false, "showInMenuBar");
    EXPECT_FALSE(unreadable->boolForKey("showInMenuBar"));
    EXPECT_FALSE(unreadable->synchronize());
    EXPECT_TRUE(std::filesystem::is_directory(directory.defaultsFile()));
}

}  // namespace
}  // namespace plinka::testing
