#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ScratchDirectory.h"
#include "platform/linux/system/PosixCommandRunner.h"
#include "platform/linux/system/UnameProcessInformation.h"

namespace plinka {
namespace {

using testing::writeFile;

TEST(PosixCommandRunner, AnswersTheStatusAndBothStreamsInOrder) {
    PosixCommandRunner runner;
    CommandResult result = runner.runShellCommand("echo out; echo err >&2; echo again; exit 3");
    EXPECT_EQ(result.terminationStatus, 3);
    EXPECT_EQ(result.output, "out\nerr\nagain\n");

    // Standard input is the null device: a reader sees its end at once.
    result = runner.runShellCommand("cat; echo done");
    EXPECT_EQ(result.terminationStatus, 0);
    EXPECT_EQ(result.output, "done\n");

    // A signal ends it with 128 plus the signal.
    result = runner.runShellCommand("kill -TERM $$");
    EXPECT_EQ(result.terminationStatus, 128 + 15);
    // More output than a pipe holds does not stall the child.
    result = runner.runShellCommand("head -c 1000000 /dev/zero | tr '\\0' x; echo");
    EXPECT_EQ(result.output.size(), 1000001u);
}

TEST(UnameProcessInformation, TheMachineIdentifierIsTheDigestOfTheMachineId) {
    testing::ScratchDirectory folder;
    const std::string machineId = folder.file("machine id's file");
    writeFile(machineId, "3d1219c7c4c5404aaa1f6d2a48adfda4\n");
    PosixCommandRunner runner;
    const std::string command = UnameProcessInformation(machineId).machineIdentifierCommand();

    const CommandResult digest = runner.runShellCommand(command);
    EXPECT_EQ(digest.terminationStatus, 0) << digest.output;
    EXPECT_EQ(digest.output, "f778dd328e0c54855c279381c3979653332a58f5\n");  // sha1sum's answer

    // Without the identity there is nothing to hash: a failure, not the digest of nothing.
    writeFile(machineId, "");
    EXPECT_NE(runner.runShellCommand(command).terminationStatus, 0);
    std::filesystem::remove(machineId);
    EXPECT_NE(runner.runShellCommand(command).terminationStatus, 0);
}

}  // namespace
}  // namespace plinka
