// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumbra {

// Gives the toolkit this program's tab and radio ids: the main window's page
// tabs and profile tabs, and the radio word's groups. Runs as the main window
// is created, before any of its controls.
void RegisterMainWindowSelections();

}  // namespace lumbra
