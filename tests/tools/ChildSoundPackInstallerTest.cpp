// The application's side of plinka-import-pack, against stand-ins that answer, fail, crash,
// hang or flood in real processes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include "ScratchDirectory.h"
#include "linux/QtEventWait.h"
#include "platform/linux/packimport/ChildSoundPackInstaller.h"

namespace plinka::testing {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using Result = SoundPackInstaller::Result;

Result installed(SoundPackInstaller& installer, const std::string& pack) {
    std::optional<Result> result;
    EXPECT_TRUE(installer.install(pack, {.splitRelease = true},
                                  [&](Result answer) { result = std::move(answer); }));
    EXPECT_TRUE(processEventsUntil([&] { return result.has_value(); }));
    return result.value_or(Result{});
}

std::string program(ScratchDirectory& scratch, const std::string& name, const std::string& script) {
    const std::string path = scratch.file(name);
    writeProgram(path, "#!/bin/sh\n" + script + "\n");
    return path;
}

TEST(ChildSoundPackInstaller, ReadsTheAnswerAndTurnsEveryFaultOfTheChildIntoOneSentence) {
    ScratchDirectory scratch;
    const struct {
        std::string name, script;
        std::optional<std::string> installed;
        std::vector<std::string> warnings;
        std::string failure;
    } cases[] = {
        {"installs",
         R"([ "$2" = --split-release ] || exit 9
            printf 'warning key 30:\nno sound\0warning b\0installed Clack & Co\0')",
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
        ChildSoundPackInstaller installer(program(scratch, test.name, test.script),
                                          std::chrono::milliseconds(500));
        const auto result = installed(installer, "/packs/Clack.zip");
        EXPECT_EQ(result.name, test.installed) << test.name;
        EXPECT_THAT(result.warnings, ElementsAreArray(test.warnings)) << test.name;
        EXPECT_THAT(result.failure, HasSubstr(test.failure)) << test.name;
        EXPECT_EQ(result.failure.empty(), test.failure.empty()) << test.name;
    }
    ChildSoundPackInstaller missing(scratch.file("missing"));
    EXPECT_THAT(installed(missing, "pack").failure,
                HasSubstr("cannot run " + scratch.file("missing")));
}

TEST(ChildSoundPackInstaller, RunsOneAtATimeAndACancelledOneIsKilledUnanswered) {
    ScratchDirectory scratch;
    const std::string pidFile = scratch.file("pid");
    ChildSoundPackInstaller installer(program(
        scratch, "slow",
        "echo $$ > " + pidFile + ".part; mv " + pidFile + ".part " + pidFile + "; exec sleep 30"));
    bool answered = false;
    ASSERT_TRUE(installer.install("pack", {}, [&](Result) { answered = true; }));
    EXPECT_FALSE(installer.install("other", {}, [&](Result) { answered = true; }));
    ASSERT_TRUE(processEventsUntil([&] { return std::filesystem::exists(pidFile); }));
    const pid_t child = std::stoi(fileContents(pidFile));

    installer.cancel();
    EXPECT_TRUE(processEventsUntil([&] { return ::kill(child, 0) != 0; }));
    EXPECT_FALSE(answered);
    EXPECT_TRUE(installer.install("pack", {}, [](Result) {}));
}

}  // namespace
}  // namespace plinka::testing
