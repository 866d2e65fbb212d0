// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowSelections.h"

#include <utility>

#include "app/MainWindowMessages.h"
#include "ui/CDlgBase.h"
#include "ui/CTabControl.h"

namespace lumbra {

namespace {

constexpr std::pair<uint32_t, MainPage> kPageTabs[] = {
    {MainId::kPage0Tab, MainPage::kKeyboard},
    {MainId::kPage1Tab, MainPage::kMacros},
    {MainId::kPage2Tab, MainPage::kGKeys},
    {MainId::kPage3Tab, MainPage::kLighting},
};

constexpr uint32_t kProfileTabs[] = {MainId::kProfile1, MainId::kProfile1 + 1,
                                     MainId::kProfile1 + 2, MainId::kProfile1 + 3,
                                     MainId::kProfile5};

}  // namespace

std::optional<MainPage> PageForTab(uint32_t id) {
    for (const auto& [tab, page] : kPageTabs)
        if (tab == id) return page;
    return std::nullopt;
}

std::optional<int> ProfileForTab(uint32_t id) {
    for (size_t i = 0; i < std::size(kProfileTabs); ++i)
        if (kProfileTabs[i] == id) return static_cast<int>(i);
    return std::nullopt;
}

std::vector<uint32_t> MainWindowViewSwitches() {
    std::vector<uint32_t> ids;
    for (const auto& [tab, page] : kPageTabs) ids.push_back(tab);
    ids.insert(ids.end(), std::begin(kProfileTabs), std::end(kProfileTabs));
    ids.push_back(MainId::kOtherViewSwitch);
    return ids;
}

void ShowSelectedTabs(CDlgBase& dlg, MainPage page, int profile) {
    for (int list = 0; list < CDlgBase::kListCount; ++list) {
        for (const auto& control : dlg.ControlList(list)) {
            auto* tab = dynamic_cast<CTabControl*>(control.get());
            if (!tab) continue;
            const auto tabPage = PageForTab(tab->Id());
            const auto tabProfile = ProfileForTab(tab->Id());
            tab->SetSelected((tabPage && *tabPage == page) ||
                             (tabProfile && *tabProfile == profile));
        }
    }
}

}  // namespace lumbra
