// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "platform/BusService.h"
#include "platform/DesktopFocus.h"

namespace lumbra {

namespace {

const QString kKWinService = QStringLiteral("org.kde.KWin");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString kScriptInterface = QStringLiteral("org.kde.kwin.Script");
// The name the script is loaded under, and unloaded by.
const QString kPluginName = QStringLiteral("lumbra-focus");
// KWin answers its scripting calls at once; one that hangs holds the start
// no longer than this.
constexpr int kCallMs = 2000;

// The script as installed beside the program (bin/../share/lumbra/kwin); the
// build folder has the same layout.
QString ScriptPath() {
    const QFileInfo script(QDir(QCoreApplication::applicationDirPath())
                               .filePath(QStringLiteral("../share/lumbra/kwin/lumbra-focus.js")));
    return script.exists() ? script.canonicalFilePath() : QString();
}

QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(kKWinService, path, interface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallMs);
}

// The script, loaded into KWin, reports each activation to Lumbra's name on
// the bus. Loaded again when KWin is replaced (a new KWin knows nothing of it).
class KWinFocus final : public FocusWatch {
public:
    explicit KWinFocus(QString script)
        : m_script(std::move(script)),
          m_kwin(kKWinService, QDBusConnection::sessionBus(),
                 QDBusServiceWatcher::WatchForOwnerChange) {
        QObject::connect(&m_kwin, &QDBusServiceWatcher::serviceOwnerChanged, &m_kwin,
                         [this](const QString&, const QString&, const QString& owner) {
                             m_active = !owner.isEmpty() && Load();
                         });
    }
    // Without KWin the bus answers at once.
    ~KWinFocus() override {
        Call(kScriptingPath, kScriptingInterface, "unloadScript", {kPluginName});
    }
    KWinFocus(const KWinFocus&) = delete;
    KWinFocus& operator=(const KWinFocus&) = delete;

    bool Start() { return m_active = Load(); }
    bool IsActive() const override { return m_active; }
    bool ReportsOnBus() const override { return true; }

private:
    bool Load() {
        // One left loaded by a Lumbra that could not unload it keeps the name
        // taken: loading under it again would fail.
        Call(kScriptingPath, kScriptingInterface, "unloadScript", {kPluginName});
        const QDBusMessage reply =
            Call(kScriptingPath, kScriptingInterface, "loadScript", {m_script, kPluginName});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
        const int id = reply.arguments().constFirst().toInt();
        if (id < 0) return false;
        // Run from the event loop: by then Lumbra holds its name on the bus,
        // so the script's first report (the window active now) reaches it.
        QTimer::singleShot(0, &m_kwin, [this, id] { m_active = Run(id); });
        return true;
    }

    // KWin 5 puts each loaded script at /<id>, KWin 6 at /Scripting/Script<id>.
    static bool Run(int id) {
        for (const QString& path :
             {QStringLiteral("/%1").arg(id), QStringLiteral("/Scripting/Script%1").arg(id)}) {
            if (Call(path, kScriptInterface, "run", {}).type() == QDBusMessage::ReplyMessage)
                return true;
        }
        return false;
    }

    QString m_script;
    QDBusServiceWatcher m_kwin;
    bool m_active = false;
};

}  // namespace

std::unique_ptr<FocusWatch> StartKWinFocus() {
    if (!SessionBusReachable()) return nullptr;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kKWinService)) return nullptr;
    QString script = ScriptPath();
    if (script.isEmpty()) {
        std::fputs(
            "lumbra: warning: share/lumbra/kwin/lumbra-focus.js is missing beside the "
            "program; KWin's windows are not followed through it\n",
            stderr);
        return nullptr;
    }
    auto watch = std::make_unique<KWinFocus>(std::move(script));
    if (!watch->Start()) return nullptr;
    return watch;
}

}  // namespace lumbra
