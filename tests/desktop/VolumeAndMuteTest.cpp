// Volume, mute and the theme as the person sets them, heard in the mix that SDL's disk driver
// writes: through the Preferences window driven from the keyboard, and through the mute key
// typed anywhere on the desktop.
#include <signal.h>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "Signal.h"
#include "platform/linux/input/KeyMap.h"

namespace plinka::testing {
namespace {

class VolumeAndMuteTest : public DesktopTest {
  protected:
    VolumeAndMuteTest()
        : theme(session.directory(), "Tones", {"z"}), z(theme.toneFor(*keyCodeForName("z"), true)) {
        session.addTheme(theme.file());
        session.writeDefaults({{"soundTheme", "Tones"}});
    }
    // The mix that typing z now adds; its press and release do not overlap.
    std::vector<float> typeZ(MixFile& mix) {
        mix.next();
        xdotool({"keydown", "z", "sleep", "0.1", "keyup", "z"});
        return mix.next();
    }

    PlinkaSession session{display()};
    ToneTheme theme;
    int z;
};

TEST_F(VolumeAndMuteTest, TheWindowsVolumeMuteAndThemeReachTheMix) {
    auto plinka = session.start({"--preferences"});
    ASSERT_TRUE(waitUntilListening(session.audioFile(), theme)) << plinka->output();
    ASSERT_TRUE(eventually([&] { return !windowsNamed("Plinka Preferences").empty(); }));
    xdotool({"windowfocus", "--sync", windowsNamed("Plinka Preferences").front()});
    MixFile mix(session.audioFile());
    const float full = peakOf(typeZ(mix));
    ASSERT_GT(full, 0.1f);

    // The slider by its mnemonic, then from the keyboard: 0 %, 10 %.
    xdotool({"key", "alt+v", "Home"});
    EXPECT_EQ(peakOf(typeZ(mix)), 0.0f);
    xdotool({"key", "Prior"});
    const float tenth = peakOf(typeZ(mix));
    EXPECT_NEAR(tenth / full, 0.1f, 0.02f);
    xdotool({"key", "End"});
    EXPECT_NEAR(peakOf(typeZ(mix)), full, 0.01f);

    xdotool({"key", "alt+m"});  // "Mute sounds"
    EXPECT_EQ(peakOf(typeZ(mix)), 0.0f);
    xdotool({"key", "alt+m"});
    EXPECT_TRUE(sounds(typeZ(mix), theme, z));

    // The list: "Off" first, then found by typing the name.
    xdotool({"key", "alt+t", "Home"});
    EXPECT_EQ(peakOf(typeZ(mix)), 0.0f);
    xdotool({"type", "To"});
    EXPECT_TRUE(sounds(typeZ(mix), theme, z));
    screenshot("preferences");
}

}  // namespace
}  // namespace plinka::testing
