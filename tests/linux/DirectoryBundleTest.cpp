#include <gtest/gtest.h>

#include <filesystem>

#include "ScratchDirectory.h"
#include "platform/linux/DirectoryBundle.h"

namespace plinka {
namespace {

namespace fs = std::filesystem;

// The first of the user's languages that the bundle has gives the localized information and
// the strings tables; without any, the development region's ("en" when unnamed).
TEST(DirectoryBundle, TheFirstLanguageTheBundleHasGivesTheLocalizedInformationAndStrings) {
    // A copy: the test takes a language away at the end. Its German strings file has a comment,
    // its Brazilian one is a property list and its French one is damaged.
    testing::ScratchDirectory scratch;
    const fs::path root = scratch.path() / "Localized.app";
    fs::copy(PLINKA_SOURCE_DIR "/tests/linux/data/Localized.app", root,
             fs::copy_options::recursive);

    const auto localizedName = [&](const std::vector<std::string>& languages) -> std::string {
        const DirectoryBundle bundle(root.string(), languages);
        const Object& name = bundle.localizedInfoDictionary().objectForKey("CFBundleName");
        return name.stringValue() ? *name.stringValue() : "(none)";
    };
    EXPECT_EQ(localizedName({"de_AT"}), "Plinka auf Deutsch");
    EXPECT_EQ(localizedName({"pt_BR", "de"}), "Plinka do Brasil");
    EXPECT_EQ(localizedName({"sv", "de"}), "Plinka auf Deutsch");
    // A damaged file counts as absent.
    EXPECT_EQ(localizedName({"fr"}), "Plinka (en)");
    EXPECT_EQ(localizedName({}), "Plinka (en)");

    const DirectoryBundle german(root.string(), {"de_DE"});
    EXPECT_EQ(german.localizedStringForKey("this application", "", ""), "diese Anwendung");
    // The first table found answers, also when it lacks the key: the value, else the key.
    EXPECT_EQ(german.localizedStringForKey("other", "", ""), "other");
    EXPECT_EQ(german.localizedStringForKey("other", "Fallback", ""), "Fallback");
    EXPECT_EQ(german.localizedStringForKey("Move", "", "MoveApplication"), "Move It");
    const DirectoryBundle swedish(root.string(), {"sv"});
    EXPECT_EQ(swedish.localizedStringForKey("this application", "", ""), "this application");

    fs::remove_all(root / "Contents/Resources/en.lproj");
    EXPECT_EQ(localizedName({"sv"}), "(none)");
    EXPECT_EQ(*swedish.infoDictionary().objectForKey("CFBundleName").stringValue(), "Plinka");
}

}  // namespace
}  // namespace plinka
