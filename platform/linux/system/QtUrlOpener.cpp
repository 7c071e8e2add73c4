#include "platform/linux/system/QtUrlOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace plinka {

bool QtUrlOpener::openURL(const std::string& url) {
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    return parsed.isValid() && QDesktopServices::openUrl(parsed);
}

}  // namespace plinka
