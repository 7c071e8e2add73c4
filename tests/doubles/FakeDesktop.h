#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "ScratchDirectory.h"
#include "app/AppController.h"
#include "doubles/FakeEventTapService.h"
#include "doubles/FakeInstallation.h"
#include "doubles/FakeSoundPackInstaller.h"
#include "doubles/FakeStatusBar.h"
#include "doubles/FakeSystemInformation.h"
#include "doubles/FakeSystemSettings.h"
#include "doubles/FakeUniversalAccess.h"
#include "doubles/FakeUserDefaults.h"
#include "doubles/LonelyProcessList.h"
#include "doubles/RecordingUrlOpener.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "platform/linux/input/KeyMapNames.h"
#include "platform/linux/system/UnavailableSystemAttributes.h"
#include "platform/linux/system/XdgAutostartLoginItems.h"
#include "support/LoginItems.h"
#include "support/PLKAdditions.h"

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
    int runModalWithSuppression(const Alert& alert, bool& suppressionChecked) override {
        suppressionChecked = suppressionAnswer;
        return runModal(alert);
    }
    bool lastAlertAnswered() const override { return answered; }
    int answer = NSAlertDefaultReturn;
    bool answered = true;           // false: the alert closed unseen, as the application ended
    bool suppressionAnswer = true;  // the box as the person leaves it
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
    void activateIgnoringOtherApps() override { journal_.note("activate"); }
    void orderFrontStandardAboutPanel() override { journal_.note("about"); }
    void raisePanelsAboveAllWindows() override { journal_.note("raise panels"); }

  private:
    DesktopJournal& journal_;
};

// Notes each launch chore as it runs, answering what the test sets.
struct JournaledChores {
    explicit JournaledChores(DesktopJournal& journal) {
        chores.crashReporterCheck = [this, &journal] {
            journal.note("crash reporter");
            return crashReportsOffered;
        };
        chores.offerMoveToApplicationsFolder = [this, &journal] {
            journal.note("move offer");
            return moveOffered;
        };
        chores.feedbackSharedInstance = [&journal] { journal.note("feedback"); };
        chores.checkForUpdateInformation = [&journal] { journal.note("update check"); };
    }
    bool crashReportsOffered = false;
    bool moveOffered = false;
    LaunchChores chores;
};

// The desktop services as doubles, and the DesktopServices that refers to them.
struct FakeDesktop {
    explicit FakeDesktop(Platform& platform) : platform_(platform) {}

  private:
    Platform& platform_;  // first: the members below use it

  public:
    DesktopJournal journal;
    FakeEventTapService eventTaps;
    FakeUniversalAccess access;
    FakeAlertPresenter alerts{journal};
    FakeApplication application{journal};
    FakeStatusBar statusBar;
    FakeUserDefaults defaults;
    LonelyProcessList processes;
    RecordingUrlOpener urls;
    FakeSystemSettings settings;
    ScratchDirectory home;  // holds the session's autostart folder
    XdgAutostartLoginItems loginItemList{home.file("autostart")};
    LoginItems loginItems{loginItemList};
    FakeProcessInformation processInformation;
    UnavailableSystemAttributes systemAttributes;
    ScriptedCommandRunner commands;
    PLKAdditions information{SystemInformationServices{
        platform_.log, platform_.mainBundle, processInformation, systemAttributes, commands}};
    JournaledChores launch{journal};
    FakeFileManager files;
    KeyMapNames keyNames;
    FakeSoundPackInstaller soundPacks;
    DesktopServices services{eventTaps,   access,        alerts, application, statusBar,
                             defaults,    processes,     urls,   settings,    loginItems,
                             information, launch.chores, files,  keyNames,    soundPacks};
};

}  // namespace plinka::testing
