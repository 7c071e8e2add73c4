// Plinka's scripting face on a private session bus, driven by the tools people script it with:
// busctl, gdbus and dbus-send.
#include <gmock/gmock.h>

#include <sstream>
#include <thread>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "PrivateBus.h"
#include "TestFiles.h"

namespace plinka::testing {
namespace {

using ::testing::HasSubstr;

class ScriptingTest : public DesktopTest {
  protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (!IsSkipped() &&
            (!installed("busctl") || !installed("gdbus") || !installed("dbus-send"))) {
            GTEST_SKIP() << "busctl, gdbus and dbus-send are needed";
        }
    }
    // What the tool prints on the private bus; nullopt when it fails.
    std::optional<std::string> onBus(const std::string& tool, const std::string& arguments) {
        return output(tool + " " + arguments + " 2>/dev/null");
    }
    std::optional<std::string> busctl(const std::string& arguments) {
        return onBus("busctl --address=" + bus.address(), arguments);
    }
    // Reads the child's lines until one holds the text.
    static bool readUntil(ChildProcess& child, const std::string& text) {
        while (const auto line = child.readLine()) {
            if (line->find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    PrivateBus bus;
};

TEST_F(ScriptingTest, ScriptsReadAndSetTheThemeAndHearOfEachChange) {
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon could not start a bus";
    PlinkaSession session(display());
    session.useSessionBus(bus.address());
    session.writeDefaults({{"soundTheme", "Bubbles"}});
    auto plinka = session.start();
    const std::string name = session.identifier();
    const std::string property = name + " /org/plinka/Plinka org.plinka.Plinka ";
    ASSERT_TRUE(eventually([&] {
        return busctl("get-property " + property + "theme").has_value();
    })) << plinka->output();
    EXPECT_EQ(busctl("get-property " + property + "theme"), "s \"Bubbles\"\n");
    EXPECT_EQ(busctl("get-property " + property + "themes"),
              "as 5 \"Off\" \"Bubbles\" \"Mechanical\" \"Speaking\" \"Typewriter\"\n");

    ChildProcess::Options options;
    options.arguments = {"monitor", "--address",     bus.address(),       "--dest",
                         name,      "--object-path", "/org/plinka/Plinka"};
    ChildProcess monitor(programPath("gdbus"), options);
    // Once it has found the name's owner, its match rule is in place.
    ASSERT_TRUE(readUntil(monitor, "is owned by"));

    EXPECT_TRUE(busctl("set-property " + property + "theme s Typewriter"));
    const std::string gdbusGet = "call --address " + bus.address() + " --dest " + name +
                                 " --object-path /org/plinka/Plinka --method "
                                 "org.freedesktop.DBus.Properties.Get org.plinka.Plinka theme";
    EXPECT_EQ(onBus("gdbus", gdbusGet), "(<'Typewriter'>,)\n");
    EXPECT_TRUE(readUntil(monitor,
                          "PropertiesChanged ('org.plinka.Plinka', "
                          "{'theme': <'Typewriter'>}, @as [])"));

    // No such theme: "Off" is in force, and reads say so.
    EXPECT_TRUE(busctl("set-property " + property + "theme s Nonesuch"));
    EXPECT_EQ(busctl("get-property " + property + "theme"), "s \"Off\"\n");
    EXPECT_TRUE(readUntil(monitor, "{'theme': <'Off'>}"));

    EXPECT_EQ(busctl("set-property " + property + "themes as 1 Off"), std::nullopt);
    EXPECT_EQ(busctl("set-property " + property + "theme u 3"), std::nullopt);
    EXPECT_EQ(busctl("get-property " + property + "Theme"), std::nullopt);
    EXPECT_EQ(busctl("get-property " + property + "theme"), "s \"Off\"\n");
    EXPECT_TRUE(running(plinka->pid()));

    // Introspection answers the bundle's interface description (dbus-send indents it).
    EXPECT_EQ(
        onBus("dbus-send", "--bus=" + bus.address() + " --print-reply=literal --dest=" + name +
                               " /org/plinka/Plinka "
                               "org.freedesktop.DBus.Introspectable.Introspect"),
        "   " + fileContents(session.bundle() + "/Contents/Resources/org.plinka.Plinka.xml"));
}

}  // namespace
}  // namespace plinka::testing
