// Plinka: a sound for every key pressed and released on the desktop.
#include <QApplication>
#include <QDBusConnection>
#include <QTimer>
#include <chrono>

#include "app/AppController.h"
#include "platform/Bundle.h"
#include "platform/Log.h"
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
#include "platform/linux/scripting/DBusApplicationScripting.h"
#include "platform/linux/system/CrashHandler.h"
#include "platform/linux/system/DirectoryCrashReports.h"
#include "platform/linux/system/PosixCommandRunner.h"
#include "platform/linux/system/QtUrlOpener.h"
#include "platform/linux/system/UnameProcessInformation.h"
#include "platform/linux/system/UnavailableSystemAttributes.h"
#include "platform/linux/system/XdgAutostartLoginItems.h"
#include "platform/linux/update/LinuxSystemProfile.h"
#include "platform/linux/update/QtAppcastLoader.h"
#include "sound/SoundController.h"
#include "support/CrashReporter.h"
#include "support/LoginItems.h"
#include "support/PLKAdditions.h"
#include "support/SUUpdater.h"

namespace {

using namespace plinka;

// The user's choice of key-capture backend: "inputBackend" = "evdev" or "x11".
std::optional<InputBackend> chosenInputBackend(const UserDefaults& defaults) {
    const auto name = defaults.stringForKey("inputBackend");
    return name ? inputBackendNamed(*name) : std::nullopt;
}

// Now, in seconds since 2001-01-01 00:00:00 UTC, the epoch of property-list dates.
double currentDate() {
    constexpr double kReferenceDateInUnixTime = 978307200;
    const auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceUnixEpoch).count() - kReferenceDateInUnixTime;
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
    LinuxEventTapService eventTaps(
        LinuxEventTapService::sessionOptions(chosenInputBackend(defaults)));
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
    DesktopServices desktop{eventTaps, alerts,   qtApplication, statusBar,   defaults, processes,
                            urls,      settings, loginItems,    information, chores};

    AppController::initialize(platform, desktop);
    AppController controller(platform, desktop, SoundController::sharedInstance());

    QtAppcastLoader appcasts(AppcastFetchLimits{});
    LinuxSystemProfile systemProfile;
    SUUpdater& updater = SUUpdater::sharedUpdater(
        {defaults, information, systemProfile, appcasts, platform.log, currentDate});
    updater.setDelegate(&controller);
    chores.checkForUpdateInformation = [&updater] { updater.checkForUpdateInformation(); };

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
    const auto scripting = DBusApplicationScripting::publish(
        QDBusConnection::sessionBus(), QString::fromStdString(identifier),
        bundle.pathForResource("org.plinka.Plinka", "xml"), controller, qtApplication,
        platform.log);
    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     [&] { controller.applicationWillTerminate(); });
    QTimer::singleShot(0, [&] { controller.applicationDidFinishLaunching(); });
    return QApplication::exec();
}
