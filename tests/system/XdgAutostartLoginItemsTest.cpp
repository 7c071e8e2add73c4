#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "ScratchDirectory.h"
#include "doubles/FakeBundle.h"
#include "platform/linux/system/XdgAutostartLoginItems.h"
#include "support/LoginItems.h"

namespace plinka {
namespace {

namespace fs = std::filesystem;
using testing::writeFile;

class XdgAutostartLoginItemsTest : public ::testing::Test {
  protected:
    // A bundle directory with its executable; answers the bundle's path.
    std::string makeBundle(const std::string& relative) {
        const fs::path bundlePath = folder.path() / relative;
        const fs::path executable = bundlePath / "Contents/MacOS" / fs::path(relative).stem();
        testing::writeProgram(executable, "#!/bin/sh\n");
        return bundlePath.string();
    }

    // An entry starting the program, written an hour ago (so that entries written by the test
    // come after it).
    void writeEntryStarting(const std::string& name, const std::string& program) {
        const fs::path file = autostart / name;
        writeFile(file, "[Desktop Entry]\nType=Application\nExec=\"" + program + "\" --quiet\n");
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1) +
                                      std::chrono::seconds(entriesWritten++));
    }

    // The resolved paths of the list's entries, in order; "-" for one that does not resolve.
    std::vector<std::string> resolved() {
        std::vector<std::string> paths;
        for (const auto& item : service.openSessionLoginItems()->snapshot()) {
            paths.push_back(item->resolvedPath(0).value_or("-"));
        }
        return paths;
    }

    testing::ScratchDirectory folder;
    fs::path autostart = folder.path() / "config/autostart";
    XdgAutostartLoginItems service{autostart.string()};
    LoginItems loginItems{service};
    testing::FakeBundle bundle;
    int entriesWritten = 0;
};

// The entry's quoting keeps any path whole.
TEST_F(XdgAutostartLoginItemsTest, AddingReplacesAnOldCopyElsewhereWithOneEntryAtTheEnd) {
    const std::string downloads = makeBundle("Downloads/Plinka.app");
    const std::string mail = makeBundle("Applications/Mail.app");
    bundle.path = makeBundle("Applications/Plinka.app");
    writeEntryStarting("plinka-old.desktop", downloads + "/Contents/MacOS/Plinka");
    writeEntryStarting("mail.desktop", mail + "/Contents/MacOS/Mail");
    EXPECT_EQ(resolved(), (std::vector<std::string>{downloads, mail}));
    EXPECT_TRUE(loginItems.isLoginItem(bundle));

    loginItems.addBundle(bundle);
    EXPECT_EQ(resolved(), (std::vector<std::string>{mail, bundle.path}));
    EXPECT_FALSE(fs::exists(autostart / "plinka-old.desktop"));
    const std::string entry = testing::fileContents(autostart / "Plinka.desktop");
    EXPECT_NE(entry.find("Exec=\"" + bundle.path + "/Contents/MacOS/Plinka\" --background\n"),
              std::string::npos)
        << entry;
    EXPECT_NE(entry.find("X-GNOME-Autostart-enabled=true\n"), std::string::npos);

    // Adding again still leaves one entry.
    loginItems.addBundle(bundle);
    EXPECT_EQ(resolved(), (std::vector<std::string>{mail, bundle.path}));

    loginItems.removeBundle(bundle);
    EXPECT_EQ(resolved(), std::vector<std::string>{mail});
    EXPECT_FALSE(loginItems.isLoginItem(bundle));

    bundle.path = makeBundle(R"(odd "names" $HOME `x` 100% back\slash/Plinka.app)");
    loginItems.addBundle(bundle);
    EXPECT_EQ(resolved(), (std::vector<std::string>{mail, bundle.path}));
    EXPECT_TRUE(loginItems.isLoginItem(bundle));
}

}  // namespace
}  // namespace plinka
