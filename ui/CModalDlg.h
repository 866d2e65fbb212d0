// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "ui/CDlgBase.h"

namespace lumbra {

// The ids of a modal dialog's three ending buttons; 0 for one it lacks.
struct ModalButtons {
    uint32_t ok = 0;
    uint32_t cancel = 0;
    uint32_t close = 0;  // the close button drawn in the dialog's corner
};

// A dialog that runs modally and ends with OK or Cancel. OK runs OnOk; Cancel,
// the dialog's close button and the window manager's close run OnCancel. The
// buttons are wired once the controls are built. Esc cancels and Enter is OK
// wherever the focus is, except that Enter on a focused button presses it.
class CModalDlg : public CDlgBase {
public:
    CModalDlg(int templateId, HostWindow* parentWindow, ModalButtons buttons)
        : CDlgBase(templateId, parentWindow), m_buttons(buttons) {}

    bool OnInitDialog() override;
    bool OnCloseRequest() override;

protected:
    // What OK keeps, then the end of the dialog; by default it ends with kOk.
    virtual void OnOk();
    // Cancel: the dialog ends with kCancel and keeps nothing.
    virtual void OnCancel();

private:
    ModalButtons m_buttons;
};

}  // namespace lumbra
