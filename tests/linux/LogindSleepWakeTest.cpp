#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "PrivateBus.h"
#include "QtEventWait.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/LogindSleepWakeNotifications.h"

namespace plinka {
namespace {

using ::testing::ElementsAre;
using testing::PrivateBus;
using testing::processEventsUntil;

// The system bus is chosen once per process, so one test covers the bus that is there and a
// child process covers the bus that is absent.
TEST(LogindSleepWake, PrepareForSleepFromLogindReachesTheObservers) {
    PrivateBus bus;  // stands in for the system bus
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon is needed";
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().c_str(), 1);
    QDBusConnection logind =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "logind");
    ASSERT_TRUE(logind.registerService("org.freedesktop.login1"));
    testing::RecordingLog log;
    LogindSleepWakeNotifications notifications(log);
    ASSERT_TRUE(notifications.isListening());
    std::vector<std::string> seen;
    notifications.addWillSleepObserver([&] { seen.push_back("sleep"); });
    notifications.addDidWakeObserver([&] { seen.push_back("wake"); });

    auto send = [&](bool sleeping) {
        auto signal = QDBusMessage::createSignal(
            "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep");
        signal << sleeping;
        return logind.send(signal);
    };
    // The bus takes the match rule and Qt learns the name's owner asynchronously, so the first
    // signals may go unheard; repeat the sleep signal until one arrives, then wake once.
    for (int attempt = 0; attempt < 50 && seen.empty(); ++attempt) {
        ASSERT_TRUE(send(true));
        processEventsUntil([&] { return !seen.empty(); }, 100);
    }
    ASSERT_FALSE(seen.empty());
    ASSERT_TRUE(send(false));
    ASSERT_TRUE(processEventsUntil([&] { return seen.back() == "wake"; }));
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    EXPECT_THAT(seen, ElementsAre("sleep", "wake"));
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace plinka
