// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CMacroListPopup.h"

namespace lumbra {

// One macro set: "Edit Macro", then its macros.
class CMacroSetPopup : public CMacroListPopup {
public:
    CMacroSetPopup(const MacroLibrary* library, uint32_t setIndex);
    uint32_t SetIndex() const { return m_setIndex; }
    void BuildItems() override;

protected:
    void Choose(const PopupItem& item) override;

private:
    uint32_t m_setIndex;
};

}  // namespace lumbra
