// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DesktopFocus.h"

namespace lumbra {

// Not built yet: this desktop's active window is not told.
std::unique_ptr<FocusWatch> StartSwayFocus(FocusWatch::Callback) { return nullptr; }

}  // namespace lumbra
