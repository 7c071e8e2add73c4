#include "platform/linux/gui/TrayAvailability.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <string>

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>

namespace plinka {

namespace {

const QString kWatcher = "org.kde.StatusNotifierWatcher";
constexpr int kCallTimeoutMs = 1000;

}  // namespace

TrayAvailability::TrayAvailability() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        watcher_ =
            std::make_unique<QDBusServiceWatcher>(kWatcher, bus,
                                                  QDBusServiceWatcher::WatchForRegistration |
                                                      QDBusServiceWatcher::WatchForUnregistration);
        connect(watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
                &TrayAvailability::checkStatusNotifierHost);
        bus.connect(kWatcher, "/StatusNotifierWatcher", kWatcher, "StatusNotifierHostRegistered",
                    this, SLOT(checkStatusNotifierHost()));
        checkStatusNotifierHost();
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        watchXEmbedTray();
    }
}

TrayAvailability::~TrayAvailability() {
    closeDisplay();
}

void TrayAvailability::checkStatusNotifierHost() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, "/StatusNotifierWatcher",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const bool registered = bus.interface()->isServiceRegistered(kWatcher);
    const QDBusMessage reply =
        registered ? bus.call(get, QDBus::Block, kCallTimeoutMs) : QDBusMessage();
    const bool host = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                      reply.arguments().front().value<QDBusVariant>().variant().toBool();
    if (host != statusNotifierHost_) {
        statusNotifierHost_ = host;
        emit changed();
    }
}

// A tray announces itself to the root window with a MANAGER message once it owns the selection.
void TrayAvailability::watchXEmbedTray() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return;
    }
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display_));
    trayAtom_ = XInternAtom(display_, selection.c_str(), False);
    managerAtom_ = XInternAtom(display_, "MANAGER", False);
    XSelectInput(display_, DefaultRootWindow(display_), StructureNotifyMask);
    if (XGetSelectionOwner(display_, trayAtom_) != 0) {
        xembedTray_ = true;
        closeDisplay();
        return;
    }
    x11Events_ =
        std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    connect(x11Events_.get(), &QSocketNotifier::activated, this, [this] { readX11Events(); });
    readX11Events();  // those the round trip above already read from the socket
}

void TrayAvailability::readX11Events() {
    while (display_ != nullptr && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && event.xclient.message_type == managerAtom_ &&
            static_cast<unsigned long>(event.xclient.data.l[1]) == trayAtom_) {
            xembedTray_ = true;
            // Not from inside the notifier's own signal.
            QMetaObject::invokeMethod(
                this, [this] { closeDisplay(); }, Qt::QueuedConnection);
            emit changed();
            return;
        }
    }
}

void TrayAvailability::closeDisplay() {
    x11Events_.reset();
    if (display_ != nullptr) {
        XCloseDisplay(display_);
        display_ = nullptr;
    }
}

}  // namespace plinka
