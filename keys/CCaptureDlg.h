// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <set>

#include "keys/CKeyboardHook.h"
#include "ui/CModalDlg.h"

namespace lumbra {

// A dialog that captures one key from the keyboard into a field. While the
// field has the keyboard focus the keyboard hook runs and every key is
// captured, Esc, Tab, Enter and Alt combinations included. The field has the
// focus when the dialog opens; a captured key press moves the focus on to OK,
// and from there the keys act on the dialog (Tab, Enter, Space, Esc). A click
// on the field, or Tab onto it, captures again.
class CCaptureDlg : public CModalDlg {
public:
    CCaptureDlg(HostWindow* parentWindow, ModalButtons buttons)
        : CModalDlg(0, parentWindow, buttons), m_okId(buttons.ok) {}
    ~CCaptureDlg() override;

    const CKeyboardHook& Hook() const { return m_hook; }
    // The hook's keys: OnCapturedKey, then a press moves the focus on.
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override;

protected:
    // Makes `field` the capture field and gives it the focus; called once
    // the controls are built.
    void StartCapture(CControlBase* field);
    // A key transition the hook captured (virtual-key code).
    virtual void OnCapturedKey(uintptr_t virtualKey) = 0;
    void OnFocusChanged(CControlBase* before, CControlBase* now) override;

private:
    uint32_t m_okId;
    CControlBase* m_field = nullptr;
    CKeyboardHook m_hook;
    std::set<uintptr_t> m_down;  // keys pressed while capturing
};

}  // namespace lumbra
