// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace lumbra {

// The system's plain message box with an OK button, titled by the program;
// returns when the user closes it. On a headless platform, where nobody could
// close it, the text goes to the standard error stream instead.
void ShowMessageBox(const std::string& title, const std::string& text);

}  // namespace lumbra
