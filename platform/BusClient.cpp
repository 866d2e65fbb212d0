// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BusService.h"
#include "platform/BusClient.h"

#include <QCoreApplication>
#include <cstdio>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTimer>
#include <cstring>

#include "platform/BusNames.h"
#include "platform/SignalWatcher.h"

namespace lumbra {

namespace {

constexpr std::string_view kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr int kPropertyCallMs = 25000;

QString ToQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant ToVariant(const BusValue& value) {
    if (const auto* b = std::get_if<bool>(&value)) return QVariant(*b);
    if (const auto* i = std::get_if<int>(&value)) return QVariant(*i);
    if (const auto* s = std::get_if<std::string>(&value)) return QVariant(ToQ(*s));
    QStringList list;
    for (const auto& item : std::get<std::vector<std::string>>(value)) list.append(ToQ(item));
    return QVariant(list);
}

std::vector<std::string> ToStrings(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& item : list) out.push_back(item.toStdString());
    return out;
}

// False for a value of a type the interface does not use.
bool FromVariant(QVariant variant, BusValue* out) {
    if (variant.userType() == qMetaTypeId<QDBusVariant>()) {
        variant = qvariant_cast<QDBusVariant>(variant).variant();
    }
    switch (variant.userType()) {
        case QMetaType::Bool:
            *out = variant.toBool();
            return true;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
            *out = variant.toInt();
            return true;
        case QMetaType::QString:
            *out = variant.toString().toStdString();
            return true;
        case QMetaType::QStringList:
            *out = ToStrings(variant.toStringList());
            return true;
        default:
            break;
    }
    if (variant.userType() == qMetaTypeId<QDBusArgument>()) {
        const auto argument = qvariant_cast<QDBusArgument>(variant);
        if (argument.currentSignature() == QLatin1String("as")) {
            *out = ToStrings(qdbus_cast<QStringList>(argument));
            return true;
        }
    }
    return false;
}

BusProperties FromMap(const QVariant& variant) {
    QVariantMap map;
    if (variant.userType() == qMetaTypeId<QDBusArgument>()) {
        map = qdbus_cast<QVariantMap>(qvariant_cast<QDBusArgument>(variant));
    } else {
        map = variant.toMap();
    }
    BusProperties out;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        BusValue value;
        if (FromVariant(it.value(), &value)) out[it.key().toStdString()] = std::move(value);
    }
    return out;
}

// Errors of the bus itself that mean nobody owns the name and it could not be
// started for this call.
bool MeansUnreachable(const QString& name) {
    return name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
           name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           name == QLatin1String("org.freedesktop.DBus.Error.Disconnected") ||
           name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."));
}

// A reply that never came: while Lumbra was being started, or from a Lumbra
// that ended in the middle of the call, Lumbra is out of reach; from a
// running one, the call failed.
bool MeansNoAnswer(const QString& name) {
    return name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
           name == QLatin1String("org.freedesktop.DBus.Error.Timeout") ||
           name == QLatin1String("org.freedesktop.DBus.Error.TimedOut");
}

// Hears a bus signal without a meta-object of its own, as this project runs
// no moc. The bus is connected to QObject's argument-less destroyed(), whose
// invocation this class takes over, and the whole message comes through
// QDBusContext, which the bus fills in for any receiver that casts to it.
class SignalReceiver : public QObject, public QDBusContext {
public:
    explicit SignalReceiver(std::function<void(const QDBusMessage&)> onMessage)
        : m_onMessage(std::move(onMessage)),
          m_index(QObject::staticMetaObject.indexOfMethod("destroyed()")) {}

    static constexpr const char* kMember = "1destroyed()";

    int qt_metacall(QMetaObject::Call call, int id, void** args) override {
        if (call == QMetaObject::InvokeMetaMethod && id == m_index) {
            m_onMessage(message());
            return -1;
        }
        return QObject::qt_metacall(call, id, args);
    }
    void* qt_metacast(const char* name) override {
        if (name != nullptr && std::strcmp(name, "QDBusContext") == 0) {
            return static_cast<QDBusContext*>(this);
        }
        return QObject::qt_metacast(name);
    }

private:
    std::function<void(const QDBusMessage&)> m_onMessage;
    int m_index;
};

}  // namespace

struct BusClient::Impl {
    std::unique_ptr<QCoreApplication> ownApplication;
    int argc = 1;
    char name[10] = "lumbractl";
    char* argv[2] = {name, nullptr};

    // A connection that is not connected where the session has no bus.
    QDBusConnection Bus() const {
        return SessionBusReachable() ? QDBusConnection::sessionBus() : QDBusConnection(QString());
    }

    static BusResult Unreachable(const QString& errorName, const QString& message) {
        return {BusStatus::kUnreachable, errorName.toStdString(), message.toStdString()};
    }

