// Plinka: a sound for every key pressed and released on the desktop.
#include <malloc.h>

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/AppController.h"
#include "base/Format.h"
#include "base/Log.h"
#include "platform/Bundle.h"
#include "platform/Platform.h"
#include "platform/UserDefaults.h"
#include "platform/linux/DirectoryBundle.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/SystemLog.h"
#include "platform/linux/defaults/PlistUserDefaults.h"
#include "platform/linux/gui/DesktopSystemSettings.h"
#include "platform/linux/gui/DisplayCheck.h"
#include "platform/linux/gui/PreferencesWindow.h"
#include "platform/linux/gui/QtAlertPresenter.h"
#include "platform/linux/gui/QtApplication.h"
#include "platform/linux/gui/QtStatusBar.h"
#include "platform/linux/input/KeyMapNames.h"
#include "platform/linux/input/LinuxEventTapService.h"
#include "platform/linux/install/LinuxApplicationInstallation.h"
#include "platform/linux/install/PkexecPrivilegedExecution.h"
#include "platform/linux/install/PosixFileManager.h"
#include "platform/linux/packimport/ChildSoundPackInstaller.h"
#include "platform/linux/process/ProcfsProcessManager.h"
#include "platform/linux/process/ReopenListener.h"
#include "platform/linux/process/RunningCopy.h"
#include "platform/linux/scripting/DBusApplicationScripting.h"
#include "platform/linux/system/CrashHandler.h"
#include "platform/linux/system/DirectoryCrashReports.h"
#include "platform/linux/system/InputGroupAccess.h"
#include "platform/linux/system/NoAliasFiles.h"
#include "platform/linux/system/PosixCommandRunner.h"
#include "platform/linux/system/QtUrlOpener.h"
#include "platform/linux/system/SystemClock.h"
#include "platform/linux/system/TerminationSignals.h"
#include "platform/linux/system/UnameProcessInformation.h"
#include "platform/linux/system/UnavailableSystemAttributes.h"
#include "platform/linux/system/XdgAutostartLoginItems.h"
#include "platform/linux/update/ChildAppcastLoader.h"
#include "platform/linux/update/LinuxSystemProfile.h"
#include "sound/PlaybackPreferences.h"
#include "sound/SoundController.h"
#include "support/CrashReporter.h"
#include "support/Feedback.h"
#include "support/LoginItems.h"
#include "support/MoveToApplicationsFolder.h"
#include "support/PLKAdditions.h"
#include "support/SUUpdater.h"

