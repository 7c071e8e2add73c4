#include "platform/linux/LogindSleepWakeNotifications.h"

#include <QDBusConnection>
#include <QDBusError>

#include "base/Log.h"

namespace plinka {

LogindSleepWakeNotifications::LogindSleepWakeNotifications(Log& log) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        log.log("No system D-Bus (" + bus.lastError().message().toStdString() +
                "): sleep and wake will not be noticed");
        return;
    }
    listening_ = bus.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                             "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                             SLOT(prepareForSleep(bool)));
    if (!listening_) {
        log.log("Cannot listen for sleep and wake on the system D-Bus: " +
                bus.lastError().message().toStdString());
    }
}

void LogindSleepWakeNotifications::addWillSleepObserver(Observer observer) {
    sleepObservers_.push_back(std::move(observer));
}

void LogindSleepWakeNotifications::addDidWakeObserver(Observer observer) {
    wakeObservers_.push_back(std::move(observer));
}

void LogindSleepWakeNotifications::prepareForSleep(bool sleeping) {
    for (auto& observer : sleeping ? sleepObservers_ : wakeObservers_) {
        observer();
    }
}

}  // namespace plinka
