// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowSelections.h"

#include <algorithm>
#include <array>

#include "app/MainWindowMessages.h"
#include "keys/CKeyMapSettingDlg.h"
#include "ui/Selections.h"

namespace lumbra {

namespace {

constexpr TabSelection kPageTabs[] = {
    {MainId::kPage0Tab, 0},
    {MainId::kPage1Tab, 1},
    {MainId::kPage2Tab, 2},
    {MainId::kPage3Tab, 3},
};

// The profile tabs share the sub-selection.
constexpr TabSelection kProfileTabs[] = {
    {MainId::kProfile1, 0},     {MainId::kProfile1 + 1, 1}, {MainId::kProfile1 + 2, 2},
    {MainId::kProfile1 + 3, 3}, {MainId::kProfile5, 4},
};

// Groups 1 to 3 have no radio button in this program; their bits only fill
// the start word. Group 4 is the key setting dialog's mode.
constexpr uint32_t kGroup1 = 0x7, kGroup2 = 0x18, kGroup3 = 0x60;
constexpr RadioMember kUnusedRadios[] = {
    {2006, {1u << 0, kGroup1}}, {2007, {1u << 1, kGroup1}}, {2008, {1u << 2, kGroup1}},
    {2009, {1u << 3, kGroup2}}, {2010, {1u << 4, kGroup2}}, {2011, {1u << 5, kGroup3}},
    {2012, {1u << 6, kGroup3}},
};
constexpr auto kRadios = [] {
    std::array<RadioMember, std::size(kUnusedRadios) + std::size(CKeyMapSettingDlg::kModeRadios)>
        all{};
    auto next = std::ranges::copy(kUnusedRadios, all.begin()).out;
    std::ranges::copy(CKeyMapSettingDlg::kModeRadios, next);
    return all;
}();

constexpr uint32_t kOtherViewSwitches[] = {MainId::kOtherViewSwitch};

}  // namespace

void RegisterMainWindowSelections() {
    SetSelectionTables({kPageTabs, kProfileTabs, kRadios, kOtherViewSwitches});
}

}  // namespace lumbra
