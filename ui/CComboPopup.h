// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include "ui/CWndPopup.h"

namespace lumbra {

// The sub-lists of the G-key function menu, in the order of its first four items.
enum class FunctionSubList { kMacro, kMultimedia, kWindowManage, kMouseFunction };

// The G-key function menu: four submenu items, then the default function,
// shortcut, quick launch and no function. Hovering an item asks the owner
// to open or close the matching submenu.
class CComboPopup : public CWndPopup {
public:
    CComboPopup();
    void DrawItems(Surface& surface, const Rect& client) override;
    void BuildItems() override;
    bool OnItemMouseMove(int x, int y) override;
    bool OnItemLButtonDown(int x, int y) override;
    bool OnItemLButtonUp(int x, int y) override;

    // What the menu asks of its owner, called at once on the UI thread; the
    // choices of "Default Function" and "No Function" arrive through onChoice.
    // An owner that set none gets the menu's messages instead.
    // An item took the hover: a submenu item wants its sub-list, any other none.
    std::function<void(std::optional<FunctionSubList>)> onSubmenuWanted;
    // "Assign a Shortcut" or "Quick Launch" was chosen.
    std::function<void()> onShortcutWanted;
    std::function<void()> onQuickLaunchWanted;

protected:
    int LayoutWidth() const override;
};

}  // namespace lumbra
