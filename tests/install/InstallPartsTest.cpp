// The text work of the move's Linux layer: mount tables, desktop entries, the root shell's script.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/linux/install/MountPoints.h"
#include "platform/linux/system/DesktopEntry.h"

namespace plinka {
namespace {

TEST(InstallPartsTest, TheMountHoldingAPathIsTheDeepestAndTheLastMountedThere) {
    const std::string table =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "40 22 8:17 / /media/me/USB\\040Stick rw,nosuid shared:5 master:2 - vfat /dev/sdb1 rw\n"
        "41 22 8:33 / /media/me/USB rw - vfat /dev/sdc1 rw\n"
        "42 22 0:50 / /run/media/me/Disk rw - ext4 /dev/sdd1 rw\n"
        "43 22 0:51 / /run/media/me/Disk rw - ext4 /dev/sde1 rw\n"
        "garbage line\n";
    struct Case {
        const char* path;
        const char* mountPoint;
        const char* source;
    };
    const Case cases[] = {
        {"/media/me/USB Stick/Plinka", "/media/me/USB Stick", "/dev/sdb1"},
        {"/media/me/USB Stick", "/media/me/USB Stick", "/dev/sdb1"},
        {"/media/me/USBX/Plinka", "/", "/dev/sda1"},
        {"/media/me/USB/apps", "/media/me/USB", "/dev/sdc1"},
        {"/run/media/me/Disk/a/b", "/run/media/me/Disk", "/dev/sde1"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path);
        const auto mount = mountHolding(table, test.path);
        ASSERT_TRUE(mount.has_value());
        EXPECT_EQ(mount->mountPoint, test.mountPoint);
        EXPECT_EQ(mount->source, test.source);
    }
    EXPECT_FALSE(mountHolding("", "/media/x").has_value());
}

TEST(InstallPartsTest, DesktopEntriesFollowTheBundleAndNothingElseChanges) {
    const std::string from = "/home/me/Downloads/Plinka.app";
    const std::string to = "/home/me/Apps it's $x `y`/Plinka.app";
    const std::string entry =
        "# kept\n"
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Plinka\n"
        "Exec=\"/home/me/Downloads/Plinka.app/Contents/MacOS/Plinka\" --preferences %U\n"
        "TryExec=/home/me/Downloads/Plinka.app/Contents/MacOS/Plinka\n"
        "Icon=/home/me/Downloads/Plinka.app/Contents/Resources/Plinka.png\n"
        "Path=/home/me/Downloads/Plinka.app2\n"
        "[Desktop Action Other]\n"
        "Exec=/home/me/Downloads/Plinka.app/Contents/MacOS/Plinka\n";
    const auto moved = DesktopEntry::withPathsMoved(entry, from, to);
    ASSERT_TRUE(moved.has_value());
    const auto keys = DesktopEntry::readMainGroup(*moved);
    EXPECT_THAT(DesktopEntry::execArguments(keys.at("Exec")),
                ::testing::ElementsAre(to + "/Contents/MacOS/Plinka", "--preferences", "%U"));
    EXPECT_EQ(keys.at("TryExec"), to + "/Contents/MacOS/Plinka");
    EXPECT_EQ(keys.at("Icon"), to + "/Contents/Resources/Plinka.png");
    EXPECT_EQ(keys.at("Path"), "/home/me/Downloads/Plinka.app2");
    EXPECT_TRUE(moved->starts_with("# kept\n[Desktop Entry]\nType=Application\nName=Plinka\n"));
    EXPECT_TRUE(
        moved->ends_with("[Desktop Action Other]\n"
                         "Exec=/home/me/Downloads/Plinka.app/Contents/MacOS/Plinka\n"));

    EXPECT_FALSE(DesktopEntry::withPathsMoved("[Desktop Entry]\nExec=/usr/bin/other\n", from, to));
}

}  // namespace
}  // namespace plinka
