// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/MacroLibrary.h"
#include "ui/CWndPopup.h"

namespace lumbra {

// One macro set: "Edit Macro", then its macros.
class CMacroSetPopup : public CWndPopup {
public:
    CMacroSetPopup(const MacroLibrary* library, uint32_t setIndex);
    uint32_t SetIndex() const { return m_setIndex; }
    void DrawItems(Surface& surface, const Rect& client) override;
    void BuildItems() override;
    bool OnItemMouseMove(int x, int y) override;
    bool OnItemLButtonDown(int x, int y) override;
    bool OnItemLButtonUp(int x, int y) override;

protected:
    int LayoutWidth() const override;

private:
    const MacroLibrary* m_library;
    uint32_t m_setIndex;
};

}  // namespace lumbra
