#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "ChildProcess.h"
#include "ScopedEnvironment.h"
#include "TestAppBundle.h"
#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/process/ProcessStat.h"
#include "platform/linux/process/ProcfsProcessManager.h"
#include "platform/linux/process/ReopenChannel.h"

namespace plinka {
namespace {

using testing::ChildProcess;
using testing::TestAppBundle;

constexpr int kYielded = 3;

// Copies of the test application from bundles in a scratch directory, with a runtime directory of
// their own. The identifiers carry this test's pid, so copies of parallel test runs never meet.
class TwoCopiesTest : public ::testing::Test {
  protected:
    std::string identifier(const std::string& name) const {
        return "org.plinka.test" + std::to_string(getpid()) + "." + name;
    }
    std::unique_ptr<ChildProcess> start(const TestAppBundle& bundle, bool waitForStart = false) {
        ChildProcess::Options options;
        if (waitForStart) {
            options.arguments.push_back("--wait-for-start");
        }
        return std::make_unique<ChildProcess>(bundle.executable(), options);
    }
    std::string listening(const ChildProcess& copy) const {
        return "listening " + std::to_string(copy.pid());
    }

    testing::ScratchDirectory scratch_;
    testing::ScopedEnvironment environment_{"XDG_RUNTIME_DIR", scratch_.path()};
    TestAppBundle first_{scratch_.path().string() + "/first", "Test", identifier("Copy")};
    TestAppBundle second_{scratch_.path().string() + "/second", "Test", identifier("Copy")};
    // Differs from the first only in letter case.
    TestAppBundle shouting_{scratch_.path().string() + "/shouting", "Shout", identifier("COPY")};
    TestAppBundle other_{scratch_.path().string() + "/other", "Test", identifier("Other")};
};

TEST_F(TwoCopiesTest, ALaterCopyReopensTheRunningOneAndQuits) {
    auto running = start(first_);
    ASSERT_EQ(running->readLine(), listening(*running));

    auto later = start(second_);
    EXPECT_EQ(later->waitForExit(), kYielded);
    EXPECT_EQ(later->output(), "yielded " + std::to_string(running->pid()) + " 0 Test\n");
    EXPECT_EQ(running->readLine(), "reopened 1");

    // The identifier is compared without regard to case; the name in the log is the copy's own.
    auto shouting = start(shouting_);
    EXPECT_EQ(shouting->waitForExit(), kYielded);
    EXPECT_EQ(shouting->output(), "yielded " + std::to_string(running->pid()) + " 0 Shout\n");
    EXPECT_EQ(running->readLine(), "reopened 2");

    // A copy started again from the same bundle yields as well.
    auto again = start(first_);
    EXPECT_EQ(again->waitForExit(), kYielded);
    EXPECT_EQ(running->readLine(), "reopened 3");

    running->closeInput();
    EXPECT_EQ(running->waitForExit(), 0);
    EXPECT_FALSE(
        std::filesystem::exists(reopenSocketPath(reopenSocketDirectory(), running->pid())));
}

TEST_F(TwoCopiesTest, TwoCopiesStartedTogetherLeaveExactlyTheEarlierOne) {
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        auto a = start(first_, true);
        auto b = start(second_, true);
        ASSERT_EQ(a->readLine(), "ready");
        ASSERT_EQ(b->readLine(), "ready");
        const auto aStart = readStartTime(a->pid());
        const auto bStart = readStartTime(b->pid());
        ASSERT_TRUE(aStart && bStart);
        // Both are running before either looks; release them in turns of order.
        (round % 2 ? b : a)->write("g");
        (round % 2 ? a : b)->write("g");

        const auto aLine = a->readLine();
        const auto bLine = b->readLine();
        ASSERT_TRUE(aLine && bLine);
        const bool aStays = aLine->starts_with("listening");
        ChildProcess& stays = aStays ? *a : *b;
        ChildProcess& yields = aStays ? *b : *a;
        EXPECT_EQ(aStays ? *aLine : *bLine, listening(stays));
        EXPECT_TRUE(
            (aStays ? *bLine : *aLine).starts_with("yielded " + std::to_string(stays.pid())))
            << *aLine << " / " << *bLine;
        EXPECT_EQ(yields.waitForExit(), kYielded);

        const uint64_t staysStart = aStays ? *aStart : *bStart;
        const uint64_t yieldsStart = aStays ? *bStart : *aStart;
        EXPECT_TRUE(staysStart < yieldsStart ||
                    (staysStart == yieldsStart && stays.pid() < yields.pid()));

        stays.closeInput();
        EXPECT_EQ(stays.waitForExit(), 0);
    }
}

TEST_F(TwoCopiesTest, ACopyOfAnotherApplicationIsLeftAlone) {
    auto running = start(first_);
    ASSERT_EQ(running->readLine(), listening(*running));
    auto other = start(other_);
    EXPECT_EQ(other->readLine(), listening(*other));

    running->closeInput();
    other->closeInput();
    EXPECT_EQ(running->waitForExit(), 0);
    EXPECT_EQ(other->waitForExit(), 0);
    EXPECT_EQ(running->output(), listening(*running) + "\n");
}

TEST_F(TwoCopiesTest, AnotherUsersCopyIsNeitherSeenNorReachable) {
    constexpr uid_t kNobody = 65534;
    if (geteuid() != 0) {
        GTEST_SKIP() << "running a copy as another user needs root";
    }
    // The other user's runtime directory, as its session would have it.
    const std::string runtime = scratch_.path().string() + "/nobody-runtime";
    std::filesystem::create_directory(runtime);
    ASSERT_EQ(chown(runtime.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(runtime.c_str(), 0700), 0);
    ChildProcess theirs(first_.executable(),
                        {.environment = {{"XDG_RUNTIME_DIR", runtime}}, .uid = kNobody});
    const auto line = theirs.readLine();
    if (line == ChildProcess::kCannotSwitchUser) {
        GTEST_SKIP() << "cannot run a process as uid " << kNobody;
    }
    ASSERT_EQ(line, listening(theirs));

    // Our copy does not take theirs for a running copy.
    auto ours = start(second_);
    EXPECT_EQ(ours->readLine(), listening(*ours));

    ProcfsProcessManager processes;
    ProcessSerialNumber psn = kNoProcess;
    while (processes.getNextProcess(&psn) == kProcessNoErr) {
        EXPECT_NE(psn, ProcfsProcessManager::serialNumberForPid(theirs.pid()));
    }

    // Pointed at their directory, the request is not sent: it is not ours.
    {
        testing::ScopedEnvironment theirDirectory("XDG_RUNTIME_DIR", runtime);
        EXPECT_NE(processes.sendReopenEvent(ProcfsProcessManager::serialNumberForPid(theirs.pid())),
                  kProcessNoErr);
    }
    // Root passes their directory's permissions, but their listener closes on it unanswered.
    const auto address = socketAddress(reopenSocketPath(runtime + "/plinka", theirs.pid()));
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_EQ(
        ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address), 0);
    ::send(socket.get(), kReopenRequest.data(), kReopenRequest.size(), MSG_NOSIGNAL);
    char buffer[16];
    // Closed with our request unread, the socket may report a reset rather than its end.
    EXPECT_LE(::recv(socket.get(), buffer, sizeof buffer, 0), 0);

    theirs.closeInput();
    ours->closeInput();
    EXPECT_EQ(theirs.waitForExit(), 0);
    EXPECT_EQ(ours->waitForExit(), 0);
    EXPECT_EQ(theirs.output(), listening(theirs) + "\n");
}

}  // namespace
}  // namespace plinka
