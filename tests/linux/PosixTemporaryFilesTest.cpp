#include <gtest/gtest.h>

#include <filesystem>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "platform/linux/headless/PosixTemporaryFiles.h"
#include "platform/linux/headless/PrivateDirectory.h"

namespace plinka {
namespace {

// The session's runtime directory first, in a folder of Plinka's own; then $TMPDIR when it is a
// folder; else /tmp, so that a missing $TMPDIR never stops a theme from loading.
TEST(PosixTemporaryFiles, DirectoryFallsBackFromTheRuntimeFolderToTmpdirToTmp) {
    testing::ScratchDirectory scratch;
    const std::string runtime = scratch.file("runtime");
    const std::string tmpdir = scratch.file("tmp");
    const std::string file = scratch.file("a-file");
    std::filesystem::create_directories(runtime);
    std::filesystem::create_directories(tmpdir);
    testing::writeFile(file, "");
    struct Case {
        std::optional<std::string> runtime, tmpdir, expected;
    } cases[] = {
        {runtime, tmpdir, runtime + "/plinka/"},
        {std::nullopt, tmpdir, tmpdir + "/"},
        {scratch.file("missing"), tmpdir + "/", tmpdir + "/"},
        {file, scratch.file("missing"), "/tmp/"},
        {"relative", file, "/tmp/"},
        {std::nullopt, std::nullopt, "/tmp/"},
    };
    PosixTemporaryFiles files;
    for (const Case& test : cases) {
        testing::ScopedEnvironment runtimeVariable("XDG_RUNTIME_DIR", test.runtime);
        testing::ScopedEnvironment tmpdirVariable("TMPDIR", test.tmpdir);
        EXPECT_EQ(files.temporaryDirectory(), test.expected)
            << test.runtime.value_or("(unset)") << " " << test.tmpdir.value_or("(unset)");
    }
    EXPECT_TRUE(isPrivateDirectory(runtime + "/plinka"));
}

}  // namespace
}  // namespace plinka
