#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
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
    // What the shell command prints on the display; nullopt when it fails.
    std::optional<std::string> output(const std::string& command) const;
    // The ids of the mapped windows of the window class.
    std::vector<std::string> visibleWindows(const std::string& windowClass) const;
    // The ids of the mapped windows whose title matches the name.
    std::vector<std::string> windowsNamed(const std::string& name) const;
    // Keeps a screenshot of the whole display as artifacts/<fileName> in the build tree, where
    // ImageMagick's import is installed.
    void keepScreenshot(const std::string& fileName) const;
    // A system tray (trayer) in the top left corner, icons 48 pixels high; null without trayer.
    std::unique_ptr<ChildProcess> startTray() const;

    static std::unique_ptr<XvfbServer> server;
};

// Whether the process is alive and not yet a zombie.
bool running(pid_t pid);

// Polls the condition until it holds or the time is up; answers whether it held.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = std::chrono::seconds(15));

}  // namespace plinka::testing
