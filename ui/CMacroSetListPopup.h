// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CMacroListPopup.h"

namespace lumbra {

// The macro sets, then the commands to add and delete a set. Reports the
// item's type as a plain value.
class CMacroSetListPopup : public CMacroListPopup {
public:
    explicit CMacroSetListPopup(const MacroLibrary* library);
    void BuildItems() override;

protected:
    void Choose(const PopupItem& item) override;
};

}  // namespace lumbra
