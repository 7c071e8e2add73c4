#include <gtest/gtest.h>

#include "doubles/FakeBundle.h"
#include "doubles/FakeLoginItems.h"
#include "support/LoginItems.h"

namespace plinka {
namespace {

using testing::FakeBundle;
using testing::FakeLoginItems;

class LoginItemsTest : public ::testing::Test {
  protected:
    FakeLoginItems list;
    LoginItems loginItems{list};
    FakeBundle bundle;  // /Applications/Plinka.app
};

TEST_F(LoginItemsTest, FindingResolvesQuietlyAndRemovingDoesNot) {
    list.append("/Applications/Mail.app");
    list.append("/Users/me/Downloads/Plinka.app");
    EXPECT_TRUE(loginItems.findAnyReferenceTo("Plinka.app"));
    // Stops at the first match, resolving without interaction and without mounting.
    EXPECT_EQ(list.resolutionFlags, (std::vector<uint32_t>{3, 3}));

    list.resolutionFlags.clear();
    loginItems.removeAllReferencesTo("Plinka.app");
    EXPECT_EQ(list.resolutionFlags, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(list.targets(), std::vector<std::string>{"/Applications/Mail.app"});
}

TEST_F(LoginItemsTest, AddingReplacesEveryCopyWithOneEntryAtTheEnd) {
    list.append("/Users/me/Downloads/Plinka.app");
    list.append("/Applications/Mail.app");
    list.append("/Volumes/Old/Plinka.app");
    list.append("/Gone/Plinka.app", false);
    loginItems.addBundle(bundle);
    EXPECT_EQ(list.targets(),
              (std::vector<std::string>{"/Applications/Mail.app", "/Gone/Plinka.app",
                                        "/Applications/Plinka.app"}));
    EXPECT_TRUE(loginItems.isLoginItem(bundle));
    EXPECT_EQ(loginItems.isLoginItem(bundle), loginItems.findAnyReferenceTo("Plinka.app"));

    // Adding again leaves one entry, the new one, still at the end.
    loginItems.addBundle(bundle);
    EXPECT_EQ(list.targets().back(), "/Applications/Plinka.app");
    EXPECT_EQ(list.targets().size(), 3u);

    loginItems.removeBundle(bundle);
    EXPECT_FALSE(loginItems.isLoginItem(bundle));
    EXPECT_EQ(list.targets(),
              (std::vector<std::string>{"/Applications/Mail.app", "/Gone/Plinka.app"}));
}

// By suffix of the resolved path; entries whose target is gone are neither found nor removed.
TEST_F(LoginItemsTest, MatchingIsBySuffixOfTheResolvedPath) {
    list.append("/Applications/MyPlinka.app");
    list.append("/Applications/Plinka.app.zip");
    list.append("/Gone/Plinka.app", false);
    EXPECT_TRUE(loginItems.findAnyReferenceTo("Plinka.app"));
    loginItems.removeAllReferencesTo("Plinka.app");
    EXPECT_EQ(list.targets(),
              (std::vector<std::string>{"/Applications/Plinka.app.zip", "/Gone/Plinka.app"}));
}

}  // namespace
}  // namespace plinka
