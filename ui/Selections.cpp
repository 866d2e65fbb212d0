// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Selections.h"

namespace lumbra {

namespace {
int g_page = 0;
int g_sub = 0;
uint32_t g_radio = kInitialRadioWord;
}  // namespace

int& PageSelection() { return g_page; }
int& SubSelection() { return g_sub; }
uint32_t& RadioWord() { return g_radio; }

void ResetSelections() {
    g_page = 0;
    g_sub = 0;
    g_radio = kInitialRadioWord;
}

std::optional<int> PageForTab(uint32_t id) {
    switch (id) {
        case 2003:
            return 0;
        case 2004:
            return 1;
        case 2005:
            return 2;
        case 2077:
            return 3;
        default:
            return std::nullopt;
    }
}

std::optional<int> SubSelectionForTab(uint32_t id) {
    if (id >= 2049 && id <= 2053) return static_cast<int>(id - 2049);
    return std::nullopt;
}

std::optional<RadioBits> RadioBitsForId(uint32_t id) {
    constexpr uint32_t kGroup1 = 0x7, kGroup2 = 0x18, kGroup3 = 0x60, kGroup4 = 0x380;
    switch (id) {
        case 2006:
            return RadioBits{1u << 0, kGroup1};
        case 2007:
            return RadioBits{1u << 1, kGroup1};
        case 2008:
            return RadioBits{1u << 2, kGroup1};
        case 2009:
            return RadioBits{1u << 3, kGroup2};
        case 2010:
            return RadioBits{1u << 4, kGroup2};
        case 2011:
            return RadioBits{1u << 5, kGroup3};
        case 2012:
            return RadioBits{1u << 6, kGroup3};
        case 2013:
            return RadioBits{1u << 7, kGroup4};
        case 2014:
            return RadioBits{1u << 8, kGroup4};
        case 2018:
            return RadioBits{1u << 9, kGroup4};
        default:
            return std::nullopt;
    }
}

uint32_t SelectRadio(uint32_t word, uint32_t id) {
    auto bits = RadioBitsForId(id);
    if (!bits) return word;
    return (word & ~bits->group) | bits->bit;
}

}  // namespace lumbra
