// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BusService.h"

#include <sys/stat.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QEvent>
#include <QStringList>
#include <QThread>
#include <QXmlStreamReader>
#include <map>
#include <set>

#include "platform/BusNames.h"

namespace lumbra {

namespace {

#include "BusInterfaceXml.inc"

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

constexpr std::string_view kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr std::string_view kIntrospectableInterface = "org.freedesktop.DBus.Introspectable";

// The interface as the introspection data declares it: each method's input
// signature, each property's type and whether it may be written.
struct Declared {
    std::set<QString> interfaces;
    // Method names are unique across the interfaces.
    std::map<QString, QString> methods;
    struct Property {
        QString type;
        bool writable = false;
    };
    std::map<QString, Property> properties;
};

const Declared& Interface() {
    static const Declared declared = [] {
        Declared d;
        QXmlStreamReader xml(Q(kIntrospection));
        bool ours = false;
        QString method;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("interface")) ours = false;
            if (!xml.isStartElement()) continue;
            const auto a = xml.attributes();
            if (xml.name() == QLatin1String("interface")) {
                ours = a.value("name").startsWith(Q(kBusName) + '.');
                if (ours) d.interfaces.insert(a.value("name").toString());
            } else if (!ours) {
                continue;
            } else if (xml.name() == QLatin1String("method")) {
                method = a.value("name").toString();
                d.methods[method];
            } else if (xml.name() == QLatin1String("arg") && a.value("direction") == QLatin1String("in")) {
                d.methods[method] += a.value("type").toString();
            } else if (xml.name() == QLatin1String("property")) {
                d.properties[a.value("name").toString()] = {
                    a.value("type").toString(), a.value("access") == QLatin1String("readwrite")};
            }
        }
        return d;
    }();
    return declared;
}

QVariant ToQt(const BusService::Value& value) {
    if (const bool* b = std::get_if<bool>(&value)) return QVariant(*b);
    if (const int* i = std::get_if<int>(&value)) return QVariant(*i);
    if (const std::string* s = std::get_if<std::string>(&value)) return QVariant(Q(*s));
    QStringList list;
    for (const std::string& s : std::get<std::vector<std::string>>(value)) list << Q(s);
    return QVariant(list);
}

// A value of a one-letter D-Bus type, or nothing when it is of another.
std::optional<BusService::Value> FromQt(const QVariant& v, QChar type) {
    const int id = v.metaType().id();
    if (type == 'b' && id == QMetaType::Bool) return v.toBool();
    if (type == 'i' && id == QMetaType::Int) return v.toInt();
    if (type == 's' && id == QMetaType::QString) return v.toString().toStdString();
    return std::nullopt;
}

QVariantMap ToMap(const BusService::Properties& properties) {
    QVariantMap map;
    for (const auto& [name, value] : properties) map.insert(Q(name), ToQt(value));
    return map;
}

}  // namespace

struct BusService::Impl final : QDBusVirtualObject {
    explicit Impl(Handler h) : handler(std::move(h)) {}

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    void Answer(const QDBusMessage& call, const QDBusConnection& connection, const Reply& reply) {
        connection.send(reply.errorName.empty()
                            ? call.createReply()
                            : call.createErrorReply(Q(reply.errorName), Q(reply.message)));
    }
    bool Properties(const QDBusMessage& message, const QDBusConnection& connection);

    Handler handler;
    QDBusConnection bus{QString()};
    bool registered = false;
};

bool BusService::Impl::handleMessage(const QDBusMessage& message,
                                     const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    const QString iface = message.interface();
    if (iface == Q(kIntrospectableInterface) && message.member() == QLatin1String("Introspect")) {
        connection.send(message.createReply(Q(kIntrospection)));
        return true;
    }
    if (iface == Q(kPropertiesInterface)) return Properties(message, connection);
    if (!iface.isEmpty() && !Interface().interfaces.count(iface)) return false;
    const auto method = Interface().methods.find(message.member());
    if (method == Interface().methods.end()) return false;
    if (message.signature() != method->second) {
        connection.send(message.createErrorReply(QDBusError::InvalidArgs,
                                                 "expected arguments of type (" + method->second + ")"));
        return true;
    }
    std::vector<Value> args;
    const QVariantList qtArgs = message.arguments();
    for (qsizetype i = 0; i < qtArgs.size(); ++i)
        args.push_back(*FromQt(qtArgs[i], method->second[i]));
    message.setDelayedReply(true);
    handler.call(method->first.toStdString(), args,
                 [this, message, connection](const Reply& reply) { Answer(message, connection, reply); });
    return true;
}

