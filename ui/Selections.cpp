// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Selections.h"

#include <algorithm>

namespace lumbra {

namespace {
int g_page = 0;
int g_sub = 0;
uint32_t g_radio = kInitialRadioWord;
SelectionTables g_tables;

std::optional<int> TabValue(std::span<const TabSelection> tabs, uint32_t id) {
    for (const TabSelection& t : tabs)
        if (t.id == id) return t.value;
    return std::nullopt;
}
}  // namespace

int& PageSelection() { return g_page; }
int& SubSelection() { return g_sub; }
uint32_t& RadioWord() { return g_radio; }

void ResetSelections() {
    g_page = 0;
    g_sub = 0;
    g_radio = kInitialRadioWord;
}

void SetSelectionTables(const SelectionTables& tables) { g_tables = tables; }

std::optional<int> PageForTab(uint32_t id) { return TabValue(g_tables.pageTabs, id); }

std::optional<int> SubSelectionForTab(uint32_t id) { return TabValue(g_tables.subTabs, id); }

bool IsPageSwitchId(uint32_t id) {
    if (PageForTab(id) || SubSelectionForTab(id)) return true;
    return std::ranges::find(g_tables.otherViewSwitches, id) != g_tables.otherViewSwitches.end();
}

std::optional<RadioBits> RadioBitsForId(uint32_t id) {
    for (const RadioMember& m : g_tables.radios)
        if (m.id == id) return m.bits;
    return std::nullopt;
}

uint32_t SelectRadio(uint32_t word, uint32_t id) {
    auto bits = RadioBitsForId(id);
    if (!bits) return word;
    return (word & ~bits->group) | bits->bit;
}

}  // namespace lumbra
