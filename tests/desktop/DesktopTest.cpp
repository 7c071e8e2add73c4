#include "DesktopTest.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/linux/input/KeyMap.h"

namespace plinka::testing {

std::unique_ptr<XvfbServer> DesktopTest::server;

void DesktopTest::SetUpTestSuite() {
    if (!server) {
        // A screen as small as a netbook's: windows are laid out as a person would see them.
        server = std::make_unique<XvfbServer>("1024x600x24");
    }
}

void DesktopTest::SetUp() {
    if (!server->running()) {
        GTEST_SKIP() << "Xvfb is not installed or did not start";
    }
    if (!installed("xdotool")) {
        GTEST_SKIP() << "xdotool is not installed";
    }
}

void DesktopTest::xdotool(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ASSERT_TRUE(runOnDisplay(display(), command));
}

bool DesktopTest::waitUntilListening(const std::string& mixFile, const ToneTheme& theme) {
    const int ready = theme.toneFor(*keyCodeForName("z"), true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        xdotool({"key", "z"});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (sounds(readFloats(mixFile), theme, ready)) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> DesktopTest::output(const std::string& command) const {
    ChildProcess shell("/bin/sh",
                       {.arguments = {"-c", command}, .environment = {{"DISPLAY", display()}}});
    return shell.waitForExit() == 0 ? std::optional(shell.output()) : std::nullopt;
}

namespace {

std::vector<std::string> words(const std::string& text) {
    std::istringstream stream(text);
    return {std::istream_iterator<std::string>(stream), std::istream_iterator<std::string>()};
}

}  // namespace

// xdotool fails when it finds nothing: that is no windows.
std::vector<std::string> DesktopTest::visibleWindows(const std::string& windowClass) const {
    return words(output("xdotool search --onlyvisible --class " + windowClass).value_or(""));
}

std::vector<std::string> DesktopTest::windowsNamed(const std::string& pattern) const {
    return words(output("xdotool search --onlyvisible --name '" + pattern + "'").value_or(""));
}

void DesktopTest::screenshot(const std::string& name) const {
    if (installed("import")) {
        const std::string artifacts = std::string(PLINKA_BINARY_DIR) + "/artifacts";
        std::filesystem::create_directories(artifacts);
        EXPECT_TRUE(output("import -window root " + artifacts + "/" + name + ".png"));
    }
}

std::unique_ptr<ChildProcess> DesktopTest::startTray() const {
    const std::string trayer = programPath("trayer");
    if (trayer.empty()) {
        return nullptr;
    }
    ChildProcess::Options options;
    options.arguments = {"--edge",  "top", "--align",      "left",  "--widthtype", "pixel",
                         "--width", "96",  "--heighttype", "pixel", "--height",    "48"};
    options.environment = {{"DISPLAY", display()}};
    options.mergeErrors = true;
    auto tray = std::make_unique<ChildProcess>(trayer, options);
    const bool up = eventually([&] { return !visibleWindows("trayer").empty(); });
    return up ? std::move(tray) : nullptr;
}

bool running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return false;
    }
    const size_t name = line.rfind(')');
    return name != std::string::npos && name + 2 < line.size() && line[name + 2] != 'Z';
}

bool readUntil(ChildProcess& child, const std::string& text) {
    while (const auto line = child.readLine()) {
        if (line->find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace plinka::testing
