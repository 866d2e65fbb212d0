// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CWndPopup.h"

namespace lumbra {

// The lighting mode choices.
class CLightColorPopup : public CWndPopup {
public:
    CLightColorPopup();
    void DrawItems(Surface& surface, const Rect& client) override;
    void BuildItems() override;
    bool OnItemMouseMove(int x, int y) override;
    bool OnItemLButtonDown(int x, int y) override;
    bool OnItemLButtonUp(int x, int y) override;

protected:
    int LayoutWidth() const override;
};

}  // namespace lumbra
