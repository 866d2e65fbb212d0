// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/MainWindowLayout.h"

namespace lumbra {

class CDlgBase;

// The page a tab of the main window shows. The five G-key pictures of the
// keyboard page carry the G-key page's tab id, so they select that page too.
std::optional<MainPage> PageForTab(uint32_t id);
// The profile (0..4) a profile tab shows.
std::optional<int> ProfileForTab(uint32_t id);
// The ids whose click switches the main window's view, so that the whole
// window repaints: the page and profile tabs.
std::vector<uint32_t> MainWindowViewSwitches();
// Shows each page and profile tab of the window selected when its page or
// profile is the one shown.
void ShowSelectedTabs(CDlgBase& dlg, MainPage page, int profile);

}  // namespace lumbra
