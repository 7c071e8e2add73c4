#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/process/ProcfsProcessManager.h"
#include "platform/linux/process/ReopenChannel.h"

namespace plinka {
namespace {

ProcessSerialNumber psnOf(pid_t pid) {
    return ProcfsProcessManager::serialNumberForPid(pid);
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

// A listener that never answers is given up on in time; one held by another process than its
// pid says is refused.
TEST_F(ReopenRequestTest, GivesUpOnASilentListenerAndRefusesAnImpostor) {
    ProcfsProcessManager processes(ReopenRequest::Reopen, std::chrono::milliseconds(100));
    const FileDescriptor silent = silentListenerFor(getpid());
    EXPECT_EQ(processes.sendReopenEvent(kCurrentProcess), errAETimeout);
    const FileDescriptor impostor = silentListenerFor(getppid());
    EXPECT_EQ(processes.sendReopenEvent(psnOf(getppid())), connectionInvalid);
}

}  // namespace
}  // namespace plinka
