// Path resolution on a real tree of folders, files and symbolic links; alias files, which Linux
// does not have, come from a double.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "ScratchDirectory.h"
#include "doubles/FakeAliasFiles.h"
#include "platform/linux/system/NoAliasFiles.h"
#include "process/ScopedEnvironment.h"
#include "support/SymlinksAndAliases.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

class SymlinksAndAliasesTest : public ::testing::Test {
  protected:
    SymlinksAndAliasesTest() : root(fs::canonical(scratch.path()).string()) {
        fs::create_directories(root + "/real/folder");
        fs::create_directories(root + "/a/b");
        writeFile(root + "/real/file", "x");
    }
    std::string at(const std::string& relative) const { return root + "/" + relative; }
    void link(const std::string& target, const std::string& relative) const {
        fs::create_symlink(target, at(relative));
    }
    std::optional<std::string> resolved(const std::string& path) const {
        return paths.stringByResolvingSymlinksAndAliases(path);
    }

    ScratchDirectory scratch;
    const std::string root;
    FakeAliasFiles aliases;
    SymlinksAndAliases paths{aliases};
};

TEST_F(SymlinksAndAliasesTest, LinksAnywhereInThePathAreFollowedAndTheRestAppended) {
    link(at("real"), "absolute");        // absolute target
    link("../../real", "a/b/climbing");  // relative target that climbs
    link("climbing/folder", "a/b/chained");
    struct Case {
        std::string path;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"/", "/"},
        {at("real/file"), at("real/file")},
        {at("absolute/file"), at("real/file")},
        {at("a/b/climbing/folder"), at("real/folder")},
        // A target's own folders are not looked at again: only its last component is.
        {at("a/b/chained"), at("a/b/climbing/folder")},
        {at("a/./b/../b/climbing//file/"), at("real/file")},
        {at("absolute/../real/file"), at("real/file")},  // ".." is taken from the text
        {"real/file", std::nullopt},                     // relative
        {"", std::nullopt},
        {at("real/missing"), std::nullopt},
        {at("missing/file"), std::nullopt},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(resolved(test.path), test.expected) << test.path;
    }
}

TEST_F(SymlinksAndAliasesTest, ALeadingTildeIsTheHomeFolder) {
    ScopedEnvironment home("HOME", at("real"));
    EXPECT_EQ(resolved("~/folder"), at("real/folder"));
    EXPECT_EQ(resolved("~"), at("real"));
    EXPECT_EQ(SymlinksAndAliases::stringByStandardizingPath("~/a/./b/../c/"), at("real/a/c"));

    const passwd* me = ::getpwuid(::getuid());
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(SymlinksAndAliases::stringByStandardizingPath("~" + std::string(me->pw_name) + "/x"),
              (fs::path(me->pw_dir) / "x").lexically_normal().string());
    EXPECT_EQ(SymlinksAndAliases::stringByStandardizingPath("~no-such-user-here/x"),
              "~no-such-user-here/x");
    EXPECT_EQ(resolved("~no-such-user-here/x"), std::nullopt);
}

TEST_F(SymlinksAndAliasesTest, LinkTargetsRelativeAreJoinedAndCleanedAbsoluteOnesKept) {
    link("../../real/./folder", "a/b/relative");
    link(at("real/../real/folder"), "a/b/absolute");
    EXPECT_EQ(SymlinksAndAliases::stringByConditionallyResolvingSymlink(at("a/b/relative")),
              at("real/folder"));
    EXPECT_EQ(SymlinksAndAliases::stringByConditionallyResolvingSymlink(at("a/b/absolute")),
              at("real/../real/folder"));
    EXPECT_EQ(SymlinksAndAliases::stringByConditionallyResolvingSymlink(at("real/file")),
              std::nullopt);
    EXPECT_EQ(SymlinksAndAliases::stringByResolvingSymlink(at("real/file")), at("real/file"));
}

