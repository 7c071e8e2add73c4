#include "platform/linux/scripting/DBusApplicationScripting.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

#include "base/Log.h"
#include "platform/ApplicationScripting.h"

namespace plinka {

namespace {

constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char* kIntrospectableInterface = "org.freedesktop.DBus.Introspectable";
constexpr const char* kThemeKey = "theme";
constexpr const char* kThemesKey = "themes";
constexpr const char* kVolumeKey = "volume";
constexpr const char* kMutedKey = "muted";
constexpr const char* kKeys[] = {kThemeKey, kThemesKey, kVolumeKey, kMutedKey};

// The D-Bus type each writable property takes.
QMetaType::Type typeOfKey(const QString& key) {
    return key == kVolumeKey  ? QMetaType::Double
           : key == kMutedKey ? QMetaType::Bool
                              : QMetaType::QString;
}

QString readText(const std::optional<std::string>& path) {
    QFile file(QString::fromStdString(path.value_or("")));
    return path && file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList toStringList(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names) {
        list.append(QString::fromStdString(name));
    }
    return list;
}

}  // namespace

std::unique_ptr<DBusApplicationScripting> DBusApplicationScripting::publish(
    QDBusConnection bus, const QString& busName,
    const std::optional<std::string>& introspectionPath, ScriptingDelegate& delegate,
    Application& application, Log& log) {
    if (!bus.isConnected()) {
        log.log("No session D-Bus (" + bus.lastError().message().toStdString() +
                "): scripting is off");
        return nullptr;
    }
    const QString introspection = readText(introspectionPath);
    if (introspection.isEmpty()) {
        log.log("The scripting interface description is missing from the bundle");
    }
    std::unique_ptr<DBusApplicationScripting> scripting(
        new DBusApplicationScripting(bus, busName, introspection, delegate, application, log));
    if (!bus.registerVirtualObject(kObjectPath, scripting.get())) {
        log.log(std::string("Cannot publish ") + kObjectPath + " on the session D-Bus (" +
                bus.lastError().message().toStdString() + "): scripting is off");
        return nullptr;
    }
    if (!bus.registerService(busName)) {
        log.log("Cannot own " + busName.toStdString() + " on the session D-Bus (" +
                bus.lastError().message().toStdString() + "): scripting is off");
        return nullptr;
    }
    scripting->ownsName_ = true;
    std::weak_ptr<DBusApplicationScripting*> self = scripting->self_;
    delegate.addScriptingObserver([self](const std::string& key) {
        if (const auto published = self.lock()) {
            (*published)->announceChange(key);
        }
    });
    return scripting;
}

DBusApplicationScripting::DBusApplicationScripting(QDBusConnection bus, QString busName,
                                                   QString introspection,
                                                   ScriptingDelegate& delegate,
                                                   Application& application, Log& log)
    : bus_(std::move(bus)),
      busName_(std::move(busName)),
      introspection_(std::move(introspection)),
      delegate_(delegate),
      application_(application),
      log_(log),
      self_(std::make_shared<DBusApplicationScripting*>(this)) {}

DBusApplicationScripting::~DBusApplicationScripting() {
    if (ownsName_) {
        bus_.unregisterService(busName_);
    }
    bus_.unregisterObject(kObjectPath);
}

QString DBusApplicationScripting::introspect(const QString& /*path*/) const {
    return {};
}

bool DBusApplicationScripting::handleMessage(const QDBusMessage& message,
                                             const QDBusConnection& connection) {
    const QString interface = message.interface();
    const QString member = message.member();
    if (member != "Set") {
        switchToPendingTheme();  // what follows the sets sees the theme they asked for
    }
    QDBusMessage reply;
    if (interface == kIntrospectableInterface && member == "Introspect" &&
        !introspection_.isEmpty()) {
        reply = message.createReply(introspection_);
    } else if (interface == kPropertiesInterface && member == "Get") {
        reply = get(message);
    } else if (interface == kPropertiesInterface && member == "GetAll") {
        reply = getAll(message);
    } else if (interface == kPropertiesInterface && member == "Set") {
        reply = set(message);
    } else if (interface == kInterface) {
        reply = message.createErrorReply(QDBusError::UnknownMethod, "No method " + member);
    } else {
        return false;  // Qt answers everything else, unknown calls with an error
    }
    connection.send(reply);
    return true;
}

bool DBusApplicationScripting::serves(const QString& key) const {
    return std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys) &&
           delegate_.applicationDelegateHandlesKey(application_, key.toStdString());
}

