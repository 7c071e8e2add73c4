#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "app/AppController.h"
#include "doubles/FakeEventTapService.h"
#include "platform/Alert.h"
#include "platform/Application.h"

namespace plinka::testing {

// Everything the desktop shows or does, in the order it happened.
class DesktopJournal {
  public:
    void note(std::string entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

// Alerts answered by the test; each is noted as "alert: <message text>".
class FakeAlertPresenter final : public AlertPresenter {
  public:
    explicit FakeAlertPresenter(DesktopJournal& journal) : journal_(journal) {}
    int runModal(const Alert& alert) override {
        shown.push_back(alert);
        journal_.note("alert: " + alert.messageText);
        return answer;
    }
    int answer = NSAlertDefaultReturn;
    std::vector<Alert> shown;

  private:
    DesktopJournal& journal_;
};

// Notes beeps and terminations instead of making them.
class FakeApplication final : public Application {
  public:
    explicit FakeApplication(DesktopJournal& journal) : journal_(journal) {}
    void beep() override { journal_.note("beep"); }
    void terminate() override { journal_.note("terminate"); }

  private:
    DesktopJournal& journal_;
};

// The desktop services as doubles, and the DesktopServices that refers to them.
struct FakeDesktop {
    DesktopJournal journal;
    FakeEventTapService eventTaps;
    FakeAlertPresenter alerts{journal};
    FakeApplication application{journal};
    DesktopServices services{eventTaps, alerts, application};
};

}  // namespace plinka::testing
