#include "platform/linux/gui/DesktopSystemSettings.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/linux/plist/PropertyList.h"

namespace plinka {

bool DesktopSystemSettings::revealLoginItems(const std::string& /*appleScriptSource*/) {
    // The AppleScript is the macOS layer's; here the desktop's own tools stand in for it.
    for (const char* tool : {"gnome-session-properties", "mate-session-properties",
                             "xfce4-session-settings", "lxsession-default-apps"}) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty() && QProcess::startDetached(path, {})) {
            return true;
        }
    }
    const QString autostart =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart";
    QDir().mkpath(autostart);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(autostart));
}

Object DesktopSystemSettings::dictionaryWithContentsOfFile(const std::string& path) {
    auto contents = readPropertyListFile(path, nullptr);
    if (!contents || contents->dictionaryValue() == nullptr) {
        return Object();
    }
    return std::move(*contents);
}

}  // namespace plinka
