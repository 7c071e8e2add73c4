// Theme files through the real archive layer and the theme classes.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScratchDirectory.h"
#include "TestFiles.h"
#include "doubles/FakePlatform.h"
#include "platform/linux/plist/PlistKeyedArchives.h"
#include "sound/Sound.h"
#include "sound/SoundTheme.h"
#include "sound/ThemeClasses.h"

namespace plinka {
namespace {

class ThemeArchiveTest : public ::testing::Test {
  protected:
    ThemeArchiveTest() { fake.temporaryFiles.directory = scratch.path().string(); }

    // A theme as macOS's archiver writes one: mutable arrays, a shared NSNull, a transient
    // sound with its bytes, a sound by URL inside a variant array, and a string to speak.
    std::vector<uint8_t> macTheme() const {
        const std::string bytes =
            testing::fileContents(PLINKA_SOURCE_DIR "/tests/plist/data/typewriter.plnk");
        return {bytes.begin(), bytes.end()};
    }

    std::shared_ptr<SoundTheme> decode(const std::vector<uint8_t>& bytes) {
        std::string error;
        Object root = archives.unarchiveObjectWithData(bytes, themeClasses(fake.platform), &error);
        EXPECT_NE(root.as<SoundTheme>(), nullptr) << error;
        return root.as<SoundTheme>() ? std::static_pointer_cast<SoundTheme>(*root.instanceValue())
                                     : nullptr;
    }

    const std::vector<uint8_t> audio{'R', 'I', 'F', 'F', 1, 2, 3, 4};
    testing::ScratchDirectory scratch;
    testing::FakePlatform fake;
    PlistKeyedArchives archives;
};

TEST_F(ThemeArchiveTest, DecodesAThemeAsMacOSWritesIt) {
    auto theme = decode(macTheme());
    ASSERT_TRUE(theme);
    EXPECT_EQ(theme->name(), "Typewriter");
    const auto& rows = *theme->sounds().arrayValue();
    ASSERT_EQ(rows.size(), 2u);
    const auto& down = *rows[1].arrayValue();
    ASSERT_EQ(down.size(), 255u);
    EXPECT_EQ(down[3], Object::null());
    Sound* click = down[0].as<Sound>();
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click, rows[0].arrayValue()->at(0).as<Sound>()) << "one object, decoded once";
    EXPECT_TRUE(click->transient());
    EXPECT_EQ(down[2], Object::string("return"));
    ASSERT_NE(down[1].arrayValue()->at(0).as<Sound>(), nullptr);
    EXPECT_EQ(down[1].arrayValue()->at(0).as<Sound>()->url(), "file:///s/clack.aif");

    // The transient sound's bytes were written out once, to the scratch directory.
    std::vector<std::filesystem::path> files(std::filesystem::directory_iterator(scratch.path()),
                                             {});
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(testing::fileContents(files[0]), std::string(audio.begin(), audio.end()));

    theme->playSoundForKeyCode(0, 1);
    ASSERT_EQ(fake.systemSounds.played.size(), 1u);
    EXPECT_EQ(fake.systemSounds.played[0], click->soundID());
}

}  // namespace
}  // namespace plinka