    // Sends a call and waits for its reply, which lands in *reply on success.
    BusResult Exchange(const QDBusMessage& call, int timeoutMs, QDBusMessage* reply,
                       BusClient& client) {
        QDBusConnection bus = Bus();
        if (!bus.isConnected()) {
            return Unreachable({}, QStringLiteral("there is no session bus"));
        }
        const QDBusMessage answer = bus.call(call, QDBus::Block, timeoutMs);
        if (answer.type() == QDBusMessage::ReplyMessage) {
            if (reply != nullptr) *reply = answer;
            return {};
        }
        const QString name = answer.errorName();
        if (MeansUnreachable(name) || (MeansNoAnswer(name) && !client.HasOwner())) {
            return Unreachable(name, answer.errorMessage());
        }
        return {BusStatus::kError, name.toStdString(), answer.errorMessage().toStdString()};
    }
};

BusClient::BusClient() : m_impl(std::make_unique<Impl>()) {
    if (QCoreApplication::instance() == nullptr) {
        // A client program says what failed in its own one line; the
        // toolkit's notes (some come from its bus thread as the program
        // ends) are for debugging only.
        if (qEnvironmentVariableIsEmpty("LUMBRA_BUS_DEBUG"))
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtCriticalMsg || type == QtFatalMsg)
                    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            });
        m_impl->ownApplication = std::make_unique<QCoreApplication>(m_impl->argc, m_impl->argv);
    }
}

BusClient::~BusClient() = default;

BusResult BusClient::Call(std::string_view method, const std::vector<BusValue>& args,
                          int timeoutMs) {
    QDBusMessage call = QDBusMessage::createMethodCall(ToQ(kBusName), ToQ(kBusObjectPath),
                                                       ToQ(kBusInterface), ToQ(method));
    QVariantList arguments;
    for (const BusValue& arg : args) arguments.append(ToVariant(arg));
    call.setArguments(arguments);
    return m_impl->Exchange(call, timeoutMs, nullptr, *this);
}

BusResult BusClient::GetAll(BusProperties* out) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        ToQ(kBusName), ToQ(kBusObjectPath), ToQ(kPropertiesInterface), QStringLiteral("GetAll"));
    call.setArguments({ToQ(kBusInterface)});
    QDBusMessage reply;
    BusResult result = m_impl->Exchange(call, kPropertyCallMs, &reply, *this);
    if (result.status != BusStatus::kOk) return result;
    if (reply.arguments().isEmpty()) {
        return {BusStatus::kError, {}, "Lumbra sent no properties"};
    }
    *out = FromMap(reply.arguments().constFirst());
    return result;
}

BusResult BusClient::Set(std::string_view property, const BusValue& value) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        ToQ(kBusName), ToQ(kBusObjectPath), ToQ(kPropertiesInterface), QStringLiteral("Set"));
    call.setArguments(
        {ToQ(kBusInterface), ToQ(property), QVariant::fromValue(QDBusVariant(ToVariant(value)))});
    return m_impl->Exchange(call, kPropertyCallMs, nullptr, *this);
}

bool BusClient::HasOwner() {
    QDBusConnection bus = m_impl->Bus();
    if (!bus.isConnected() || bus.interface() == nullptr) return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(ToQ(kBusName));
    return reply.isValid() && reply.value();
}

bool BusClient::WaitUntilGone(int timeoutMs) {
    QDBusConnection bus = m_impl->Bus();
    if (!bus.isConnected()) return true;
    QDBusServiceWatcher watcher(ToQ(kBusName), bus, QDBusServiceWatcher::WatchForUnregistration);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    // The watcher's match rule reaches the bus before this question, so a
    // departure after the answer is heard.
    if (HasOwner()) loop.exec();
    return !HasOwner();
}

int BusClient::Watch(std::function<void(const BusProperties&)> onChange,
                     std::function<void(bool)> onOwner) {
    QDBusConnection bus = m_impl->Bus();
    if (!bus.isConnected()) return 3;
    QEventLoop loop;
    SignalWatcher stopSignals([&loop](int) { loop.quit(); });

    SignalReceiver receiver([&onChange](const QDBusMessage& message) {
        const QVariantList arguments = message.arguments();
        if (arguments.size() < 2 || arguments.at(0).toString() != ToQ(kBusInterface)) return;
        onChange(FromMap(arguments.at(1)));
    });
    bus.connect(ToQ(kBusName), ToQ(kBusObjectPath), ToQ(kPropertiesInterface),
                QStringLiteral("PropertiesChanged"), &receiver, SignalReceiver::kMember);

    QDBusServiceWatcher watcher(ToQ(kBusName), bus, QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceOwnerChanged,
                     [&onOwner](const QString&, const QString&, const QString& newOwner) {
                         onOwner(!newOwner.isEmpty());
                     });
    onOwner(HasOwner());
    loop.exec();
    bus.disconnect(ToQ(kBusName), ToQ(kBusObjectPath), ToQ(kPropertiesInterface),
                   QStringLiteral("PropertiesChanged"), &receiver, SignalReceiver::kMember);
    return 0;
}

}  // namespace lumbra
