// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/FocusWatch.h"

namespace lumbra {

// What following programs can see on the desktop in use.
enum class FollowCoverage {
    kEverything,     // every window: X11 alone, or a source that sees native windows
    kX11Only,        // a Wayland desktop whose native windows nobody reports
    kX11OnlyNeedsExtension,  // GNOME without Lumbra's Shell extension running
    kNothing,        // no part of the desktop tells the active window
};

// The parts of each desktop family that tell the active window. Each gives
// nothing where its desktop is not the one running.

// A Wayland compositor runs this session (XWayland then shows only its X11
// windows).
bool WaylandSession();

// sway: its IPC socket ($SWAYSOCK), subscribed to window events.
std::unique_ptr<FocusWatch> StartSwayFocus(FocusWatch::Callback callback);
// Other wlroots compositors: zwlr_foreign_toplevel_management_v1 on a Wayland
// connection of its own.
std::unique_ptr<FocusWatch> StartForeignToplevelFocus(FocusWatch::Callback callback);
// KDE Plasma: a KWin script, loaded through KWin's scripting interface, that
// reports activations on the session bus. Unloaded when the watch goes.
std::unique_ptr<FocusWatch> StartKWinFocus();
// GNOME Shell: Lumbra's Shell extension, when it is enabled and running,
// reports focus changes on the session bus.
std::unique_ptr<FocusWatch> StartGnomeFocus();

}  // namespace lumbra
