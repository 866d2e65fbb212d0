// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CWndPopup.h"

namespace lumbra {

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

protected:
    int LayoutWidth() const override;
};

}  // namespace lumbra
