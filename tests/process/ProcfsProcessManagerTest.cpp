#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ChildProcess.h"
#include "Eventually.h"
#include "ScopedEnvironment.h"
#include "TestAppBundle.h"
#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/process/ProcessStat.h"
#include "platform/linux/process/ProcfsProcessManager.h"
#include "platform/linux/process/ReopenChannel.h"

namespace plinka {
namespace {

using testing::ChildProcess;

ProcessSerialNumber psnOf(pid_t pid) {
    return ProcfsProcessManager::serialNumberForPid(pid);
}

// A process id that was just freed: pids are handed out in turn, so it stays unused meanwhile.
pid_t pidOfAnExitedChild() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

std::vector<pid_t> walk(ProcessManager& processes) {
    std::vector<pid_t> pids;
    ProcessSerialNumber psn = kNoProcess;
    while (processes.getNextProcess(&psn) == kProcessNoErr) {
        pids.push_back(static_cast<pid_t>(psn.lowLongOfPSN));
    }
    EXPECT_EQ(processes.getNextProcess(&psn), procNotFound);
    return pids;
}

TEST(ProcfsProcessManagerTest, WalksThisUsersProcessesInPidOrderFromEachStart) {
    ProcfsProcessManager processes;
    testing::ScratchDirectory scratch;
    const testing::TestAppBundle bundle(scratch.path(), "Test", "org.plinka.test.walk");
    ChildProcess child(bundle.executable(), {.arguments = {"30"}});

    const std::vector<pid_t> pids = walk(processes);
    EXPECT_TRUE(std::is_sorted(pids.begin(), pids.end()));
    EXPECT_EQ(std::adjacent_find(pids.begin(), pids.end()), pids.end());
    EXPECT_NE(std::find(pids.begin(), pids.end(), getpid()), pids.end());
    EXPECT_NE(std::find(pids.begin(), pids.end(), child.pid()), pids.end());
    // Starting again takes a new look.
    ::kill(child.pid(), SIGKILL);
    child.waitForExit();
    const std::vector<pid_t> again = walk(processes);
    EXPECT_EQ(std::find(again.begin(), again.end(), child.pid()), again.end());

    ProcessSerialNumber bogus{7, 1};
    EXPECT_NE(processes.getNextProcess(&bogus), kProcessNoErr);
    EXPECT_NE(processes.getNextProcess(nullptr), kProcessNoErr);
}

TEST(ProcfsProcessManagerTest, InformationNamesTheBundleThatHoldsTheExecutable) {
    ProcfsProcessManager processes;
    testing::ScratchDirectory scratch;
    const testing::TestAppBundle bundle(scratch.path(), "Test", "org.plinka.Test.Info");
    ChildProcess child(bundle.executable(), {.arguments = {"30"}});
    Object information;
    ASSERT_TRUE(testing::eventually([&] {
        information = processes.processInformationCopyDictionary(psnOf(child.pid()));
        return !information.objectForKey("CFBundleIdentifier").isNil();
    }));
    EXPECT_EQ(information.objectForKey("CFBundleIdentifier"),
              Object::string("org.plinka.Test.Info"));
    EXPECT_EQ(information.objectForKey("CFBundleExecutable"), Object::string("Test"));
    EXPECT_EQ(information.objectForKey("BundlePath"), Object::string(bundle.path()));
    EXPECT_EQ(information.objectForKey("pid"), Object::integer(child.pid()));

    // The test itself runs outside any bundle.
    const Object own = processes.processInformationCopyDictionary(kCurrentProcess);
    ASSERT_TRUE(own);
    EXPECT_FALSE(own.objectForKey("CFBundleIdentifier"));
    EXPECT_FALSE(own.objectForKey("BundlePath"));
    EXPECT_EQ(own.objectForKey("CFBundleExecutable"),
              Object::string(program_invocation_short_name));

    EXPECT_FALSE(processes.processInformationCopyDictionary(psnOf(pidOfAnExitedChild())));
    EXPECT_FALSE(processes.processInformationCopyDictionary(kNoProcess));
}

TEST(ProcfsProcessManagerTest, KnowsWhichProcessStartedFirst) {
    ProcfsProcessManager processes;
    EXPECT_TRUE(processes.startedEarlier(psnOf(getppid())));
    EXPECT_FALSE(processes.startedEarlier(kCurrentProcess));
    EXPECT_FALSE(processes.startedEarlier(psnOf(getpid())));
    EXPECT_FALSE(processes.startedEarlier(psnOf(pidOfAnExitedChild())));

    const pid_t later = fork();
    if (later == 0) {
        pause();
        _exit(0);
    }
    EXPECT_FALSE(processes.startedEarlier(psnOf(later)));
    kill(later, SIGKILL);
    waitpid(later, nullptr, 0);

    ASSERT_TRUE(readStartTime(getpid()));
    EXPECT_GE(*readStartTime(getpid()), *readStartTime(getppid()));
}

// Each test gets a runtime directory of its own, so no socket of a running copy is in the way.
class ReopenRequestTest : public ::testing::Test {
  protected:
    // A socket at `pid`'s place that this process listens on but never answers.
    FileDescriptor silentListenerFor(pid_t pid) {
        EXPECT_TRUE(preparePrivateDirectory(reopenSocketDirectory(), nullptr));
        FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        const auto address = socketAddress(reopenSocketPath(reopenSocketDirectory(), pid));
        EXPECT_EQ(
            ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address), 0);
        EXPECT_EQ(::listen(socket.get(), 4), 0);
        return socket;
    }

    testing::ScratchDirectory runtime_;
    testing::ScopedEnvironment environment_{"XDG_RUNTIME_DIR", runtime_.path()};
};

TEST_F(ReopenRequestTest, FailsWithoutWaitingWhenNothingListens) {
    ProcfsProcessManager processes;
    // No socket directory yet.
    EXPECT_EQ(processes.sendReopenEvent(psnOf(getppid())), procNotFound);
    ASSERT_TRUE(preparePrivateDirectory(reopenSocketDirectory(), nullptr));
    EXPECT_EQ(processes.sendReopenEvent(psnOf(getppid())), procNotFound);
    // A socket left by a copy that died.
    { const FileDescriptor stale = silentListenerFor(getppid()); }
    EXPECT_EQ(processes.sendReopenEvent(psnOf(getppid())), procNotFound);
    EXPECT_EQ(processes.sendReopenEvent(kNoProcess), paramErr);
}

TEST_F(ReopenRequestTest, GivesUpOnAListenerThatDoesNotAnswerInTime) {
    ProcfsProcessManager processes(ReopenRequest::Reopen, std::chrono::milliseconds(100));
    const FileDescriptor silent = silentListenerFor(getpid());
    EXPECT_EQ(processes.sendReopenEvent(kCurrentProcess), errAETimeout);
}

TEST_F(ReopenRequestTest, RefusesASocketHeldByAnotherProcessThanItsPidSays) {
    ProcfsProcessManager processes;
    const FileDescriptor impostor = silentListenerFor(getppid());
    EXPECT_EQ(processes.sendReopenEvent(psnOf(getppid())), connectionInvalid);
}

}  // namespace
}  // namespace plinka
