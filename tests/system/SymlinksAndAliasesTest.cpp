// Path resolution on a real tree of folders, files and symbolic links.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "platform/linux/system/NoAliasFiles.h"
#include "support/SymlinksAndAliases.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;
using Paths = SymlinksAndAliases;

class SymlinksAndAliasesTest : public ::testing::Test {
  protected:
    SymlinksAndAliasesTest() : root(fs::canonical(scratch.path()).string()) {
        fs::create_directories(at("real/folder"));
        fs::create_directories(at("a/b"));
        writeFile(at("real/file"), "x");
    }
    std::string at(const std::string& relative) const { return root + "/" + relative; }
    void link(const std::string& target, const std::string& relative) const {
        fs::create_symlink(target, at(relative));
    }

    ScratchDirectory scratch;
    const std::string root;
    NoAliasFiles aliases;
    SymlinksAndAliases paths{aliases};
};

TEST_F(SymlinksAndAliasesTest, LinksAnywhereInThePathAreFollowedAndMissingEntriesAnswerNothing) {
    link(at("real"), "absolute");
    link("../../real", "a/b/climbing");
    link("climbing/folder", "a/b/chained");
    link(at("real/gone"), "dangling");
    ScopedEnvironment home("HOME", at("real"));
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"/", "/"},
        {at("absolute/file"), at("real/file")},
        {at("a/b/climbing/folder"), at("real/folder")},
        // A target's own folders are not looked at again: only its last component is.
        {at("a/b/chained"), at("a/b/climbing/folder")},
        {at("a/./b/../b/climbing//file/"), at("real/file")},
        {at("absolute/../real/file"), at("real/file")},  // ".." is taken from the text
        {"~/folder", at("real/folder")},
        {"~no-such-user-here/folder", std::nullopt},
        {"real/file", std::nullopt},
        {at("real/missing"), std::nullopt},
        {at("missing/file"), std::nullopt},
        {at("dangling"), std::nullopt},
        {at("dangling/file"), std::nullopt},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(paths.stringByResolvingSymlinksAndAliases(path), expected) << path;
    }
    EXPECT_EQ(paths.stringByIterativelyResolvingSymlinkOrAlias(at("dangling")), std::nullopt);
    // The plain variants answer what they were given when there is nothing to follow.
    EXPECT_EQ(Paths::stringByResolvingSymlink(at("real/missing")), at("real/missing"));
    EXPECT_EQ(paths.stringByResolvingAlias(at("real/missing")), at("real/missing"));
}

}  // namespace
}  // namespace plinka::testing
