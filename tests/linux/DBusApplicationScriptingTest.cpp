// The scripting face on a private bus, flooded: theme sets cost one switch per turn of the
// event loop, to the latest name, and a set to the theme in force costs none.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <algorithm>
#include <chrono>
#include <thread>

#include "PrivateBus.h"
#include "QtEventWait.h"
#include "doubles/FakeDesktop.h"
#include "doubles/RecordingLog.h"
#include "platform/Application.h"
#include "platform/ApplicationScripting.h"
#include "platform/linux/scripting/DBusApplicationScripting.h"

namespace plinka {
namespace {

// Switches at once, as loading a theme never does; answers the name it switched to.
class SwitchingDelegate final : public ScriptingDelegate {
  public:
    bool applicationDelegateHandlesKey(Application&, const std::string&) override { return true; }
    std::optional<std::string> theme() const override { return current; }
    void setTheme(const std::string& name) override { current = switches.emplace_back(name); }
    std::vector<std::string> themes() const override { return {}; }
    double volume() const override { return 1.0; }
    void setVolume(double) override {}
    bool muted() const override { return false; }
    void setMuted(bool) override {}
    void addScriptingObserver(KeyObserver) override {}

    std::string current = "A";
    std::vector<std::string> switches;
};

TEST(DBusApplicationScripting, AFloodOfThemeSetsSwitchesOnceToTheLatest) {
    testing::PrivateBus bus;
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon is needed";
    const QString address = QString::fromStdString(bus.address());
    SwitchingDelegate delegate;
    testing::DesktopJournal journal;
    testing::FakeApplication application{journal};
    testing::RecordingLog log;
    const auto scripting = DBusApplicationScripting::publish(
        QDBusConnection::connectToBus(address, "plinka"), "org.plinka.Flooded", std::nullopt,
        delegate, application, log);
    ASSERT_TRUE(scripting) << ::testing::PrintToString(log.lines());

    QDBusConnection client = QDBusConnection::connectToBus(address, "client");
    std::vector<QDBusPendingCall> calls;
    auto flood = [&](const std::vector<QString>& names) {
        for (int i = 0; i < 200; ++i) {
            QDBusMessage set = QDBusMessage::createMethodCall(
                "org.plinka.Flooded", DBusApplicationScripting::kObjectPath,
                "org.freedesktop.DBus.Properties", "Set");
            set << QString(DBusApplicationScripting::kInterface) << QString("theme")
                << QVariant::fromValue(QDBusVariant(names[static_cast<size_t>(i) % names.size()]));
            calls.push_back(client.asyncCall(set));
        }
        // All of them wait for the main thread, as they do behind a theme that is loading.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        ASSERT_TRUE(testing::processEventsUntil([&] {
            return std::all_of(calls.begin(), calls.end(),
                               [](const QDBusPendingCall& call) { return call.isFinished(); });
        }));
    };
    flood({"A", "B"});
    EXPECT_THAT(delegate.switches, ::testing::ElementsAre("B"));
    flood({"B"});
    EXPECT_THAT(delegate.switches, ::testing::ElementsAre("B"));
    EXPECT_TRUE(std::none_of(calls.begin(), calls.end(),
                             [](const QDBusPendingCall& call) { return call.isError(); }));
}

}  // namespace
}  // namespace plinka