TEST_F(SymlinksAndAliasesTest, MissingEntriesAndDanglingLinksAnswerNothing) {
    link(at("real/gone"), "dangling");
    for (const std::string& path : {at("real/missing"), at("dangling"), at("dangling/file")}) {
        EXPECT_EQ(resolved(path), std::nullopt) << path;
        EXPECT_EQ(paths.stringByIterativelyResolvingSymlinkOrAlias(path), std::nullopt) << path;
    }
    // The plain variants answer what they were given when there is nothing to follow.
    EXPECT_EQ(SymlinksAndAliases::stringByResolvingSymlink(at("real/missing")), at("real/missing"));
    EXPECT_EQ(paths.stringByResolvingAlias(at("real/missing")), at("real/missing"));
}

TEST_F(SymlinksAndAliasesTest, ChainsUpToTheKernelsLimitResolveLongerOnesAndCyclesDoNot) {
    const int limit = SymlinksAndAliases::kMaximumPasses;
    link(at("real/file"), "chain0");
    for (int i = 1; i <= limit; ++i) {
        link("chain" + std::to_string(i - 1), "chain" + std::to_string(i));
    }
    EXPECT_EQ(resolved(at("chain" + std::to_string(limit - 1))), at("real/file"));
    EXPECT_EQ(resolved(at("chain" + std::to_string(limit))), std::nullopt);
    // The kernel draws the line in the same place.
    std::error_code error;
    EXPECT_TRUE(fs::exists(at("chain" + std::to_string(limit - 1)), error));
    EXPECT_FALSE(fs::exists(at("chain" + std::to_string(limit)), error));
    EXPECT_EQ(error.value(), ELOOP);

    link("ping", "pong");
    link("pong", "ping");
    EXPECT_EQ(resolved(at("ping")), std::nullopt);
    EXPECT_EQ(paths.stringByIterativelyResolvingSymlinkOrAlias(at("ping/file")), std::nullopt);
}

TEST_F(SymlinksAndAliasesTest, LinksComeBeforeFoldersAndFoldersBeforeAliases) {
    link("alias", "link-to-alias");
    writeFile(at("alias"), "alias data");
    writeFile(at("alias-to-link"), "alias data");
    link("real", "link-to-folder");
    aliases.targets = {
        {at("alias"), at("alias-to-link")},
        {at("alias-to-link"), at("link-to-folder")},
        {at("real"), at("a")},           // a folder is never asked
        {at("link-to-alias"), at("a")},  // nor is a link
    };
    EXPECT_EQ(resolved(at("link-to-alias/file")), at("real/file"));
    // One link or alias per pass: link, alias, alias, link, then the folder; then the file.
    EXPECT_EQ(aliases.asked,
              (std::vector<std::string>{at("alias"), at("alias-to-link"), at("real/file")}));

    aliases.asked.clear();
    EXPECT_EQ(paths.stringByIterativelyResolvingSymlinkOrAlias(at("real")), at("real"));
    EXPECT_TRUE(aliases.asked.empty());
    EXPECT_EQ(paths.stringByResolvingAlias(at("alias")), at("alias-to-link"));
    EXPECT_EQ(paths.stringByConditionallyResolvingAlias(at("real/file")), std::nullopt);
}

TEST_F(SymlinksAndAliasesTest, AliasesToMissingEntriesAndAliasCyclesAnswerNothing) {
    writeFile(at("lost"), "");
    writeFile(at("one"), "");
    writeFile(at("two"), "");
    aliases.targets = {
        {at("lost"), at("real/gone")}, {at("one"), at("two")}, {at("two"), at("one")}};
    EXPECT_EQ(resolved(at("lost")), std::nullopt);
    EXPECT_EQ(resolved(at("one")), std::nullopt);
}

TEST(NoAliasFiles, LinuxFilesAreNeverAliases) {
    ScratchDirectory scratch;
    const std::string file = fs::canonical(scratch.path()).string() + "/file";
    writeFile(file, "bookmark-like data");
    NoAliasFiles none;
    EXPECT_EQ(none.resolveAliasFile(file), std::nullopt);
    EXPECT_EQ(SymlinksAndAliases(none).stringByResolvingSymlinksAndAliases(file), file);
}

}  // namespace
}  // namespace plinka::testing
