// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace lumbra {

// Opens a path as the desktop would: a regular executable file is started
// detached, without a shell and without arguments; anything else (a document,
// a folder, an address) goes to the desktop's default application. False when
// nothing could be started.
bool OpenWithDesktop(const std::string& path);

}  // namespace lumbra
