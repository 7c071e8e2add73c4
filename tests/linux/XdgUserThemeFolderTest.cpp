#include "platform/linux/XdgUserThemeFolder.h"

#include <gtest/gtest.h>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"

namespace plinka::testing {
namespace {

TEST(XdgUserThemeFolder, FollowsXdgDataHomeElseHomeAndListsItsThemeFiles) {
    struct Case {
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
        std::optional<std::string> folder;
    };
    const Case cases[] = {
        {"/data", "/home/me", "/data/plinka/KeySoundThemes"},
        {std::nullopt, "/home/me", "/home/me/.local/share/plinka/KeySoundThemes"},
        {"", "/home/me", "/home/me/.local/share/plinka/KeySoundThemes"},
        {"relative/data", "/home/me", "/home/me/.local/share/plinka/KeySoundThemes"},
        {std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& test : cases) {
        ScopedEnvironment dataHome("XDG_DATA_HOME", test.dataHome);
        ScopedEnvironment home("HOME", test.home);
        EXPECT_EQ(XdgUserThemeFolder::defaultFolder(), test.folder)
            << test.dataHome.value_or("(unset)");
    }

    // Its theme files by name, and nothing else.
    ScratchDirectory scratch;
    for (const char* file : {"Zed.plnk", "Alpha.plnk", "notes.txt", "Beta.plnk.a1b2c3"}) {
        writeFile(scratch.path() / file, "x");
    }
    std::filesystem::create_directories(scratch.path() / "Folder.plnk");
    EXPECT_EQ(XdgUserThemeFolder(scratch.path().string()).themeFilePaths(),
              (std::vector<std::string>{scratch.file("Alpha.plnk"), scratch.file("Zed.plnk")}));
    EXPECT_EQ(XdgUserThemeFolder(scratch.file("missing")).themeFilePaths(),
              std::vector<std::string>{});
    EXPECT_EQ(XdgUserThemeFolder(std::nullopt).themeFilePaths(), std::vector<std::string>{});
}

}  // namespace
}  // namespace plinka::testing
