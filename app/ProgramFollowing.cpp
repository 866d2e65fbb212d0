// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramFollowing.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "model/KeyboardModel.h"
#include "platform/DesktopFocus.h"
#include "platform/ProcessFacts.h"
#include "storage/SettingsFile.h"

namespace lumbra {

ProgramFollowing::ProgramFollowing(KeyboardModel& model, std::string appDirectory,
                                   std::function<int()> current, std::function<void(int)> switchTo)
    : m_model(model),
      m_appDirectory(std::move(appDirectory)),
      m_current(std::move(current)),
      m_switchTo(std::move(switchTo)) {}

ProgramFollowing::~ProgramFollowing() = default;

void ProgramFollowing::StartWatching() {
    // The first part of the desktop that tells the active window; with
    // LUMBRA_FOCUS_SOURCE=sway|wlr|kwin|gnome|x11 only that one is tried.
    const char* forced = std::getenv("LUMBRA_FOCUS_SOURCE");
    const auto tried = [forced](std::string_view name) {
        return !forced || !*forced || name == forced;
    };
    auto follow = [this](const ActiveWindow& window) { Follow(window); };
    if (tried("sway")) m_watcher = StartSwayFocus(follow);
    if (!m_watcher && tried("wlr")) m_watcher = StartForeignToplevelFocus(follow);
    if (!m_watcher && tried("kwin")) m_watcher = StartKWinFocus();
    if (!m_watcher && tried("gnome")) m_watcher = StartGnomeFocus();
    if (!m_watcher && tried("x11")) m_watcher = std::make_unique<ActiveWindowWatcher>(follow);
}

void ProgramFollowing::Stop() {
    m_stopped = true;
    m_watcher.reset();
}

void ProgramFollowing::Follow(const ActiveWindow& window) {
    if (m_stopped || !FollowsPrograms(m_model)) return;
    const auto profile =
        m_follower.Decide(ProgramsOf(m_model), window, ReadProcessFacts(window.pid), m_current());
    if (profile) m_switchTo(*profile);
}

std::optional<MenuItem> ProgramFollowing::FollowMenuItem(int command) const {
    if (!m_watcher || !m_watcher->IsActive()) return std::nullopt;
    return MenuItem{
        "Follow programs", command,
        FollowsPrograms(m_model) ? MenuItem::Check::kChecked : MenuItem::Check::kUnchecked};
}

FollowCoverage ProgramFollowing::Coverage() const {
    if (!m_watcher || !m_watcher->IsActive()) return FollowCoverage::kNothing;
    // Only the X11 watcher is blind to a Wayland compositor's own windows.
    if (!dynamic_cast<const ActiveWindowWatcher*>(m_watcher.get()) || !WaylandSession())
        return FollowCoverage::kEverything;
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (desktop && std::string_view(desktop).find("GNOME") != std::string_view::npos)
        return FollowCoverage::kX11OnlyNeedsExtension;
    return FollowCoverage::kX11Only;
}

void ProgramFollowing::Toggle() {
    WriteFailure failure;
    if (!SaveFollowPrograms(m_model.settings, !FollowsPrograms(m_model),
                            AnyProgramListed(ProgramsOf(m_model)), m_appDirectory, &failure))
        std::fprintf(stderr, "lumbra: %s\n", failure.Text().c_str());
}

}  // namespace lumbra