QVariant DBusApplicationScripting::valueForKey(const QString& key) const {
    if (key == kThemesKey) {
        return toStringList(delegate_.themes());
    }
    if (key == kVolumeKey) {
        return delegate_.volume();
    }
    if (key == kMutedKey) {
        return delegate_.muted();
    }
    return QString::fromStdString(delegate_.theme().value_or(""));
}

QDBusMessage DBusApplicationScripting::get(const QDBusMessage& message) const {
    if (message.signature() != "ss") {
        return message.createErrorReply(QDBusError::InvalidArgs, "Get takes two strings");
    }
    const QString interface = message.arguments().at(0).toString();
    const QString key = message.arguments().at(1).toString();
    if (!interface.isEmpty() && interface != kInterface) {
        return message.createErrorReply(QDBusError::UnknownInterface, "No interface " + interface);
    }
    if (!serves(key)) {
        return message.createErrorReply(QDBusError::UnknownProperty, "No property " + key);
    }
    return message.createReply(QVariant::fromValue(QDBusVariant(valueForKey(key))));
}

QDBusMessage DBusApplicationScripting::getAll(const QDBusMessage& message) const {
    if (message.signature() != "s") {
        return message.createErrorReply(QDBusError::InvalidArgs, "GetAll takes one string");
    }
    const QString interface = message.arguments().at(0).toString();
    if (!interface.isEmpty() && interface != kInterface) {
        return message.createErrorReply(QDBusError::UnknownInterface, "No interface " + interface);
    }
    QVariantMap values;
    for (const QString key : kKeys) {
        if (serves(key)) {
            values.insert(key, valueForKey(key));
        }
    }
    return message.createReply(values);
}

QDBusMessage DBusApplicationScripting::set(const QDBusMessage& message) {
    if (message.signature() != "ssv") {
        return message.createErrorReply(QDBusError::InvalidArgs,
                                        "Set takes two strings and a variant");
    }
    const QString interface = message.arguments().at(0).toString();
    const QString key = message.arguments().at(1).toString();
    const QVariant value = message.arguments().at(2).value<QDBusVariant>().variant();
    if (!interface.isEmpty() && interface != kInterface) {
        return message.createErrorReply(QDBusError::UnknownInterface, "No interface " + interface);
    }
    if (!serves(key)) {
        return message.createErrorReply(QDBusError::UnknownProperty, "No property " + key);
    }
    if (key == kThemesKey) {
        return message.createErrorReply(QDBusError::PropertyReadOnly, key + " is read only");
    }
    const QMetaType type(typeOfKey(key));
    if (value.metaType() != type) {
        log_.log("Refused to set " + key.toStdString() + " over D-Bus to a " +
                 std::string(value.metaType().name()) + ": it takes a " + type.name());
        return message.createErrorReply(QDBusError::InvalidArgs,
                                        key + " takes a " + QString::fromLatin1(type.name()));
    }
    if (key == kVolumeKey) {
        delegate_.setVolume(value.toDouble());
        if (std::isnan(value.toDouble())) {
            return message.createErrorReply(QDBusError::InvalidArgs, "volume takes a number");
        }
    } else if (key == kMutedKey) {
        delegate_.setMuted(value.toBool());
    } else {
        // Switching loads a theme file: a flood of sets costs one switch, to the latest name, per
        // turn of the event loop, and keys keep sounding between the turns.
        const bool scheduled = pendingTheme_.has_value();
        pendingTheme_ = value.toString().toStdString();
        if (!scheduled) {
            QTimer::singleShot(0, this, [this] { switchToPendingTheme(); });
        }
    }
    return message.createReply();
}

void DBusApplicationScripting::switchToPendingTheme() {
    const std::optional<std::string> name = std::exchange(pendingTheme_, std::nullopt);
    // The theme in force already: nothing to load, save or announce.
    if (name && name != delegate_.theme()) {
        delegate_.setTheme(*name);
    }
}

void DBusApplicationScripting::announceChange(const std::string& key) {
    const QString name = QString::fromStdString(key);
    if (!serves(name)) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, kPropertiesInterface, "PropertiesChanged");
    signal << QString(kInterface) << QVariantMap{{name, valueForKey(name)}} << QStringList();
    bus_.send(signal);
}

}  // namespace plinka
