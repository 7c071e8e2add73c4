#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <memory>
#include <optional>
#include <string>

namespace plinka {

class Application;
class Log;
class ScriptingDelegate;

// The application's scripting face on a D-Bus: the object /org/plinka/Plinka, whose interface
// org.plinka.Plinka has the properties "theme" (s), "volume" (d) and "muted" (b), read and
// write, and "themes" (as, read only), served by the application's delegate through
// org.freedesktop.DBus.Properties. A value of another type is refused with an error and a log
// line. A change of a writable one is announced with PropertiesChanged; Introspect answers the
// bundle's interface description. Who may call is the bus's own policy: a session bus admits
// only its user.
class DBusApplicationScripting final : public QDBusVirtualObject {
  public:
    static constexpr const char* kObjectPath = "/org/plinka/Plinka";
    static constexpr const char* kInterface = "org.plinka.Plinka";

    // Publishes the object on the bus and takes the bus name. Without the bus, the object or
    // the name, one log line and null: the application runs on without scripting.
    static std::unique_ptr<DBusApplicationScripting> publish(
        QDBusConnection bus, const QString& busName,
        const std::optional<std::string>& introspectionPath, ScriptingDelegate& delegate,
        Application& application, Log& log);
    // Gives the name and the object back.
    ~DBusApplicationScripting() override;
    DBusApplicationScripting(const DBusApplicationScripting&) = delete;
    DBusApplicationScripting& operator=(const DBusApplicationScripting&) = delete;

    // Introspect is answered with the bundle's description; without one, Qt's own answer
    // lists only the standard interfaces.
    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

  private:
    DBusApplicationScripting(QDBusConnection bus, QString busName, QString introspection,
                             ScriptingDelegate& delegate, Application& application, Log& log);

    // Whether the key is a property of the interface that the delegate serves.
    bool serves(const QString& key) const;
    QVariant valueForKey(const QString& key) const;
    QDBusMessage get(const QDBusMessage& message) const;
    QDBusMessage getAll(const QDBusMessage& message) const;
    QDBusMessage set(const QDBusMessage& message);
    // Hands the delegate the theme the last sets asked for, unless it is in force already.
    void switchToPendingTheme();
    void announceChange(const std::string& key);

    QDBusConnection bus_;
    QString busName_;
    bool ownsName_ = false;
    QString introspection_;
    ScriptingDelegate& delegate_;
    Application& application_;
    Log& log_;
    std::optional<std::string> pendingTheme_;
    // The delegate's observer finds the object gone once it is.
    std::shared_ptr<DBusApplicationScripting*> self_;
};

}  // namespace plinka
