// The built application in a hostile or ending session: it ends cleanly when asked by a signal,
// runs without a temporary folder, and no file in the place of a sound or of its settings can
// hold up its start.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "ToneTheme.h"
#include "UrlTheme.h"

namespace plinka::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::IsEmpty;
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

class ReliabilityTest : public DesktopTest {
  protected:
    // Waits until the copy answers reopen requests: its launch is done and it handles signals.
    static bool listening(const PlinkaSession& session, const ChildProcess& plinka,
                          std::chrono::milliseconds timeout = 15s) {
        const std::string socket =
            session.runtimeDirectory() + "/plinka/" + std::to_string(plinka.pid()) + ".socket";
        return eventually([&] { return fs::exists(socket); }, timeout);
    }
    // Reads the copy's output until a line holds the text.
    static bool says(ChildProcess& plinka, const std::string& text) {
        while (plinka.output().find(text) == std::string::npos) {
            if (!plinka.readLine(5s)) {
                return false;
            }
        }
        return true;
    }
    // Presses a key until the mix is no longer silent.
    bool heard(const PlinkaSession& session) {
        return eventually(
            [&] {
                xdotool({"key", "a"});
                const auto mix = readFloats(session.audioFile());
                return std::any_of(mix.begin(), mix.end(), [](float s) { return s > 0.01f; });
            },
            15s);
    }
};

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
        EXPECT_THAT(entries(session.temporaryDirectory()), IsEmpty());
    }
}

TEST_F(ReliabilityTest, AMissingTemporaryFolderIsNoObstacle) {
    PlinkaSession session(display());
    auto plinka =
        session.start({}, {{"TMPDIR", session.directory() + "/missing"}, {"XDG_RUNTIME_DIR", ""}});
    EXPECT_TRUE(heard(session)) << plinka->output();
    EXPECT_TRUE(running(plinka->pid())) << plinka->output();
}

// A pipe where a theme's sound or the settings should be: each is refused at once with one
// line naming it, and the rest works.
TEST_F(ReliabilityTest, PipesInPlaceOfFilesNeverHoldUpTheStart) {
    PlinkaSession session(display());
    const std::string pipe = session.directory() + "/sound.wav";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    writeUrlTheme(session.directory() + "/Piped.plnk", "Piped", pipe);
    session.addTheme(session.directory() + "/Piped.plnk");
    session.writeDefaults({{"soundTheme", "Piped"}});
    auto plinka = session.start();
    EXPECT_TRUE(listening(session, *plinka, 3s)) << plinka->output();
    EXPECT_TRUE(says(*plinka, pipe + ": not a regular file")) << plinka->output();
    ::kill(plinka->pid(), SIGTERM);
    EXPECT_EQ(plinka->waitForExit(5s), 0);

    fs::remove(session.defaultsFile());
    ASSERT_EQ(::mkfifo(session.defaultsFile().c_str(), 0600), 0);
    auto again = session.start();
    EXPECT_TRUE(listening(session, *again, 3s)) << again->output();
    EXPECT_TRUE(says(*again, session.defaultsFile() + " (not a regular file)")) << again->output();
}

}  // namespace
}  // namespace plinka::testing
