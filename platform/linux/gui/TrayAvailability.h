#pragma once

#include <QObject>
#include <memory>

class QDBusServiceWatcher;
class QSocketNotifier;
struct _XDisplay;

namespace plinka {

// Whether the desktop has a tray for icons, and when one appears: a StatusNotifier host on the
// session D-Bus, or an XEmbed system tray on the X display. Qt decides once per process whether
// it uses the D-Bus tray, at its first tray icon; asked here instead, no icon need be made before
// a tray exists, and the first one is made for the tray there is.
class TrayAvailability final : public QObject {
    Q_OBJECT

  public:
    TrayAvailability();
    ~TrayAvailability() override;

    bool isAvailable() const { return statusNotifierHost_ || xembedTray_; }

  signals:
    // A tray appeared (or the D-Bus one went).
    void changed();

  private slots:
    void checkStatusNotifierHost();

  private:
    void watchXEmbedTray();
    void readX11Events();
    void closeDisplay();

    bool statusNotifierHost_ = false;
    bool xembedTray_ = false;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    // Our own connection, open only while waiting for an XEmbed tray.
    _XDisplay* display_ = nullptr;
    unsigned long trayAtom_ = 0;
    unsigned long managerAtom_ = 0;
    std::unique_ptr<QSocketNotifier> x11Events_;
};

}  // namespace plinka