namespace {

using namespace plinka;

// The user's choice of key-capture backend: "inputBackend" = "evdev" or "x11".
std::optional<InputBackend> chosenInputBackend(const UserDefaults& defaults) {
    const auto name = defaults.stringForKey("inputBackend");
    return name ? inputBackendNamed(*name) : std::nullopt;
}

// --mute, --unmute and --toggle-mute, which the running copy carries out.
std::optional<ReopenRequest> muteSwitch(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const auto& [name, request] :
             {std::pair{"--mute", ReopenRequest::Mute},
              std::pair{"--unmute", ReopenRequest::Unmute},
              std::pair{"--toggle-mute", ReopenRequest::ToggleMute}}) {
            if (std::strcmp(argv[i], name) == 0) {
                return request;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    // A switch for the running copy needs neither a display nor sound.
    if (const auto request = muteSwitch(argc, argv)) {
        const DirectoryBundle bundle(DirectoryBundle::locateMainBundle().value_or(""));
        if (sendToRunningCopy(bundle.bundleIdentifier().value_or("org.plinka.Plinka"), *request)) {
            return 0;
        }
        std::fputs("Plinka is not running\n", stderr);
        return 1;
    }
    if (const auto problem = unreachableDisplay()) {
        SystemLog("Plinka").log(*problem);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const bool showPreferences = application.arguments().contains("--preferences");
    // Started at login or by a script: no window of its own at launch, not even without a tray.
    const bool background = application.arguments().contains("--background");
    // SIGTERM, SIGINT and SIGHUP end the application as its Quit command does.
    std::string error;
    const auto terminationSignals =
        TerminationSignals::install([](int) { QCoreApplication::quit(); }, &error);

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

    // The command line's "-key value" pairs override the defaults for this run.
    std::vector<std::string> arguments;
    for (const QString& argument : application.arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }
    PlistUserDefaults defaults(PlistUserDefaults::standardDirectory(), identifier, platform.log,
                               arguments);
    const auto inputOptions = LinuxEventTapService::sessionOptions(chosenInputBackend(defaults));
    LinuxEventTapService eventTaps(inputOptions);
    InputGroupAccess keyboardAccess({.devices = inputOptions.evdev.directory}, commands,
                                    platform.log);
    QtAlertPresenter alerts;
    std::unique_ptr<PreferencesWindow> preferences;
    QtApplication qtApplication(bundle, [&preferences] { preferences->show(); });
    QtStatusBar statusBar(bundle);
    // A copy started for its Preferences shows those of the running copy instead.
    ProcfsProcessManager processes(showPreferences ? ReopenRequest::ShowPreferences
                                                   : ReopenRequest::Reopen);
    QtUrlOpener urls;
    DesktopSystemSettings settings;
    XdgAutostartLoginItems autostart(XdgAutostartLoginItems::defaultDirectory());
    LoginItems loginItems(autostart);
    DirectoryCrashReports crashReports(
        DirectoryCrashReports::defaultDirectory(information.applicationName()).value_or(""));
    CrashReporter crashReporter(
        CrashReporterServices{crashReports, alerts, urls, information, platform.log});
    SystemClock clock;
    LaunchChores chores;
    chores.crashReporterCheck = [&crashReporter] { return crashReporter.check(); };
    chores.feedbackSharedInstance = [&] {
        Feedback::sharedInstance(FeedbackServices{defaults, alerts, qtApplication, urls,
                                                  information, bundle, processInformation, clock,
                                                  platform.log});
    };
    PosixFileManager files;
    LinuxApplicationInstallation installation(
        LinuxApplicationInstallation::sessionPlaces(bundle.bundlePath()));
    PkexecPrivilegedExecution authorization(commands);
    NoAliasFiles aliases;
    chores.offerMoveToApplicationsFolder = [&] {
        return offerMoveToApplicationsFolder(MoveToApplicationsFolderServices{
            defaults, bundle, alerts, qtApplication, files, installation, authorization, commands,
            aliases, platform.log});
    };
    KeyMapNames keyNames;
    ChildSoundPackInstaller packs(bundle.bundlePath() + "/Contents/MacOS/plinka-import-pack");
    DesktopServices desktop{eventTaps,   keyboardAccess, alerts, qtApplication, statusBar,
                            defaults,    processes,      urls,   settings,      loginItems,
                            information, chores,         files,  keyNames,      packs};

    AppController::initialize(platform, desktop);
    AppController controller(platform, desktop, SoundController::sharedInstance());
    PlaybackPreferences playback(defaults, SoundController::sharedInstance(), platform.log);

    ChildAppcastLoader appcasts(bundle.bundlePath() + "/Contents/MacOS/plinka-appcast");
    LinuxSystemProfile systemProfile;
    SUUpdater& updater = SUUpdater::sharedUpdater(
        {defaults, information, systemProfile, appcasts, platform.log, clock});
    updater.setDelegate(&controller);
    chores.checkForUpdateInformation = [&updater] { updater.checkForUpdateInformation(); };

    preferences = std::make_unique<PreferencesWindow>(controller, bundle);
    // Without a tray the window is the way in; it says so while there is none.
    const std::string noTrayNotice = stringWithFormat(
        "This desktop shows no tray icon, so %1$@ opens this window instead. %1$@ keeps playing "
        "when you close it; to come back here, start %1$@ again from your applications.",
        {information.applicationName()});
    auto showNotice = [&] {
        preferences->setNotice(statusBar.trays().isAvailable() ? "" : noTrayNotice);
    };
    showNotice();
    QObject::connect(&statusBar.trays(), &TrayAvailability::changed, showNotice);
    if (!terminationSignals) {
        platform.log.log("Cannot end on signals: " + error);
    }

    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     [&] { controller.applicationWillTerminate(); });
    controller.awakeFromNib();
    // A copy that handed over to the running one quits now: it answers nothing, publishes
    // nothing and runs no launch chore.
    if (controller.terminationRequested()) {
        return QApplication::exec();
    }
    auto reopen = ReopenListener::listen(
        [&](ReopenRequest request) {
            switch (request) {
                case ReopenRequest::Mute:
                case ReopenRequest::Unmute:
                    controller.setMuted(request == ReopenRequest::Mute);
                    break;
                case ReopenRequest::ToggleMute:
                    controller.toggleMuted();
                    break;
                case ReopenRequest::Reopen:
                    if (statusBar.trays().isAvailable()) {
                        controller.applicationShouldHandleReopen(false);
                        break;
                    }
                    [[fallthrough]];  // no menu to pop up: the window instead
                case ReopenRequest::ShowPreferences:
                    preferences->show();
                    break;
            }
        },
        &error);
    if (!reopen) {
        platform.log.log("Cannot answer reopen requests: " + error);
    }
    // After the single-copy guard has had its say: a copy that yields shows nothing.
    QTimer::singleShot(0, [&] {
        const bool noTray = !statusBar.trays().isAvailable();
        if (!qtApplication.isTerminating() && !background && (showPreferences || noTray)) {
            preferences->show();
        }
    });
    const auto scripting = DBusApplicationScripting::publish(
        QDBusConnection::sessionBus(), QString::fromStdString(identifier),
        bundle.pathForResource("org.plinka.Plinka", "xml"), controller, qtApplication,
        platform.log);
    QTimer::singleShot(0, [&] { controller.applicationDidFinishLaunching(); });
    // Start-up frees most of what it allocates (the theme's archive above all), but the
    // allocator keeps those pages; hand them back once the launch is over.
    QTimer::singleShot(std::chrono::seconds(2), [] { malloc_trim(0); });
    return QApplication::exec();
}
