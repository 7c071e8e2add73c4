// The status item in a real system tray: the icon is embedded, a click opens the menu. A
// screenshot of the open menu is kept in the build tree (artifacts/tray-menu.png).
#include <cstdio>

#include "DesktopTest.h"
#include "PlinkaSession.h"

namespace plinka::testing {
namespace {

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

class TrayTest : public DesktopTest {
  protected:
    Geometry geometry(const std::string& window) const {
        Geometry found;
        std::sscanf(output("xdotool getwindowgeometry --shell " + window).value_or("").c_str(),
                    "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &found.x, &found.y, &found.width,
                    &found.height);
        return found;
    }
};

TEST_F(TrayTest, TheIconSitsInTheTrayAndAClickOpensTheMenu) {
    auto tray = startTray();
    if (!tray) {
        GTEST_SKIP() << "trayer is not installed or did not start";
    }
    PlinkaSession session(display());
    auto plinka = session.start();
    ASSERT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 1; }))
        << plinka->output();
    const std::string icon = visibleWindows("Plinka").front();
    const Geometry at = geometry(icon);
    ASSERT_GT(at.width, 0);
    // Embedded: inside the tray's 48-pixel strip at the top left.
    EXPECT_LE(at.x + at.width, 96);
    EXPECT_LE(at.y + at.height, 48);
    // Drawn: the artwork, not a blank square of the tray's background.
    EXPECT_TRUE(eventually([&] {
        const auto colours = output("import -window " + icon + " -format %k info:");
        return colours && std::stoi(*colours) > 4;
    }));

    xdotool({"mousemove", std::to_string(at.x + at.width / 2), std::to_string(at.y + at.height / 2),
             "click", "1"});
    ASSERT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 2; }));
    std::string menu;
    for (const std::string& window : visibleWindows("Plinka")) {
        if (window != icon) {
            menu = window;
        }
    }
    // A header, "Off", the four shipped themes, a separator, About and Quit.
    EXPECT_GT(geometry(menu).height, 8 * 16);
    screenshot("tray-menu");

    xdotool({"key", "Escape"});
    EXPECT_TRUE(eventually([&] { return visibleWindows("Plinka").size() == 1; }));
}

}  // namespace
}  // namespace plinka::testing
