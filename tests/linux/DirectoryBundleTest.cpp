#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/DirectoryBundle.h"

namespace plinka {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

class DirectoryBundleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("plinka-bundle-" + std::to_string(::getpid())) /
               "Plinka.app";
        fs::remove_all(root.parent_path());
        fs::create_directories(root / "Contents/Resources/KeySoundThemes");
        std::ofstream(root / "Contents/Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>CFBundleIdentifier</key><string>org.example.Test</string>"
               "<key>CFBundleName</key><string>Plinka</string></dict></plist>\n";
        for (const char* name : {"Zeta.plnk", "Alpha.plnk", "Notes.txt"}) {
            std::ofstream(root / "Contents/Resources/KeySoundThemes" / name) << "x";
        }
        fs::create_directories(root / "Contents/Resources/KeySoundThemes/Folder.plnk");
        std::ofstream(root / "Contents/Resources/silence.wav") << "x";
    }
    void TearDown() override { fs::remove_all(root.parent_path()); }
    std::string themes(const std::string& file) const {
        return (root / "Contents/Resources/KeySoundThemes" / file).string();
    }

    fs::path root;
};

TEST_F(DirectoryBundleTest, ReadsTheInformationDictionary) {
    DirectoryBundle bundle(root.string());
    EXPECT_EQ(bundle.bundleIdentifier(), "org.example.Test");
    EXPECT_EQ(*bundle.infoDictionary().objectForKey("CFBundleName").stringValue(), "Plinka");
}

TEST_F(DirectoryBundleTest, DamagedOrMissingInfoGivesAnEmptyDictionary) {
    std::ofstream(root / "Contents/Info.plist") << "<plist><dict><key>";
    DirectoryBundle damaged(root.string());
    EXPECT_TRUE(damaged.infoDictionary().dictionaryValue()->empty());
    DirectoryBundle missing("/no/such/Plinka.app");
    EXPECT_EQ(missing.bundleIdentifier(), std::nullopt);
    EXPECT_TRUE(missing.pathsForResourcesOfType("plnk", "KeySoundThemes").empty());
}

TEST_F(DirectoryBundleTest, FindsResourcesByNameTypeAndDirectory) {
    DirectoryBundle bundle(root.string());
    EXPECT_THAT(bundle.pathsForResourcesOfType("plnk", "KeySoundThemes"),
                ElementsAre(themes("Alpha.plnk"), themes("Zeta.plnk")));
    EXPECT_EQ(bundle.pathForResource("Zeta", "plnk", "KeySoundThemes"), themes("Zeta.plnk"));
    EXPECT_EQ(bundle.pathForResource(std::nullopt, "plnk", "KeySoundThemes"), themes("Alpha.plnk"));
    EXPECT_EQ(bundle.pathForResource("Folder", "plnk", "KeySoundThemes"), std::nullopt);
    EXPECT_EQ(bundle.pathForResource("../Info", "plist", ""), std::nullopt);
    EXPECT_EQ(bundle.pathForResource("Zeta", "plnk", ""), std::nullopt);
    EXPECT_EQ(bundle.urlForResource("silence", "wav"),
              "file://" + (root / "Contents/Resources/silence.wav").string());
}

}  // namespace
}  // namespace plinka
