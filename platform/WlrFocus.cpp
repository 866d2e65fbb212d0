// SPDX-License-Identifier: GPL-3.0-or-later
#include <wayland-client.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/DesktopFocus.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace lumbra {
namespace {

constexpr uint32_t kManagerVersion = 3;

class ForeignToplevelFocus;

// One toplevel of the desktop. Its events change the pending values; done applies them.
struct Toplevel {
    ForeignToplevelFocus* owner = nullptr;
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    std::string appId, pendingAppId;
    bool activated = false, pendingActivated = false;
};

class ForeignToplevelFocus final : public FocusWatch {
public:
    ForeignToplevelFocus(wl_display* display, Callback callback)
        : m_display(display), m_callback(std::move(callback)) {}
    ~ForeignToplevelFocus() override {
        m_notifier.reset();
        for (const auto& toplevel : m_toplevels)
            zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
        if (m_manager) zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
        if (m_registry) wl_registry_destroy(m_registry);
        wl_display_disconnect(m_display);
    }
    ForeignToplevelFocus(const ForeignToplevelFocus&) = delete;
    ForeignToplevelFocus& operator=(const ForeignToplevelFocus&) = delete;

    // Binds the manager; false when the compositor has none.
    bool Start() {
        m_registry = wl_display_get_registry(m_display);
        wl_registry_add_listener(m_registry, &kRegistryListener, this);
        if (wl_display_roundtrip(m_display) < 0 || m_managerName == 0) return false;
        // Bound only now, so that the toplevels the compositor lists at once, the active one
        // among them, come through the loop like every later change, never from in here.
        m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
            wl_registry_bind(m_registry, m_managerName, &zwlr_foreign_toplevel_manager_v1_interface,
                             m_managerVersion));
        zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &kManagerListener, this);
        m_notifier =
            std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Receive(); });
        wl_display_flush(m_display);
        return true;
    }

    bool IsActive() const override { return m_notifier && m_notifier->isEnabled() && m_manager; }

private:
    void Receive() {
        while (wl_display_prepare_read(m_display) != 0) wl_display_dispatch_pending(m_display);
        if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0) {
            m_notifier->setEnabled(false);  // the compositor went away
            return;
        }
        wl_display_flush(m_display);
    }

    static void Global(void* data, wl_registry*, uint32_t name, const char* interface,
                       uint32_t version) {
        auto* self = static_cast<ForeignToplevelFocus*>(data);
        if (self->m_managerName != 0 ||
            std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0)
            return;
        self->m_managerName = name;
        self->m_managerVersion = std::min(version, kManagerVersion);
    }
    static void GlobalRemove(void*, wl_registry*, uint32_t) {}

    static void NewToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                            zwlr_foreign_toplevel_handle_v1* handle) {
        auto* self = static_cast<ForeignToplevelFocus*>(data);
        auto toplevel = std::make_unique<Toplevel>();
        toplevel->owner = self;
        toplevel->handle = handle;
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandleListener, toplevel.get());
        self->m_toplevels.push_back(std::move(toplevel));
    }
    static void Finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        auto* self = static_cast<ForeignToplevelFocus*>(data);
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
        self->m_manager = nullptr;
    }

    static void Title(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
    static void AppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
        static_cast<Toplevel*>(data)->pendingAppId = appId ? appId : "";
    }
    static void OutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void OutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void State(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        auto* toplevel = static_cast<Toplevel*>(data);
        toplevel->pendingActivated = false;
        const auto* first = static_cast<const uint32_t*>(states->data);
        for (const uint32_t* s = first; s != first + states->size / sizeof(uint32_t); ++s)
            if (*s == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
                toplevel->pendingActivated = true;
    }
    static void Done(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* toplevel = static_cast<Toplevel*>(data);
        const bool gained = toplevel->pendingActivated && !toplevel->activated;
        const bool renamed =
            toplevel->pendingActivated && toplevel->pendingAppId != toplevel->appId;
        toplevel->activated = toplevel->pendingActivated;
        toplevel->appId = toplevel->pendingAppId;
        if (gained || renamed) toplevel->owner->Report(toplevel->appId);
    }
    static void Closed(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* toplevel = static_cast<Toplevel*>(data);
        toplevel->owner->Forget(toplevel);
    }
    static void Parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    void Report(const std::string& appId) {
        ActiveWindow window;
        window.appId = appId;
        window.kind = ActiveWindow::Kind::kNative;
        // The protocol tells no process. This program's own windows carry its name as their
        // app id (XWayland gives the window class, the toolkit makes it the program's name).
        window.own =
            !appId.empty() && QString::fromStdString(appId).compare(
                                  QCoreApplication::applicationName(), Qt::CaseInsensitive) == 0;
        m_callback(window);
    }

    void Forget(Toplevel* toplevel) {
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
        std::erase_if(m_toplevels, [toplevel](const auto& t) { return t.get() == toplevel; });
    }

    static constexpr wl_registry_listener kRegistryListener = {Global, GlobalRemove};
    static constexpr zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {NewToplevel,
                                                                                   Finished};
    static constexpr zwlr_foreign_toplevel_handle_v1_listener kHandleListener = {
        Title, AppId, OutputEnter, OutputLeave, State, Done, Closed, Parent};

    wl_display* m_display;
    Callback m_callback;
    wl_registry* m_registry = nullptr;
    uint32_t m_managerName = 0, m_managerVersion = 0;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace

std::unique_ptr<FocusWatch> StartForeignToplevelFocus(FocusWatch::Callback callback) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    auto watch = std::make_unique<ForeignToplevelFocus>(display, std::move(callback));
    if (!watch->Start()) return nullptr;
    return watch;
}

}  // namespace lumbra
