// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/BusService.h"
#include "platform/DesktopFocus.h"
#include "platform/GnomeExtension.h"

namespace lumbra {
namespace {

const QString kShellName = QStringLiteral("org.gnome.Shell");
// The extension owns this name while it runs.
const QString kPresenceName = QStringLiteral("io.github.lumbra.lumbra.ShellExtension");
const QString kSchema = QStringLiteral("org.gnome.shell");
constexpr int kShellTimeoutMs = 2000;
constexpr int kGsettingsTimeoutMs = 5000;
// The Shell's number for an extension that is enabled and running.
constexpr double kStateEnabled = 1;

std::optional<QString> Gsettings(const QStringList& args, std::string* error) {
    QProcess process;
    process.start(QStringLiteral("gsettings"), args);
    if (!process.waitForFinished(kGsettingsTimeoutMs) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        if (error) {
            const QString said = QString::fromUtf8(process.readAllStandardError()).trimmed();
            *error = said.isEmpty() ? "gsettings could not be run" : said.toStdString();
        }
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// A list of strings as gsettings prints it: ['a', 'b'] or @as [].
std::vector<std::string> ParseStringList(const QString& text) {
    std::vector<std::string> out;
    const std::string s = text.toStdString();
    for (size_t i = 0; i < s.size(); ++i) {
        const char quote = s[i];
        if (quote != '\'' && quote != '"') continue;
        std::string item;
        for (++i; i < s.size() && s[i] != quote; ++i) {
            if (s[i] == '\\' && i + 1 < s.size()) ++i;
            item += s[i];
        }
        out.push_back(std::move(item));
    }
    return out;
}

QString PrintStringList(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items) {
        if (out.size() > 1) out += ", ";
        out += '\'';
        for (const char c : item) {
            if (c == '\'' || c == '\\') out += '\\';
            out += c;
        }
        out += '\'';
    }
    return QString::fromStdString(out + "]");
}

std::optional<std::vector<std::string>> ReadList(const char* key, std::string* error) {
    const auto text = Gsettings({QStringLiteral("get"), kSchema, QString::fromLatin1(key)}, error);
    if (!text) return std::nullopt;
    return ParseStringList(*text);
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

bool ExtensionsTurnedOff() {
    const auto text = Gsettings(
        {QStringLiteral("get"), kSchema, QStringLiteral("disable-user-extensions")}, nullptr);
    return text && *text == QLatin1String("true");
}

bool ShellOnBus() {
    if (!SessionBusReachable()) return false;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(kShellName).value();
}

// Asks the Shell whether it runs the extension now.
bool ExtensionRunning() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kShellName, QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("GetExtensionInfo"));
    call << QString::fromLatin1(kGnomeExtensionUuid);
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(call, QDBus::Block, kShellTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    const QVariantMap info = qdbus_cast<QVariantMap>(reply.arguments().first());
    const QVariant state = info.value(QStringLiteral("state"));
    return state.isValid() && state.toDouble() == kStateEnabled;
}

// The extension reports to Lumbra's bus service; this only follows whether it
// is still there, by the name it owns while it runs.
class GnomeFocus final : public FocusWatch {
public:
    GnomeFocus()
        : m_watcher(kPresenceName, QDBusConnection::sessionBus(),
                    QDBusServiceWatcher::WatchForOwnerChange) {
        QObject::connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered,
                         [this] { m_active = true; });
        QObject::connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered,
                         [this] { m_active = false; });
        m_active =
            QDBusConnection::sessionBus().interface()->isServiceRegistered(kPresenceName).value();
    }
    bool IsActive() const override { return m_active; }
    bool ReportsOnBus() const override { return true; }

private:
    QDBusServiceWatcher m_watcher;
    bool m_active = false;
};

}  // namespace

GnomeExtensionState QueryGnomeExtension() {
    GnomeExtensionState state;
    state.shellRunning = ShellOnBus();
    state.installed =
        !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                QStringLiteral("gnome-shell/extensions/%1/metadata.json")
                                    .arg(QString::fromLatin1(kGnomeExtensionUuid)))
             .isEmpty();
    const auto enabled = ReadList("enabled-extensions", nullptr);
    const auto disabled = ReadList("disabled-extensions", nullptr);
    state.enabled = enabled && Contains(*enabled, kGnomeExtensionUuid) &&
                    !(disabled && Contains(*disabled, kGnomeExtensionUuid)) &&
                    !ExtensionsTurnedOff();
    state.running = state.shellRunning && ExtensionRunning();
    return state;
}

bool EnableGnomeExtension(std::string* error) {
    auto enabled = ReadList("enabled-extensions", error);
    auto disabled = ReadList("disabled-extensions", error);
    if (!enabled || !disabled) return false;
    const auto set = [error](const char* key, const std::vector<std::string>& list) {
        return Gsettings({QStringLiteral("set"), kSchema, QString::fromLatin1(key),
                          PrintStringList(list)},
                         error)
            .has_value();
    };
    if (!Contains(*enabled, kGnomeExtensionUuid)) {
        enabled->push_back(kGnomeExtensionUuid);
        if (!set("enabled-extensions", *enabled)) return false;
    }
    if (Contains(*disabled, kGnomeExtensionUuid)) {
        std::erase(*disabled, std::string(kGnomeExtensionUuid));
        if (!set("disabled-extensions", *disabled)) return false;
    }
    if (ExtensionsTurnedOff()) {
        if (error) *error = "Extensions are turned off in GNOME's settings for this user.";
        return false;
    }
    return true;
}

std::unique_ptr<FocusWatch> StartGnomeFocus() {
    if (!ShellOnBus() || !ExtensionRunning()) return nullptr;
    return std::make_unique<GnomeFocus>();
}

}  // namespace lumbra
