// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CMacroListPopup.h"

namespace lumbra {

// The macro sets, then the commands to add and delete a set. Reports the
// chosen item's type: 0 add a set, 1 delete a set, 2 + n the set at n.
class CMacroSetListPopup : public CMacroListPopup {
public:
    explicit CMacroSetListPopup(const MacroLibrary* library);
    void BuildItems() override;

    // Called at once on the UI thread; the handler may close the popup.
    std::function<void(int type)> onItemChosen;

protected:
    void Choose(const PopupItem& item) override;
};

}  // namespace lumbra
