// Plinka's scripting face on a private session bus, driven by the tools people script it with:
// busctl, gdbus and dbus-send.
#include <gmock/gmock.h>

#include <signal.h>

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

    PrivateBus bus;
};

// The theme, volume and mute read and set over the bus, each change announced; plinka --mute,
// --unmute and --toggle-mute hand the switch to the running copy, or say in one line that none
// runs.
TEST_F(ScriptingTest, ScriptsReadAndSetTheSettingsAndHearOfEachChange) {
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon could not start a bus";
    PlinkaSession session(display());
    auto alone = session.start({"--mute"});
    EXPECT_EQ(alone->waitForExit(), 1);
    EXPECT_EQ(alone->output(), "Plinka is not running\n");

    session.useSessionBus(bus.address());
    session.writeDefaults({{Object::string("soundTheme"), Object::string("Bubbles")}});
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

    EXPECT_TRUE(busctl("set-property " + property + "volume d 0.25"));
    EXPECT_TRUE(readUntil(monitor, "{'volume': <0.25>}"));
    EXPECT_EQ(busctl("set-property " + property + "volume s loud"), std::nullopt);
    EXPECT_EQ(busctl("get-property " + property + "volume"), "d 0.25\n");
    for (const auto& [option, muted] :
         {std::pair{"--mute", "b true\n"}, std::pair{"--toggle-mute", "b false\n"},
          std::pair{"--toggle-mute", "b true\n"}, std::pair{"--unmute", "b false\n"}}) {
        auto copy = session.start({option});
        EXPECT_EQ(copy->waitForExit(), 0) << copy->output();
        EXPECT_EQ(busctl("get-property " + property + "muted"), muted) << option;
    }
    EXPECT_TRUE(readUntil(monitor, "{'muted': <true>}"));

    // Introspection answers the bundle's interface description (dbus-send indents it).
    EXPECT_EQ(
        onBus("dbus-send", "--bus=" + bus.address() + " --print-reply=literal --dest=" + name +
                               " /org/plinka/Plinka "
                               "org.freedesktop.DBus.Introspectable.Introspect"),
        "   " + fileContents(session.bundle() + "/Contents/Resources/org.plinka.Plinka.xml"));
    ASSERT_EQ(::kill(plinka->pid(), SIGTERM), 0);
    EXPECT_EQ(plinka->waitForExit(), 0);
    EXPECT_THAT(plinka->output(), HasSubstr("Refused to set volume over D-Bus to a QString"));
}

}  // namespace
}  // namespace plinka::testing
