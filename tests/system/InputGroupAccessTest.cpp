// Granting access to the keyboards: which nodes are keyboards, and the pkexec command run for
// real with stand-ins for pkexec and gpasswd (setfacl is the real one, on scratch files).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "base/ShellQuoting.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/input/KeyboardNodes.h"
#include "platform/linux/system/InputGroupAccess.h"
#include "platform/linux/system/PosixCommandRunner.h"

namespace plinka {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::fileContents;
using ::testing::HasSubstr;
using testing::writeFile;

// A laptop keyboard's key bitmap (4 words), and a mouse's (only buttons, from 0x110).
constexpr std::string_view kKeyboardKeys =
    "1000000000007 ff9f207ac14057ff febeffdfffefffff fffffffffffffffe";
constexpr std::string_view kMouseButtons = "1f0000 0 0 0 0";

TEST(KeyboardNodes, OnlyKeysThatMakeThemeKeyCodesMakeAKeyboard) {
    EXPECT_TRUE(bitmapHasKeyboardKeys(kKeyboardKeys));
    EXPECT_TRUE(bitmapHasKeyboardKeys("40000000"));  // KEY_A alone
    EXPECT_TRUE(bitmapHasKeyboardKeys("40000 0"));   // KEY_KP0, in the second word
    EXPECT_FALSE(bitmapHasKeyboardKeys(kMouseButtons));
    EXPECT_FALSE(bitmapHasKeyboardKeys("0"));
    EXPECT_FALSE(bitmapHasKeyboardKeys(""));
    EXPECT_FALSE(bitmapHasKeyboardKeys("fffffffe zz"));
    EXPECT_TRUE(bitmapHasPointerButtons(kMouseButtons));
    EXPECT_FALSE(bitmapHasPointerButtons(kKeyboardKeys));
}

// Fake event nodes with their sysfs descriptions, and stand-ins for pkexec and the tools.
class InputGroupAccessTest : public ::testing::Test {
  protected:
    InputGroupAccessTest() {
        writeFile(devices / "event0", "");
        writeFile(devices / "event1", "");
        writeFile(devices / "event7", "");  // nothing in sysfs about it
        writeFile(devices / "mouse0", "");
        writeFile(sysfs / "event0/device/capabilities/key", std::string(kKeyboardKeys) + "\n");
        writeFile(sysfs / "event1/device/capabilities/key", std::string(kMouseButtons) + "\n");
        writeFile(sysfs / "mouse0/device/capabilities/key", std::string(kKeyboardKeys) + "\n");
        fs::create_directories(bin);
        tool(tools / "gpasswd", "printf '%s\\n' \"$*\" >> '" + scratch.file("gpasswd") + "'");
        fs::create_symlink("/usr/bin/id", tools / "id");
        if (fs::exists("/usr/bin/setfacl")) {
            fs::create_symlink("/usr/bin/setfacl", tools / "setfacl");
        }
    }

    // An executable shell script.
    static void tool(const fs::path& path, const std::string& body) {
        testing::writeProgram(path, "#!/bin/sh\n" + body + "\n");
    }
    // A pkexec that runs the command in a cleared environment, as pkexec does, for the user
    // "nobody"; or one that only ends with the status and message.
    void pkexecRuns(const std::string& environment = "PKEXEC_UID=65534") {
        tool(bin / "pkexec", "printf '%s\\0' \"$@\" > '" + scratch.file("pkexec") +
                                 "'\nexec /usr/bin/env -i " + environment + " \"$@\"");
    }
    void pkexecEnds(int status, const std::string& message = "") {
        tool(bin / "pkexec", "echo '" + message + "' >&2; exit " + std::to_string(status));
    }
    bool grant() {
        testing::ScopedEnvironment path("PATH", bin.string());
        return access.grantAccess("tell application \"System Preferences\" to activate");
    }
    std::string acl(const fs::path& file) {
        return runner.runShellCommand("getfacl -cp " + shellQuoted(file.string())).output;
    }

    testing::ScratchDirectory scratch;
    // Quotes and spaces in every path the command names.
    const fs::path devices = scratch.path() / "input devices 'x'";
    const fs::path sysfs = scratch.path() / "sys";
    const fs::path bin = scratch.path() / "bin";
    const fs::path tools = scratch.path() / "system tools";
    PosixCommandRunner runner;
    testing::RecordingLog log;
    InputGroupAccess access{{devices.string(), sysfs.string(), tools.string()}, runner, log};
};

TEST_F(InputGroupAccessTest, OneAuthorizationAddsTheUserToInputAndLetsItReadTheKeyboardsNow) {
    if (!fs::exists(tools / "setfacl")) {
        GTEST_SKIP() << "setfacl is not installed (package acl)";
    }
    pkexecRuns();
    EXPECT_TRUE(grant());
    EXPECT_THAT(log.lines(), ElementsAre("Keyboard access granted: the user joined the group "
                                         "\"input\" and may read the keyboards and mice "
                                         "present now (2)."));
    // The shell's arguments arrive whole, and the user is pkexec's, not this process's.
    EXPECT_EQ(fileContents(scratch.file("pkexec")),
              std::string("/bin/sh\0-c\0", 11) +
                  access.privilegedScript(
                      {(devices / "event0").string(), (devices / "event1").string()}) +
                  '\0');
    EXPECT_EQ(fileContents(scratch.file("gpasswd")), "-a nobody input\n");
    EXPECT_THAT(acl(devices / "event0"), HasSubstr("user:nobody:r--"));
    EXPECT_THAT(acl(devices / "event1"), HasSubstr("user:nobody:r--"));
    EXPECT_THAT(acl(devices / "event7"), ::testing::Not(HasSubstr("user:nobody")));
    EXPECT_THAT(access.privilegedScript({}), ::testing::Not(HasSubstr("setfacl")));
}

// Cancelled, refused or broken: nothing changes, one line says why, and the dialog's work is
// done (the application quits).
TEST_F(InputGroupAccessTest, WhenTheGrantDoesNotHappenNothingChangesAndTheLogSaysWhy) {
    struct Case {
        std::function<void()> setUp;
        std::string logged;
    };
    const std::vector<Case> cases{
        {[&] { pkexecEnds(126); }, "Keyboard access not granted: the authorization was cancelled."},
        {[&] { pkexecEnds(127, "Error executing command as another user: Not authorized"); },
         "Keyboard access not granted: pkexec ended with status 127: Error executing command as "
         "another user: Not authorized"},
        {[&] { pkexecRuns("PKEXEC_UID="); },
         "Keyboard access not granted: pkexec ended with status 1: id: "},
        {[&] {
             pkexecRuns();
             fs::remove(tools / "setfacl");
         },
         "Keyboard access not granted: pkexec ended with status 3: setfacl is missing (package "
         "acl)"},
    };
    for (const Case& example : cases) {
        log.clear();
        example.setUp();
        EXPECT_TRUE(grant());
        EXPECT_THAT(log.lines(), ElementsAre(::testing::StartsWith(example.logged)));
        EXPECT_EQ(fileContents(scratch.file("gpasswd")), "");
        EXPECT_THAT(acl(devices / "event0"), ::testing::StartsWith("user::rw-\ngroup::"));
    }
}

TEST_F(InputGroupAccessTest, WithoutPkexecNothingRunsAndTheCallerShowsTheHelp) {
    EXPECT_FALSE(grant());
    EXPECT_THAT(log.lines(), ElementsAre("Keyboard access not granted: pkexec is missing, so the "
                                         "help page shows how."));
}

}  // namespace
}  // namespace plinka
