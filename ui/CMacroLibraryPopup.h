// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CMacroListPopup.h"

namespace lumbra {

// The macros of the library's first set.
class CMacroLibraryPopup : public CMacroListPopup {
public:
    explicit CMacroLibraryPopup(const MacroLibrary* library);
    void BuildItems() override;

protected:
    void Choose(const PopupItem& item) override;
};

}  // namespace lumbra
