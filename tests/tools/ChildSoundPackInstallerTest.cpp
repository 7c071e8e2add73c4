// The application's side of plinka-import-pack, against stand-ins that answer, fail, crash,
// hang or flood in real processes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ScratchDirectory.h"
#include "platform/linux/packimport/ChildSoundPackInstaller.h"

namespace plinka::testing {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

TEST(ChildSoundPackInstaller, ReadsTheAnswerAndTurnsEveryFaultOfTheChildIntoOneSentence) {
    ScratchDirectory scratch;
    const struct {
        std::string name, script;
        std::optional<std::string> installed;
        std::vector<std::string> warnings;
        std::string failure;
    } cases[] = {
        {"installs",
         R"(printf 'warning key 30:\nno sound\0warning b\0installed Clack & Co\0')",
         "Clack & Co",
         {"key 30:\nno sound", "b"},
         ""},
        {"fails",
         R"(printf 'warning b\0failure Clack.zip: no such folder\0'; exit 1)",
         std::nullopt,
         {},
         "Clack.zip: no such folder"},
        {"garbage", "echo '<html>'", std::nullopt, {}, "answered something else"},
        {"unended",
         R"(printf 'installed Clack\0warning b')",
         std::nullopt,
         {},
         "answered something else"},
        {"silent", R"(printf 'warning b\0')", std::nullopt, {}, "answered something else"},
        {"status", "exit 3", std::nullopt, {}, "ended with status 3"},
        {"crashes", "kill -SEGV $$", std::nullopt, {}, "crashed"},
        {"hangs", "exec sleep 30", std::nullopt, {}, "within 500 ms"},
        {"floods", "exec yes warning", std::nullopt, {}, "said more than"},
    };
    for (const auto& test : cases) {
        const std::string program = scratch.file(test.name);
        writeFile(program, "#!/bin/sh\n" + test.script + "\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        const ChildSoundPackInstaller installer(program, std::chrono::milliseconds(500));
        const auto result = installer.install("/packs/Clack.zip", {});
        EXPECT_EQ(result.name, test.installed) << test.name;
        EXPECT_THAT(result.warnings, ElementsAreArray(test.warnings)) << test.name;
        EXPECT_THAT(result.failure, HasSubstr(test.failure)) << test.name;
        EXPECT_EQ(result.failure.empty(), test.failure.empty()) << test.name;
    }
    const auto missing = ChildSoundPackInstaller(scratch.file("missing")).install("pack", {});
    EXPECT_EQ(missing.name, std::nullopt);
    EXPECT_THAT(missing.failure, HasSubstr("cannot run " + scratch.file("missing")));
}

}  // namespace
}  // namespace plinka::testing
