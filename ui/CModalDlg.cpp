// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CModalDlg.h"

#include "ui/ControlMessages.h"

namespace lumbra {

bool CModalDlg::OnInitDialog() {
    CDlgBase::OnInitDialog();
    const auto wire = [this](uint32_t id, void (CModalDlg::*run)()) {
        if (id == 0) return;
        if (CControlBase* c = FindControl(id)) c->onClick = [this, run] { (this->*run)(); };
    };
    wire(m_buttons.ok, &CModalDlg::OnOk);
    wire(m_buttons.cancel, &CModalDlg::OnCancel);
    wire(m_buttons.close, &CModalDlg::OnCancel);
    SetDialogKeys(m_buttons.ok, m_buttons.cancel != 0 ? m_buttons.cancel : m_buttons.close);
    return true;
}

bool CModalDlg::OnCloseRequest() {
    // The window manager's close stands for the close button.
    OnCancel();
    return false;
}

void CModalDlg::OnOk() { EndDialog(DialogResult::kOk); }

void CModalDlg::OnCancel() { EndDialog(DialogResult::kCancel); }

}  // namespace lumbra
