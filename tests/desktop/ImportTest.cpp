// The Preferences window of the real application, driven from the keyboard and heard in the mix
// that SDL's disk driver writes. The volume as the person sets it (mute is the volume 0 on the way
// to the mix; the window's other controls are tested over the controller in tests/gui), and
// "Import Sound Pack…" with the real import made slow: keys sound while it runs, the theme it made
// is in force after it, and a SIGTERM does not wait for it.
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "Signal.h"
#include "platform/linux/input/KeyMap.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

// A copy whose theme sounds a tone for z, started with its Preferences window open.
class PreferencesSession : public DesktopTest {
  protected:
    PreferencesSession() { session.useTheme(theme.file()); }
    void start() {
        plinka = session.start({"--preferences"});
        ASSERT_TRUE(waitUntilListening(session.audioFile(), theme)) << plinka->output();
        ASSERT_TRUE(eventually([&] { return !windowsNamed("Plinka Preferences").empty(); }));
    }
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

    PlinkaSession session{display()};
    const ToneTheme theme{session.directory(), "Tones", {"z"}};
    std::unique_ptr<ChildProcess> plinka;
};

using VolumeTest = PreferencesSession;

TEST_F(VolumeTest, TheWindowsVolumeReachesTheMix) {
    ASSERT_NO_FATAL_FAILURE(start());
    xdotool({"windowfocus", "--sync", windowsNamed("Plinka Preferences").front()});
    MixFile mix(session.audioFile());
    // The mix that typing z now adds; its press and release do not overlap.
    auto typeZ = [&] {
        mix.next();
        xdotool({"keydown", "z", "sleep", "0.1", "keyup", "z"});
        return mix.next();
    };
    const float full = peakOf(typeZ());
    ASSERT_GT(full, 0.1f);

    // The slider by its mnemonic, then from the keyboard: 0 %, 10 %.
    xdotool({"key", "alt+v", "Home"});
    EXPECT_EQ(peakOf(typeZ()), 0.0f);
    xdotool({"key", "Prior"});
    EXPECT_NEAR(peakOf(typeZ()) / full, 0.1f, 0.02f);
    screenshot("preferences");
}

using ImportTest = PreferencesSession;

TEST_F(ImportTest, KeysSoundWhileASlowImportRunsAndASigtermDoesNotWaitForIt) {
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

    ASSERT_NO_FATAL_FAILURE(start());
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
    // Written, not just made: the shell makes the file before echo fills it.
    ASSERT_TRUE(eventually([&] { return fileContents(scratch + "/pid").ends_with("\n"); }));
    const pid_t importing = std::stoi(fileContents(scratch + "/pid"));
    ASSERT_EQ(::kill(plinka->pid(), SIGTERM), 0);
    EXPECT_EQ(plinka->waitForExit(std::chrono::seconds(5)), 0);
    EXPECT_TRUE(eventually([&] { return !running(importing); }));
}

}  // namespace
}  // namespace plinka::testing
