// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11AutoRepeat.h"

#include <QGuiApplication>

// Xlib's headers define names such as KeyPress and None: they come last.
#include <X11/XKBlib.h>

namespace lumbra {

bool AskForDetectableAutoRepeat() {
    static bool asked = false;
    static bool granted = false;
    if (asked) return granted;
    asked = true;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return false;
    Bool supported = False;
    granted = XkbSetDetectableAutoRepeat(display, True, &supported) && supported;
    return granted;
}

}  // namespace lumbra
