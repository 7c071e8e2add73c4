// A Wayland session where no keyboard can be read: the real application explains how to get
// access instead of failing. A screenshot of the dialog is kept in the build tree
// (artifacts/accessibility-dialog.png).
#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "DesktopTest.h"
#include "PlinkaSession.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

class AccessDialogTest : public DesktopTest {
  protected:
    // Starts Plinka as on a Wayland session with an empty keyboard folder, with stand-ins for
    // the browser opener and for pkexec (which answers as a cancelled authorization).
    std::unique_ptr<ChildProcess> startWithoutKeyboards() {
        const std::string bin = session.directory() + "/bin";
        fs::create_directories(bin);
        fs::create_directories(session.directory() + "/no-keyboards");
        standIn(bin + "/xdg-open", "printf '%s\\n' \"$*\" >> '" + opened() + "'");
        standIn(bin + "/pkexec", "printf '%s\\n' \"$*\" >> '" + authorized() + "'\nexit 126");
        const char* path = std::getenv("PATH");
        return session.start({},
                             {{"XDG_SESSION_TYPE", "wayland"},
                              {"PLINKA_INPUT", ""},
                              {"PLINKA_INPUT_DEVICES", session.directory() + "/no-keyboards"},
                              {"PATH", bin + ":" + (path != nullptr ? path : "/usr/bin:/bin")}});
    }
    static void standIn(const std::string& file, const std::string& body) {
        std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(file, fs::perms::owner_all);
    }
    std::string opened() const { return session.directory() + "/opened"; }
    std::string authorized() const { return session.directory() + "/authorized"; }
    static std::string contents(const std::string& file) {
        std::ifstream in(file);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> windowsNamed(const std::string& name) const {
        std::istringstream ids(
            output("xdotool search --onlyvisible --name '^" + name + "$'").value_or(""));
        return {std::istream_iterator<std::string>(ids), std::istream_iterator<std::string>()};
    }

    PlinkaSession session{display()};
};

TEST_F(AccessDialogTest, TheDialogExplainsInsteadOfAnErrorAndEscapeQuits) {
    auto plinka = startWithoutKeyboards();
    ASSERT_TRUE(eventually([&] { return windowsNamed("Accessibility Required").size() == 1; }))
        << plinka->output();
    // The explanation wraps: one line of it would be wider than the screen's 1024 pixels.
    const std::string dialog = windowsNamed("Accessibility Required").front();
    EXPECT_THAT(output("xdotool getwindowgeometry " + dialog),
                ::testing::Optional(::testing::ContainsRegex("Geometry: [1-6][0-9][0-9]x")));
    if (installed("import")) {
        const std::string artifacts = std::string(PLINKA_BINARY_DIR) + "/artifacts";
        fs::create_directories(artifacts);
        EXPECT_TRUE(output("import -window root " + artifacts + "/accessibility-dialog.png"));
    }
    xdotool({"key", "Escape"});
    EXPECT_EQ(plinka->waitForExit(std::chrono::seconds(5)), 0) << plinka->output();
    EXPECT_THAT(windowsNamed("Plinka Error"), ::testing::IsEmpty());
    EXPECT_EQ(contents(authorized()), "");
}

TEST_F(AccessDialogTest, HelpOpensThePageAndTheGrantCancelledStillQuits) {
    auto plinka = startWithoutKeyboards();
    ASSERT_TRUE(eventually([&] { return windowsNamed("Accessibility Required").size() == 1; }))
        << plinka->output();
    xdotool({"key", "F1"});
    ASSERT_TRUE(eventually([&] { return !contents(opened()).empty(); })) << plinka->output();
    EXPECT_EQ(contents(opened()), "http://plinka.org/help/accessibility/linux.html\n");
    EXPECT_EQ(windowsNamed("Accessibility Required").size(), 1u);

    xdotool({"key", "Return"});
    EXPECT_EQ(plinka->waitForExit(std::chrono::seconds(5)), 0) << plinka->output();
    EXPECT_TRUE(contents(authorized()).starts_with("/bin/sh -c PATH="));
    EXPECT_NE(
        plinka->output().find("Keyboard access not granted: the authorization was cancelled."),
        std::string::npos)
        << plinka->output();
    EXPECT_EQ(plinka->output().find("Plinka Error"), std::string::npos);
}

}  // namespace
}  // namespace plinka::testing