bool BusService::Impl::Properties(const QDBusMessage& message, const QDBusConnection& connection) {
    const QVariantList args = message.arguments();
    const QString member = message.member();
    auto refuse = [&](QDBusError::ErrorType type, const QString& text) {
        connection.send(message.createErrorReply(type, text));
        return true;
    };
    if (args.isEmpty() || args[0].toString() != Q(kBusInterface))
        return refuse(QDBusError::UnknownInterface, "no such interface");
    if (member == QLatin1String("GetAll") && message.signature() == QLatin1String("s")) {
        connection.send(message.createReply(ToMap(handler.properties())));
        return true;
    }
    if (member == QLatin1String("Get") && message.signature() == QLatin1String("ss")) {
        for (const auto& [name, value] : handler.properties())
            if (Q(name) == args[1].toString())
                return connection.send(message.createReply(QVariant::fromValue(QDBusVariant(ToQt(value))))),
                       true;
        return refuse(QDBusError::UnknownProperty, "no such property");
    }
    if (member == QLatin1String("Set") && message.signature() == QLatin1String("ssv")) {
        const auto property = Interface().properties.find(args[1].toString());
        if (property == Interface().properties.end())
            return refuse(QDBusError::UnknownProperty, "no such property");
        if (!property->second.writable)
            return refuse(QDBusError::PropertyReadOnly, "the property is read-only");
        const QVariant value = qvariant_cast<QDBusVariant>(args[2]).variant();
        const auto typed = FromQt(value, property->second.type.at(0));
        if (!typed) return refuse(QDBusError::InvalidArgs, "expected a value of type " + property->second.type);
        Answer(message, connection, handler.setProperty(args[1].toString().toStdString(), *typed));
        return true;
    }
    return refuse(QDBusError::UnknownMethod, "no such method");
}

BusService::BusService(Handler handler) : m_impl(std::make_unique<Impl>(std::move(handler))) {}

BusService::~BusService() {
    if (!m_impl->registered) return;
    m_impl->bus.unregisterService(Q(kBusName));
    m_impl->bus.unregisterObject(Q(kBusObjectPath));
}

BusService::Started BusService::Start() {
    if (!SessionBusReachable()) return Started::kNoBus;
    m_impl->bus = QDBusConnection::sessionBus();
    if (!m_impl->bus.isConnected()) return Started::kNoBus;
    if (!m_impl->bus.registerVirtualObject(Q(kBusObjectPath), m_impl.get()))
        return Started::kNameTaken;
    m_impl->registered = true;
    if (!m_impl->bus.registerService(Q(kBusName))) return Started::kNameTaken;
    return Started::kOwned;
}

void BusService::EmitChanged(const Properties& changed) {
    if (!m_impl->registered || changed.empty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(Q(kBusObjectPath), Q(kPropertiesInterface),
                                                     "PropertiesChanged");
    signal << Q(kBusInterface) << ToMap(changed) << QStringList();
    m_impl->bus.send(signal);
}

std::string_view BusService::Introspection() { return kIntrospection; }

struct InputWatch::Impl final : QObject {
    explicit Impl(std::function<void()> a) : after(std::move(a)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease)
            QMetaObject::invokeMethod(this, [this] { after(); }, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
    std::function<void()> after;
};

InputWatch::InputWatch(std::function<void()> after)
    : m_impl(std::make_unique<Impl>(std::move(after))) {
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(m_impl.get());
}

InputWatch::~InputWatch() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(m_impl.get());
}

bool SessionBusReachable() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat st {};
    return !runtime.isEmpty() && stat((runtime + "/bus").constData(), &st) == 0 &&
           S_ISSOCK(st.st_mode);
}

bool AskRunningInstance(bool show) {
    if (!SessionBusReachable()) return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call =
        show ? QDBusMessage::createMethodCall(Q(kBusName), Q(kBusObjectPath), Q(kBusInterface),
                                              "ShowWindow")
             : QDBusMessage::createMethodCall(Q(kBusName), Q(kBusObjectPath),
                                              "org.freedesktop.DBus.Peer", "Ping");
    // The one running holds the lock: a started one would only find it held.
    call.setAutoStartService(false);
    constexpr int kAnswerMs = 5000;
    // A Lumbra that has just taken the lock takes the name once its window
    // is up: it is given a few seconds to.
    constexpr int kTries = 30, kTryMs = 100;
    for (int i = 0; i < kTries; ++i) {
        const QDBusMessage reply = bus.call(call, QDBus::Block, kAnswerMs);
        if (reply.type() == QDBusMessage::ReplyMessage) return true;
        if (reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") &&
            reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
            return false;
        QThread::msleep(kTryMs);
    }
    return false;
}

bool ModalUiOpen() {
    return QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

}  // namespace lumbra
