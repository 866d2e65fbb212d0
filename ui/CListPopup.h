// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CWndPopup.h"

namespace lumbra {

// What sets one plain list popup apart from another besides its items and
// its choices.
struct ListPopupLook {
    int width = 0;  // the items' width; 0 takes the width the popup is created with
    FontDesc font;
};

// A popup whose items follow the standard hover and release rules; a press
// outside the hovered item clears the hover, a release on it calls Choose.
class CListPopup : public CWndPopup {
public:
    void DrawItems(Surface& surface, const Rect& client) override;
    bool OnItemMouseMove(int x, int y) override;
    bool OnItemLButtonDown(int x, int y) override;
    bool OnItemLButtonUp(int x, int y) override;

protected:
    CListPopup(int kind, ListPopupLook look);
    int LayoutWidth() const override;
    virtual void Choose(const PopupItem& item) = 0;

private:
    ListPopupLook m_look;
};

}  // namespace lumbra
