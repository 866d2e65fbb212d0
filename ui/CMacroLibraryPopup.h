// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/MacroLibrary.h"
#include "ui/CWndPopup.h"

namespace lumbra {

// The macros of the library's first set.
class CMacroLibraryPopup : public CWndPopup {
public:
    explicit CMacroLibraryPopup(const MacroLibrary* library);
    void DrawItems(Surface& surface, const Rect& client) override;
    void BuildItems() override;
    bool OnItemMouseMove(int x, int y) override;
    bool OnItemLButtonDown(int x, int y) override;
    bool OnItemLButtonUp(int x, int y) override;

protected:
    int LayoutWidth() const override;

private:
    const MacroLibrary* m_library;
};

}  // namespace lumbra
