// A process killed in the middle of writing its defaults leaves a file that still reads whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "defaults/DefaultsDirectory.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/defaults/PlistUserDefaults.h"
#include "platform/linux/defaults/UserDefaultsFile.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {
namespace {

// Large enough that most of a write's time goes into the payload, where a kill hurts most.
constexpr std::size_t kPayloadBytes = 512 * 1024;

char payloadLetter(int64_t counter) {
    return static_cast<char>('a' + counter % 26);
}

// The child: writes complete values in a loop and reports each one written on the pipe.
[[noreturn]] void writeForever(const std::string& path, int reportTo) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    UserDefaultsFile file(path);
    for (int64_t counter = 1;; ++counter) {
        UserDefaultsFile::Values values;
        values.emplace("counter", Object::integer(counter));
        values.emplace("payload",
                       Object::string(std::string(kPayloadBytes, payloadLetter(counter))));
        std::string error;
        if (!file.write(values, &error)) {
            ::_exit(1);
        }
        char done = 1;
        if (::write(reportTo, &done, 1) != 1) {
            ::_exit(1);
        }
    }
}

TEST(DefaultsCrashTest, AWriteInterruptedByKillLeavesACompleteValue) {
    DefaultsDirectory directory;
    int64_t lastReported = 0;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            writeForever(directory.defaultsFile(), pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        // A few whole writes, then the kill lands somewhere in one of the next.
        int reported = 0;
        char done;
        while (reported < 2 + round && ::read(pipeEnds[0], &done, 1) == 1) {
            ++reported;
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(pipeEnds[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own";
        ASSERT_EQ(reported, 2 + round);

        std::string error;
        std::optional<Object> root = readPropertyListFile(directory.defaultsFile(), &error);
        ASSERT_TRUE(root.has_value()) << error;
        std::optional<int64_t> counter = root->objectForKey("counter").integerValue();
        ASSERT_TRUE(counter.has_value());
        // The last reported write or a later one; never a part of one.
        EXPECT_GE(*counter, reported);
        const std::string* payload = root->objectForKey("payload").stringValue();
        ASSERT_NE(payload, nullptr);
        EXPECT_EQ(payload->size(), kPayloadBytes);
        EXPECT_EQ(std::count(payload->begin(), payload->end(), payloadLetter(*counter)),
                  static_cast<std::ptrdiff_t>(kPayloadBytes));
        lastReported = *counter;
    }

    // The program reads such a file as sound; a temporary file left by the kill is no bother.
    RecordingLog log;
    PlistUserDefaults defaults(directory.path(), DefaultsDirectory::kIdentifier, log);
    EXPECT_EQ(defaults.integerForKey("counter"), lastReported);
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace plinka::testing
