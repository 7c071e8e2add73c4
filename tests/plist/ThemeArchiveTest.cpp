// Theme files through the real archive layer and the theme classes.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScratchDirectory.h"
#include "doubles/FakePlatform.h"
#include "platform/linux/plist/PlistKeyedArchives.h"
#include "plist/ArchiveFixture.h"
#include "sound/Sound.h"
#include "sound/SoundTheme.h"
#include "sound/ThemeClasses.h"

namespace plinka {
namespace {

using testing::ArchiveFixture;

class ThemeArchiveTest : public ::testing::Test {
  protected:
    ThemeArchiveTest() { fake.temporaryFiles.directory = scratch.path().string(); }

    // A theme as macOS's archiver writes one: mutable arrays, a shared NSNull, a transient
    // sound with its bytes, a sound by URL inside a variant array, and a string to speak.
    std::vector<uint8_t> macTheme() {
        ArchiveFixture a;
        auto& p = a.plist;
        const uint64_t soundClass = a.classRecord("Sound");
        const uint64_t null = a.record(a.classRecord("NSNull"), {});
        const uint64_t click = a.record(soundClass, {{"version", p.integer(1)},
                                                     {"name", p.uid(a.string("click.wav"))},
                                                     {"transient", p.boolean(true)},
                                                     {"data", p.uid(a.add(p.data(audio)))}});
        const uint64_t url = a.record(
            a.classRecord("NSURL"),
            {{"NS.base", p.uid(0)}, {"NS.relative", p.uid(a.string("file:///s/clack.aif"))}});
        const uint64_t clack = a.record(soundClass, {{"version", p.integer(1)},
                                                     {"name", p.uid(a.string("clack.aif"))},
                                                     {"transient", p.boolean(false)},
                                                     {"url", p.uid(url)}});
        const uint64_t mutableArray =
            a.classRecord("NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"});
        const uint64_t variants = a.record(mutableArray, {{"NS.objects", a.uids({clack, click})}});
        std::vector<uint64_t> down(SoundTheme::kSlotCount, null);
        std::vector<uint64_t> up(SoundTheme::kSlotCount, null);
        down[0] = click;
        down[1] = variants;
        down[2] = a.string("return");
        up[0] = click;
        const uint64_t rows = a.record(
            mutableArray,
            {{"NS.objects", a.uids({a.record(mutableArray, {{"NS.objects", a.uids(up)}}),
                                    a.record(mutableArray, {{"NS.objects", a.uids(down)}})})}});
        const uint64_t theme =
            a.record(a.classRecord("SoundTheme"), {{"version", p.integer(1)},
                                                   {"sounds", p.uid(rows)},
                                                   {"name", p.uid(a.string("Typewriter"))}});
        return a.build(theme);
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

TEST_F(ThemeArchiveTest, WritesThemesThatDecodeToTheSameTable) {
    auto theme = decode(macTheme());
    ASSERT_TRUE(theme);
    auto bytes = archives.archivedDataWithRootObject(Object::instance(theme));
    ASSERT_TRUE(bytes);
    auto again = decode(*bytes);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->name(), "Typewriter");
    const auto& down = *again->sounds().arrayValue()->at(1).arrayValue();
    ASSERT_NE(down[0].as<Sound>(), nullptr);
    EXPECT_TRUE(down[0].as<Sound>()->transient());
    EXPECT_EQ(down[1].arrayValue()->at(0).as<Sound>()->url(), "file:///s/clack.aif");
    EXPECT_EQ(down[2], Object::string("return"));
    EXPECT_EQ(down[254], Object::null());
}

}  // namespace
}  // namespace plinka
