#pragma once

#include <vector>

#include "platform/SleepWakeNotifications.h"

namespace plinka::testing {

// Sleep and wake notices posted by the test.
class FakeSleepWakeNotifications final : public SleepWakeNotifications {
  public:
    void addWillSleepObserver(Observer observer) override {
        sleepObservers.push_back(std::move(observer));
    }
    void addDidWakeObserver(Observer observer) override {
        wakeObservers.push_back(std::move(observer));
    }
    void postWillSleep() {
        for (auto& observer : sleepObservers) {
            observer();
        }
    }
    void postDidWake() {
        for (auto& observer : wakeObservers) {
            observer();
        }
    }

    std::vector<Observer> sleepObservers;
    std::vector<Observer> wakeObservers;
};

}  // namespace plinka::testing
