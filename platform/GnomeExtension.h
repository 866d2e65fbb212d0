// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace lumbra {

// Lumbra's GNOME Shell extension, which tells Lumbra the window that has the
// focus. The package installs it for every user; each user enables it.
inline constexpr const char* kGnomeExtensionUuid = "lumbra@lumbra.github.io";

struct GnomeExtensionState {
    bool shellRunning = false;  // GNOME Shell is on the session bus
    bool installed = false;     // its files are in the user's or the system's extensions
    bool enabled = false;       // the user's settings have the Shell load it
    bool running = false;       // the Shell runs it now
};
// Blocks for a moment on the session bus and on gsettings. UI thread only.
GnomeExtensionState QueryGnomeExtension();

// Enables the extension in the user's settings (org.gnome.shell
// enabled-extensions, and out of disabled-extensions). The Shell loads an
// extension installed after it started only at the next login. False with a
// reason when the settings could not be written, or when the user turned every
// extension off (that choice is left alone).
bool EnableGnomeExtension(std::string* error);

}  // namespace lumbra
