// A process killed in the middle of writing its defaults leaves a file that still reads whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "defaults/DefaultsDirectory.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/defaults/AtomicFile.h"
#include "platform/linux/defaults/PlistUserDefaults.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {
namespace {

constexpr std::size_t kPayloadBytes = 512 * 1024;

// The file content holding one counter value and a payload long enough to be cut short.
std::vector<uint8_t> contentsFor(int64_t counter) {
    auto bytes = writeXmlPropertyList(Object::dictionary(
        {{Object::string("counter"), Object::integer(counter)},
         {Object::string("payload"), Object::string(std::string(kPayloadBytes, 'x'))}}));
    return bytes.value_or(std::vector<uint8_t>());
}

// The child: writes one complete value after another, each when the parent says go, and reports
// each one done. The contents are made beforehand so that a go starts the file work at once.
[[noreturn]] void writeOnRequest(const std::string& path, const std::vector<uint8_t> (&contents)[2],
                                 int reportTo, int goFrom) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (const std::vector<uint8_t>& bytes : contents) {
        std::string error;
        char signal = 1;
        if (!writeFileAtomically(path, bytes, &error) || ::write(reportTo, &signal, 1) != 1 ||
            ::read(goFrom, &signal, 1) != 1) {
            ::_exit(1);
        }
    }
    ::_exit(1);  // the parent kills before the second go
}

TEST(DefaultsCrashTest, AWriteInterruptedByKillLeavesACompleteValue) {
    DefaultsDirectory directory;
    const std::vector<uint8_t> contents[] = {contentsFor(1), contentsFor(2)};
    for (int round = 0; round < 16; ++round) {
        SCOPED_TRACE(round);
        int report[2];
        int go[2];
        ASSERT_EQ(::pipe(report), 0);
        ASSERT_EQ(::pipe(go), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            writeOnRequest(directory.defaultsFile(), contents, report[1], go[0]);
        }
        char signal = 1;
        ASSERT_EQ(::read(report[0], &signal, 1), 1);  // the first value is written in full
        ASSERT_EQ(::write(go[1], &signal, 1), 1);     // the second one starts now
        // Spins (does not sleep) so that the kill lands at a chosen point early in the next write,
        // where a file written in place would be cut short.
        const auto spunOut =
            std::chrono::steady_clock::now() + std::chrono::microseconds(25 * round);
        while (std::chrono::steady_clock::now() < spunOut) {
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        for (int end : {report[0], report[1], go[0], go[1]}) {
            ::close(end);
        }
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own";

        // The old value or the new one, whole.
        const std::string text = fileContents(directory.defaultsFile());
        const std::vector<uint8_t> bytes(text.begin(), text.end());
        ASSERT_TRUE(bytes == contents[0] || bytes == contents[1]) << text.size() << " bytes";
    }

    // The program reads such a file as sound; a temporary file left by a kill is no bother.
    RecordingLog log;
    PlistUserDefaults defaults(directory.path(), DefaultsDirectory::kIdentifier, log);
    EXPECT_GE(defaults.integerForKey("counter"), 1);
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace plinka::testing
