// "Import Sound Pack…" in the real application, with the real import made slow: keys sound while
// it runs, the theme it made is in force after it, and a SIGTERM does not wait for it.
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "platform/linux/input/KeyMap.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

class ImportTest : public DesktopTest {
  protected:
    // Asks the window for an import of the pack, through its file dialog.
    void importPack(const std::string& pack) {
        xdotool({"windowfocus", "--sync", windowsNamed("Plinka Preferences").front()});
        xdotool({"key", "alt+i"});
        ASSERT_TRUE(eventually([&] { return !windowsNamed("Import Sound Pack").empty(); }));
        xdotool({"windowfocus", "--sync", windowsNamed("Import Sound Pack").front()});
        xdotool({"type", pack});
        xdotool({"key", "Return"});
        ASSERT_TRUE(eventually([&] { return windowsNamed("Import Sound Pack").empty(); }));
    }
};

TEST_F(ImportTest, KeysSoundWhileASlowImportRunsAndASigtermDoesNotWaitForIt) {
    PlinkaSession session(display());
    const ToneTheme theme(session.directory(), "Tones", {"z"});
    session.useTheme(theme.file());
    const int zDown = theme.toneFor(*keyCodeForName("z"), true);
    const int zUp = theme.toneFor(*keyCodeForName("z"), false);
    // A bucklespring pack whose z press (evdev 0x2c) sounds as the theme's z release.
    const std::string pack = session.directory() + "/Clack";
    fs::create_directories(pack);
    fs::copy_file(session.directory() + "/Tones-sounds/z-up.wav", pack + "/2c-1.wav");
    // The real import, once a line comes through the pipe "wait" (a builtin wait: nothing is
    // left running when the script is killed).
    const std::string scratch = session.directory();
    ASSERT_EQ(::mkfifo((scratch + "/wait").c_str(), 0600), 0);
    const std::string program = session.bundle() + "/Contents/MacOS/plinka-import-pack";
    fs::remove(program);
    writeProgram(program, "#!/bin/bash\necho $$ > " + scratch + "/pid\nread -t 60 <> " + scratch +
                              "/wait\nexec " + PLINKA_BUNDLE_DIR +
                              "/Contents/MacOS/plinka-import-pack \"$@\"\n");

    auto plinka = session.start({"--preferences"});
    ASSERT_TRUE(waitUntilListening(session.audioFile(), theme)) << plinka->output();
    ASSERT_TRUE(eventually([&] { return !windowsNamed("Plinka Preferences").empty(); }));
    importPack(pack);
    ASSERT_TRUE(eventually([&] { return fs::exists(scratch + "/pid"); }));
    MixFile mix(session.audioFile());
    mix.next();
    xdotool({"key", "z"});
    EXPECT_TRUE(sounds(mix.next(), theme, zDown));
    screenshot("import-running");
    std::fstream(scratch + "/wait", std::ios::in | std::ios::out) << "\n";
    ASSERT_TRUE(eventually([&] {
        return fileContents(session.defaultsFile()).find("<string>Clack</string>") !=
               std::string::npos;
    })) << plinka->output();
    xdotool({"key", "z"});
    const auto clack = mix.next();
    EXPECT_TRUE(sounds(clack, theme, zUp));
    EXPECT_FALSE(sounds(clack, theme, zDown));

    fs::remove(scratch + "/pid");
    importPack(pack);
    ASSERT_TRUE(eventually([&] { return fs::exists(scratch + "/pid"); }));
    const pid_t importing = std::stoi(fileContents(scratch + "/pid"));
    ASSERT_EQ(::kill(plinka->pid(), SIGTERM), 0);
    EXPECT_EQ(plinka->waitForExit(std::chrono::seconds(5)), 0);
    EXPECT_TRUE(eventually([&] { return !running(importing); }));
}

}  // namespace
}  // namespace plinka::testing
