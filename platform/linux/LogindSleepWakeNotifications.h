#pragma once

#include <QObject>
#include <vector>

#include "platform/SleepWakeNotifications.h"

namespace plinka {

class Log;

// logind's PrepareForSleep signal on the system D-Bus: true before sleep, false after wake.
// Without a system bus there are no notices, and one line says so.
class LogindSleepWakeNotifications final : public QObject, public SleepWakeNotifications {
    Q_OBJECT

  public:
    explicit LogindSleepWakeNotifications(Log& log);

    void addWillSleepObserver(Observer observer) override;
    void addDidWakeObserver(Observer observer) override;
    // Whether the signal is being listened to.
    bool isListening() const { return listening_; }

  private slots:
    void prepareForSleep(bool sleeping);

  private:
    std::vector<Observer> sleepObservers_;
    std::vector<Observer> wakeObservers_;
    bool listening_ = false;
};

}  // namespace plinka
