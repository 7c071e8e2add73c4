// Plinka: a sound for every key pressed and released on the desktop.
#include <QApplication>

#include "app/AppController.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/gui/QtAlertPresenter.h"
#include "platform/linux/gui/QtApplication.h"
#include "platform/linux/input/LinuxEventTapService.h"
#include "sound/SoundController.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    // Made before the shared instances, so it goes after them.
    static plinka::LinuxPlatform services(plinka::LinuxPlatform::Options{});
    plinka::Platform::installShared(services.platform());

    plinka::LinuxEventTapService eventTaps(
        plinka::LinuxEventTapService::sessionOptions(std::nullopt));
    plinka::QtAlertPresenter alerts;
    plinka::QtApplication qtApplication(services.platform().mainBundle, {});
    plinka::DesktopServices desktop{eventTaps, alerts, qtApplication};

    plinka::AppController controller(services.platform(), desktop,
                                     plinka::SoundController::sharedInstance());
    controller.awakeFromNib();
    controller.applicationDidFinishLaunching();
    return QApplication::exec();
}
