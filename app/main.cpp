// Plinka: a sound for every key pressed and released on the desktop.
#include <QApplication>
#include <QTimer>

#include "app/AppController.h"
#include "base/Log.h"
#include "platform/Bundle.h"
#include "platform/Platform.h"
#include "platform/UserDefaults.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/defaults/PlistUserDefaults.h"
#include "platform/linux/gui/DesktopSystemSettings.h"
#include "platform/linux/gui/PreferencesWindow.h"
#include "platform/linux/gui/QtAlertPresenter.h"
#include "platform/linux/gui/QtApplication.h"
#include "platform/linux/gui/QtStatusBar.h"
#include "platform/linux/input/LinuxEventTapService.h"
#include "platform/linux/process/ProcfsProcessManager.h"
#include "platform/linux/process/ReopenListener.h"
#include "platform/linux/system/CrashHandler.h"
#include "platform/linux/system/DirectoryCrashReports.h"
#include "platform/linux/system/InputGroupAccess.h"
#include "platform/linux/system/PosixCommandRunner.h"
#include "platform/linux/system/QtUrlOpener.h"
#include "platform/linux/system/UnameProcessInformation.h"
#include "platform/linux/system/UnavailableSystemAttributes.h"
#include "platform/linux/system/XdgAutostartLoginItems.h"
#include "sound/SoundController.h"
#include "support/CrashReporter.h"
#include "support/LoginItems.h"
#include "support/PLKAdditions.h"

namespace {

using namespace plinka;

// The user's choice of key-capture backend: "inputBackend" = "evdev" or "x11".
std::optional<InputBackend> chosenInputBackend(const UserDefaults& defaults) {
    const auto name = defaults.stringForKey("inputBackend");
    return name ? inputBackendNamed(*name) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    // Made before the shared instances, so it goes after them.
    static LinuxPlatform services(LinuxPlatform::Options{});
    Platform& platform = services.platform();
    Platform::installShared(platform);
    const Bundle& bundle = platform.mainBundle;
    const std::string identifier = bundle.bundleIdentifier().value_or("org.plinka.Plinka");

    UnameProcessInformation processInformation;
    UnavailableSystemAttributes systemAttributes;
    PosixCommandRunner commands;
    PLKAdditions information(SystemInformationServices{platform.log, bundle, processInformation,
                                                       systemAttributes, commands});
    if (const auto crashes =
            DirectoryCrashReports::defaultDirectory(information.applicationName())) {
        CrashHandler::install(*crashes, "Plinka", information.applicationVersion().value_or("?"));
    }

    PlistUserDefaults defaults(PlistUserDefaults::standardDirectory(), identifier, platform.log);
    const auto inputOptions = LinuxEventTapService::sessionOptions(chosenInputBackend(defaults));
    LinuxEventTapService eventTaps(inputOptions);
    InputGroupAccess keyboardAccess({.devices = inputOptions.evdev.directory}, commands,
                                    platform.log);
    QtAlertPresenter alerts;
    std::unique_ptr<PreferencesWindow> preferences;
    QtApplication qtApplication(bundle, [&preferences] {
        if (preferences) {
            preferences->show();
        }
    });
    QtStatusBar statusBar(bundle);
    ProcfsProcessManager processes;
    QtUrlOpener urls;
    DesktopSystemSettings settings;
    XdgAutostartLoginItems autostart(XdgAutostartLoginItems::defaultDirectory());
    LoginItems loginItems(autostart);
    DirectoryCrashReports crashReports(
        DirectoryCrashReports::defaultDirectory(information.applicationName()).value_or(""));
    CrashReporter crashReporter(
        CrashReporterServices{crashReports, alerts, urls, information, platform.log});
    LaunchChores chores;
    chores.crashReporterCheck = [&crashReporter] { return crashReporter.check(); };
    DesktopServices desktop{eventTaps, keyboardAccess, alerts,      qtApplication,
                            statusBar, defaults,       processes,   urls,
                            settings,  loginItems,     information, chores};

    AppController::initialize(platform, desktop);
    AppController controller(platform, desktop, SoundController::sharedInstance());

    std::string error;
    if (const auto path = bundle.pathForResource("MainMenu", "ui")) {
        preferences =
            PreferencesWindow::load(*path,
                                    {[&] { controller.toggleShowMenuBarIcon(); },
                                     [&] { controller.toggleCheckForUpdates(); },
                                     [&](int state) { controller.toggleStartAtLogin(state); },
                                     [&] { controller.showLoginItems(); },
                                     [&] { return defaults.boolForKey("showInMenuBar"); },
                                     [&] { return defaults.boolForKey("SUEnableAutomaticChecks"); },
                                     [&] { return loginItems.isLoginItem(bundle); }},
                                    &error);
    }
    if (!preferences) {
        platform.log.log("Cannot load the main interface file: " + error);
    }
    if (application.arguments().contains("--preferences") && preferences) {
        preferences->show();
    }

    controller.awakeFromNib();
    auto reopen =
        ReopenListener::listen([&] { controller.applicationShouldHandleReopen(false); }, &error);
    if (!reopen) {
        platform.log.log("Cannot answer reopen requests: " + error);
    }
    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     [&] { controller.applicationWillTerminate(); });
    QTimer::singleShot(0, [&] { controller.applicationDidFinishLaunching(); });
    return QApplication::exec();
}
