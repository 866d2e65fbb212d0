// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

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

// The page (0..3) a tab id selects.
std::optional<int> PageForTab(uint32_t id);
// The sub-selection (0..4) a tab id selects.
std::optional<int> SubSelectionForTab(uint32_t id);

// A radio button's bit and the bits of its group; nullopt for ids outside the groups.
struct RadioBits {
    uint32_t bit;
    uint32_t group;
};
std::optional<RadioBits> RadioBitsForId(uint32_t id);
// The word after selecting the member `id`: its bit set, its group's others cleared.
uint32_t SelectRadio(uint32_t word, uint32_t id);

}  // namespace lumbra
