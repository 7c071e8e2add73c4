#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Eventually.h"
#include "ToneTheme.h"
#include "XvfbServer.h"

namespace plinka::testing {

// Tests of real Plinka processes on one private X server per test program, driven with xdotool.
class DesktopTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;

    const std::string& display() const { return server->display(); }
    // Runs xdotool with the arguments on the display; a failing run fails the test.
    void xdotool(const std::vector<std::string>& arguments);
    // Presses z every 300 ms until its key-down tone is in the mix, 30 s at most: the tap is up
    // and the theme in force.
    bool waitUntilListening(const std::string& mixFile, const ToneTheme& theme);
    // What the shell command prints on the display; nullopt when it fails.
    std::optional<std::string> output(const std::string& command) const;
    // The ids of the mapped windows of the window class, or whose title matches the pattern.
    std::vector<std::string> visibleWindows(const std::string& windowClass) const;
    std::vector<std::string> windowsNamed(const std::string& pattern) const;
    // Keeps a picture of the screen in the build tree as artifacts/<name>.png (with ImageMagick).
    void screenshot(const std::string& name) const;
    // A system tray (trayer) in the top left corner, icons 48 pixels high; null without trayer.
    std::unique_ptr<ChildProcess> startTray() const;

    static std::unique_ptr<XvfbServer> server;
};

// Whether the process is alive and not yet a zombie.
bool running(pid_t pid);
// Reads the child's lines until one holds the text; false at its end or after its patience.
bool readUntil(ChildProcess& child, const std::string& text);

}  // namespace plinka::testing
