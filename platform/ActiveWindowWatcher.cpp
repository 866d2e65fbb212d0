// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ActiveWindowWatcher.h"
#include "platform/DesktopFocus.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace lumbra {
namespace {

constexpr uint8_t kEventTypeMask = 0x7F;   // the top bit marks events sent by another client
constexpr uint32_t kPropertyWords = 1024;  // 4 KiB, far more than any of the three needs

template <typename T>
struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

Reply<xcb_get_property_reply_t> Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                         xcb_atom_t type) {
    return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, name, type, 0, kPropertyWords), nullptr));
}

// The 32-bit values of a property of the given type.
std::vector<uint32_t> Words(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                            xcb_atom_t type) {
    const auto reply = Property(c, window, name, type);
    if (!reply || reply->type != type || reply->format != 32) return {};
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::vector<uint32_t>(data, data + count);
}

xcb_window_t RootWindow(xcb_connection_t* c) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen ? screen->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

struct Atoms {
    xcb_atom_t supported = XCB_ATOM_NONE;
    xcb_atom_t activeWindow = XCB_ATOM_NONE;
    xcb_atom_t pid = XCB_ATOM_NONE;
};

Atoms InternAtoms(xcb_connection_t* c) {
    return {Atom(c, "_NET_SUPPORTED"), Atom(c, "_NET_ACTIVE_WINDOW"), Atom(c, "_NET_WM_PID")};
}

// The window manager lists the hints it keeps on the root window.
bool ManagerKeepsActiveWindow(xcb_connection_t* c, xcb_window_t root, const Atoms& atoms) {
    if (atoms.supported == XCB_ATOM_NONE || atoms.activeWindow == XCB_ATOM_NONE) return false;
    for (uint32_t atom : Words(c, root, atoms.supported, XCB_ATOM_ATOM))
        if (atom == atoms.activeWindow) return true;
    return false;
}

}  // namespace

struct ActiveWindowWatcher::Impl : QAbstractNativeEventFilter {
    Impl() {
        nativeLater.setSingleShot(true);
        nativeLater.setInterval(kNativeAfterMs);
        nativeLater.callOnTimeout([this] {
            ActiveWindow native;
            native.kind = ActiveWindow::Kind::kNative;
            if (callback) callback(native);
        });
    }
    // How long the hint must stay clear to mean a native window.
    static constexpr int kNativeAfterMs = 150;
    Callback callback;
    const bool waylandSession = WaylandSession();
    bool reported = false;  // a window was reported since the start
    QTimer nativeLater;
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    Atoms atoms;
    bool installed = false;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & kEventTypeMask) != XCB_PROPERTY_NOTIFY) return false;
        const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
        if (change->window != root || change->atom != atoms.activeWindow) return false;
        Report();
        return false;  // the toolkit may want it too
    }

    void Report() {
        const std::vector<uint32_t> active =
            Words(connection, root, atoms.activeWindow, XCB_ATOM_WINDOW);
        // Window managers clear the hint for a moment between two windows (openbox does on
        // every switch): no active window changes nothing. Under a Wayland compositor it
        // also means a native window has the focus, which XWayland does not see: once the
        // hint has stayed clear a moment (no other window came), that is reported.
        if (active.empty() || active[0] == XCB_WINDOW_NONE) {
            if (waylandSession && reported) nativeLater.start();
            return;
        }
        nativeLater.stop();
        reported = true;
        const xcb_window_t id = active[0];
        ActiveWindow window;
        for (QWindow* w : QGuiApplication::allWindows())
            if (w->handle() && w->winId() == id) window.own = true;
        const std::vector<uint32_t> pid = Words(connection, id, atoms.pid, XCB_ATOM_CARDINAL);
        if (!pid.empty() && pid[0] > 0) window.pid = static_cast<int>(pid[0]);
        // WM_CLASS: the instance and the class, each ending with a NUL.
        const auto wmClass = Property(connection, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
        if (wmClass && wmClass->format == 8) {
            const auto* text = static_cast<const char*>(xcb_get_property_value(wmClass.get()));
            const std::string words(
                text, static_cast<size_t>(xcb_get_property_value_length(wmClass.get())));
            const size_t end = words.find('\0');
            window.instance = words.substr(0, end);
            if (end != std::string::npos) window.className = words.substr(end + 1);
            while (!window.className.empty() && window.className.back() == '\0')
                window.className.pop_back();
        }
        if (callback) callback(window);
    }
};

ActiveWindowWatcher::ActiveWindowWatcher(Callback callback) : m_impl(std::make_unique<Impl>()) {
    m_impl->callback = std::move(callback);
    xcb_connection_t* c = Connection();
    if (!c) return;
    const xcb_window_t root = RootWindow(c);
    const Atoms atoms = InternAtoms(c);
    if (root == XCB_WINDOW_NONE || !ManagerKeepsActiveWindow(c, root, atoms)) return;
    m_impl->connection = c;
    m_impl->root = root;
    m_impl->atoms = atoms;
    // The toolkit listens to the root window on this connection too: add to its events
    // rather than replace them.
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr));
    const uint32_t mask =
        (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    qGuiApp->installNativeEventFilter(m_impl.get());
    m_impl->installed = true;
    // The window already active when following starts counts too, once the
    // caller has its watcher.
    QMetaObject::invokeMethod(
        qGuiApp, [impl = m_impl.get(), alive = m_impl->alive] {
            if (*alive) impl->Report();
        },
        Qt::QueuedConnection);
}

ActiveWindowWatcher::~ActiveWindowWatcher() {
    *m_impl->alive = false;
    if (m_impl->installed && qGuiApp) qGuiApp->removeNativeEventFilter(m_impl.get());
}

bool ActiveWindowWatcher::IsActive() const { return m_impl->installed; }

bool WaylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qgetenv("XDG_SESSION_TYPE") == "wayland";
}

bool ActiveWindowWatcher::DesktopSupported() {
    xcb_connection_t* c = Connection();
    if (!c) return false;
    const xcb_window_t root = RootWindow(c);
    return root != XCB_WINDOW_NONE && ManagerKeepsActiveWindow(c, root, InternAtoms(c));
}

}  // namespace lumbra
