// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/CCaptureDlg.h"

#include "keys/KeyMessages.h"
#include "ui/ControlMessages.h"

namespace lumbra {

CCaptureDlg::~CCaptureDlg() { m_hook.StopHook(); }

void CCaptureDlg::StartCapture(CControlBase* field) {
    m_field = field;
    if (!field) return;
    field->SetTakesFocus(true);
    SetFocus(field);
}

void CCaptureDlg::OnFocusChanged(CControlBase*, CControlBase* now) {
    if (now && now == m_field)
        m_hook.StartHook(Window());
    else
        m_hook.StopHook();
}

intptr_t CCaptureDlg::OnMessage(uint32_t msg, uintptr_t first, intptr_t second) {
    if (msg != kMsgHookKey) return 0;
    const bool released = (static_cast<uint32_t>(second) & KeyMsg::kHookReleasedBit) != 0;
    // The release of a key pressed before the capture began (the Enter that
    // opened the dialog) is no key of the user's choosing.
    if (first != 0) {
        if (!released)
            m_down.insert(first);
        else if (m_down.erase(first) == 0)
            return 0;
    }
    OnCapturedKey(first);
    // Keys the hook took before it stopped may still be queued, and 0 is a
    // closing popup's notice: only a key pressed while capturing moves on.
    if (!released && first != 0 && FocusControl() == m_field && m_field) {
        if (CControlBase* ok = FindControl(m_okId)) SetFocus(ok);
    }
    return 0;
}

}  // namespace lumbra
