#include "app/ImportSoundPack.h"

#include "app/AppController.h"
#include "base/FileUrl.h"
#include "base/Log.h"
#include "platform/Alert.h"
#include "platform/SoundPackInstaller.h"

namespace plinka {

bool importSoundPackAndSwitch(const std::string& pack, const SoundPackInstaller::Options& options,
                              const SoundPackInstaller& installer, Log& log,
                              AppController& controller, AlertPresenter& alerts) {
    const auto installed = installer.install(pack, options);
    if (!installed.name) {
        Alert alert;
        alert.messageText = "The sound pack could not be imported.";
        alert.informativeText = installed.failure + ".";
        alert.defaultButton = "OK";
        alerts.runModal(alert);
        return false;
    }
    for (const auto& warning : installed.warnings) {
        log.log("Sound pack " + FileUrl::lastPathComponent(pack) + ": " + warning);
    }
    controller._setSoundThemeByName(*installed.name);
    return true;
}

}  // namespace plinka
