#include "app/ImportSoundPack.h"

#include "app/AppController.h"
#include "base/FileUrl.h"
#include "base/Log.h"
#include "platform/Alert.h"
#include "platform/Platform.h"
#include "tools/soundpack/SoundPackImport.h"

namespace plinka {

bool importSoundPackAndSwitch(const std::string& pack, Platform& platform,
                              AppController& controller, AlertPresenter& alerts) {
    std::string error;
    const auto report = soundpack::installSoundPack(pack, std::nullopt, platform, error);
    if (!report) {
        Alert alert;
        alert.messageText = "The sound pack could not be imported.";
        alert.informativeText = error + ".";
        alert.defaultButton = "OK";
        alerts.runModal(alert);
        return false;
    }
    for (const auto& warning : report->warnings) {
        platform.log.log("Sound pack " + FileUrl::lastPathComponent(pack) + ": " + warning);
    }
    controller._setSoundThemeByName(report->name);
    return true;
}

}  // namespace plinka
