// "Import Sound Pack…" with the real import in plinka-import-pack, archives and mixer; the
// desktop around the controller is doubles.
#include <gtest/gtest.h>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "app/AppController.h"
#include "app/ImportSoundPack.h"
#include "doubles/FakeDesktop.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/packimport/ChildSoundPackInstaller.h"
#include "sound/AudioKeepAlive.h"
#include "sound/Sound.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"
#include "tools/SoundPackMaker.h"
#include "tools/theme/ToolPlatform.h"

namespace plinka::testing {
namespace {

TEST(ImportSoundPack, InstallsTheThemeAndSwitchesToItAsTheMenuDoes) {
    ScratchDirectory scratch;
    ScopedEnvironment data("XDG_DATA_HOME", scratch.file("data"));
    themetool::ToolPlatform tool({PLINKA_BUNDLE_DIR});
    FakeDesktop desktop(tool.platform());
    AudioKeepAlive keepAlive(tool.platform());
    SoundController sounds(tool.platform(), keepAlive);
    AppController controller(tool.platform(), desktop.services, sounds);
    desktop.defaults.setBool(true, "playSoundOnThemeSelection");
    writeTone(scratch.path() / "Clack" / "1e-1.wav", wavFormat(), 500, 200);
    const ChildSoundPackInstaller installer(PLINKA_BUNDLE_DIR "/Contents/MacOS/plinka-import-pack");

    // Its keys have no release sounds: asked to, the import splits the press sound in two.
    ASSERT_TRUE(importSoundPackAndSwitch(scratch.file("Clack"), {.splitRelease = true}, installer,
                                         tool.platform().log, controller, desktop.alerts));
    EXPECT_EQ(sounds.currentThemeName(), "Clack");
    const auto& rows = *sounds.currentTheme().sounds().arrayValue();
    EXPECT_NE((*rows[0].arrayValue())[0].as<Sound>(), nullptr);
    EXPECT_EQ(sounds.themeNames().back(), "Clack");
    EXPECT_EQ(desktop.defaults.stringForKey("soundTheme"), "Clack");
    EXPECT_TRUE(desktop.alerts.shown.empty());
    // The sample, "a"'s own sound, is in the mix.
    std::vector<float> mix(static_cast<size_t>(0.1 * 48000) * 2);
    tool.audioEngine().render(mix.data(), mix.size() / 2);
    EXPECT_GT(toneStrength(mix, 2, 48000, 0, mix.size() / 2, 500),
              10 * toneStrength(mix, 2, 48000, 0, mix.size() / 2, 900));

    // A failure is one alert of one sentence; the theme in force stays.
    EXPECT_FALSE(importSoundPackAndSwitch(scratch.file("nowhere"), {}, installer,
                                          tool.platform().log, controller, desktop.alerts));
    ASSERT_EQ(desktop.alerts.shown.size(), 1u);
    EXPECT_EQ(desktop.alerts.shown[0].messageText, "The sound pack could not be imported.");
    EXPECT_EQ(desktop.alerts.shown[0].informativeText,
              scratch.file("nowhere") + ": no such folder or zip file.");
    EXPECT_EQ(sounds.currentThemeName(), "Clack");
    controller.stopEventTapThread();
}

}  // namespace
}  // namespace plinka::testing
