#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace plinka::testing {

// A private X server (Xvfb) on a display number it picks itself; stopped when let go.
class XvfbServer {
  public:
    // Starts Xvfb with one screen of the size ("320x240x24": width, height, depth); running()
    // is false when it is not installed or did not come up.
    explicit XvfbServer(const std::string& screen = "320x240x24");
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return _pid > 0; }
    // The display name, such as ":12".
    const std::string& display() const { return _display; }
    // Ends the server at once, as when the session goes away.
    void kill();

  private:
    pid_t _pid = -1;
    std::string _display;
};

// The program's path on $PATH; empty when it is not there.
std::string programPath(const std::string& program);
// Whether the program is found on $PATH.
bool installed(const std::string& program);
// Runs the program with the arguments, with DISPLAY set to the display, and waits for it;
// answers whether it exited with status 0.
bool runOnDisplay(const std::string& display, const std::vector<std::string>& arguments);
}  // namespace plinka::testing
