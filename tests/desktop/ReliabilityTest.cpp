// The built application in a hostile or ending session: it ends cleanly when asked by a signal
// or when the desktop goes away, and no file in the place of a sound or of its settings can hold
// up its start.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "Signal.h"
#include "ToneTheme.h"
#include "UrlTheme.h"

namespace plinka::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
namespace fs = std::filesystem;

// The names of the entries of a folder (none when it is missing).
std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Waits until the copy answers reopen requests: its launch is done and it handles signals.
bool listening(const PlinkaSession& session, const ChildProcess& plinka,
               std::chrono::milliseconds timeout = 15s) {
    const std::string socket =
        session.runtimeDirectory() + "/plinka/" + std::to_string(plinka.pid()) + ".socket";
    return eventually([&] { return fs::exists(socket); }, timeout);
}

using ReliabilityTest = DesktopTest;

TEST_F(ReliabilityTest, TerminationSignalsEndItCleanly) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        PlinkaSession session(display());
        auto plinka = session.start();
        ASSERT_TRUE(listening(session, *plinka)) << plinka->output();
        ::kill(plinka->pid(), signal);
        EXPECT_EQ(plinka->waitForExit(5s), 0) << plinka->output();
        // The reopen socket and every temporary sound went.
        EXPECT_THAT(entries(session.runtimeDirectory() + "/plinka"), IsEmpty());
        EXPECT_THAT(entries(session.home() + "/tmp"), IsEmpty());
    }
}

// At logout the X server goes first. Qt then ends the process with exit(), whatever the key
// capture thread is doing: it must end as cleanly, with no sanitizer report and no crash
// report. The fault this guards was a race, hence the many runs.
TEST_F(ReliabilityTest, TheDesktopGoingAwayNeverCrashesIt) {
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        XvfbServer desktop;
        ASSERT_TRUE(desktop.running());
        PlinkaSession session(desktop.display());
        auto plinka = session.start();
        // Its keys heard: the capture thread runs.
        ASSERT_TRUE(eventually(
            [&] {
                runOnDisplay(desktop.display(), {"xdotool", "key", "a"});
                return peakOf(readFloats(session.audioFile())) > 0.01f;
            },
            15s))
            << plinka->output();
        desktop.kill();
        // Qt ends with status 1 when its display goes away, as a sanitizer does after a report.
        const int status = plinka->waitForExit(30s);
        EXPECT_TRUE(status == 0 || status == 1) << status << "\n" << plinka->output();
        EXPECT_THAT(plinka->output(), Not(HasSubstr("Sanitizer")));
        EXPECT_THAT(plinka->output(), Not(HasSubstr("runtime error")));
        std::error_code error;
        for (const auto& file :
             fs::recursive_directory_iterator(session.home() + "/state", error)) {
            EXPECT_FALSE(file.is_regular_file()) << "a crash report: " << file.path();
        }
    }
}

// A pipe where a theme's sound or the settings should be: each is refused at once with one
// line naming it, and the rest works.
TEST_F(ReliabilityTest, PipesInPlaceOfFilesNeverHoldUpTheStart) {
    PlinkaSession session(display());
    const std::string pipe = session.directory() + "/sound.wav";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    writeUrlTheme(session.directory() + "/Piped.plnk", "Piped", pipe);
    session.useTheme(session.directory() + "/Piped.plnk");
    auto plinka = session.start();
    EXPECT_TRUE(listening(session, *plinka, 3s)) << plinka->output();
    EXPECT_TRUE(readUntil(*plinka, pipe + ": not a regular file")) << plinka->output();
    ::kill(plinka->pid(), SIGTERM);
    EXPECT_EQ(plinka->waitForExit(5s), 0);

    fs::remove(session.defaultsFile());
    ASSERT_EQ(::mkfifo(session.defaultsFile().c_str(), 0600), 0);
    auto again = session.start();
    EXPECT_TRUE(listening(session, *again, 3s)) << again->output();
    EXPECT_TRUE(readUntil(*again, session.defaultsFile() + " (not a regular file)"))
        << again->output();
}

}  // namespace
}  // namespace plinka::testing
