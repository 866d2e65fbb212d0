// SPDX-License-Identifier: GPL-3.0-or-later
// Tells Lumbra, over the session bus, each window that becomes active, so
// that its profiles can follow programs. Lumbra loads this script through
// KWin's scripting interface when it starts and unloads it when it exits.
//
// What is sent: the window's app id (its desktop file name), its resource
// class (the app id of a native window, the WM_CLASS class of an X11 one),
// the process id when KWin knows it (0 otherwise), and whether the window is
// a native Wayland one: only X11 windows carry a window id.

function report(window) {
    // A moment without any active window tells nothing.
    if (!window)
        return;
    callDBus("io.github.lumbra.lumbra", "/io/github/lumbra/lumbra",
             "io.github.lumbra.lumbra.Focus1", "WindowActivated",
             String(window.desktopFileName || ""), String(window.resourceClass || ""),
             window.pid > 0 ? window.pid : 0, window.windowId === undefined);
}

// KWin 5 names them clientActivated and activeClient; KWin 6 windowActivated
// and activeWindow.
(workspace.windowActivated || workspace.clientActivated).connect(report);
// The window already active when Lumbra starts counts as well.
report(workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient);
