// The volume as the person sets it in the Preferences window, driven from the keyboard, heard in
// the mix that SDL's disk driver writes. Mute is the volume 0 on the way to the mix, and the
// window's other controls are tested over the controller in tests/gui.
#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "Signal.h"

namespace plinka::testing {
namespace {

using VolumeTest = DesktopTest;

TEST_F(VolumeTest, TheWindowsVolumeReachesTheMix) {
    PlinkaSession session(display());
    const ToneTheme theme(session.directory(), "Tones", {"z"});
    session.useTheme(theme.file());
    auto plinka = session.start({"--preferences"});
    ASSERT_TRUE(waitUntilListening(session.audioFile(), theme)) << plinka->output();
    ASSERT_TRUE(eventually([&] { return !windowsNamed("Plinka Preferences").empty(); }));
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

}  // namespace
}  // namespace plinka::testing
