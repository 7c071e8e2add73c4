#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace plinka::testing {

// Runs the Qt event loop until the condition holds or the time is up; answers the condition.
inline bool processEventsUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return condition();
}

}  // namespace plinka::testing
