// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace lumbra {

// The selection variables shared by every dialog for the whole run: the page
// and sub-selection the tab controls show, and the radio buttons' bit word.
// UI thread only.
int& PageSelection();
int& SubSelection();
uint32_t& RadioWord();
constexpr uint32_t kInitialRadioWord = 0xAA;
// Back to the start values (tests).
void ResetSelections();

// A tab id and the value its release gives its selection variable.
struct TabSelection {
    uint32_t id;
    int value;
};
// A radio button's bit in the radio word and the bits of its group.
struct RadioBits {
    uint32_t bit;
    uint32_t group;
};
struct RadioMember {
    uint32_t id;
    RadioBits bits;
};
// Which ids drive the selection variables. The toolkit knows no ids of its
// own: the program registers its tables once at start-up, before its first
// dialog, and they stay for the whole run (the spans must outlive it).
struct SelectionTables {
    std::span<const TabSelection> pageTabs;
    std::span<const TabSelection> subTabs;
    std::span<const RadioMember> radios;
    // Ids that switch a view without being a tab: like the tabs, their click
    // repaints the whole dialog.
    std::span<const uint32_t> otherViewSwitches;
};
void SetSelectionTables(const SelectionTables& tables);

// The page (0..3) a tab id selects.
std::optional<int> PageForTab(uint32_t id);
// The sub-selection (0..4) a tab id selects.
std::optional<int> SubSelectionForTab(uint32_t id);
// Ids whose click switches the page or view, so the whole dialog repaints.
bool IsPageSwitchId(uint32_t id);

// nullopt for ids outside the groups.
std::optional<RadioBits> RadioBitsForId(uint32_t id);
// The word after selecting the member `id`: its bit set, its group's others cleared.
uint32_t SelectRadio(uint32_t word, uint32_t id);

}  // namespace lumbra
