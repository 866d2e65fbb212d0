// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "keys/CCaptureDlg.h"
#include "ui/ChoiceRecord.h"

namespace lumbra {

class CCheckButton;
class CStaticText;

// The shortcut dialog: a set of modifiers ticked in the dialog and one key
// captured from the keyboard, for a G key. OK hands onChosen the
// combination's name (for example "Ctrl+Alt+A"), type 6, the modifier bits
// (1 Ctrl, 2 Shift, 4 Alt, 8 Win) and the key's HID usage, then ends the
// dialog with kCancel. An empty name chooses nothing; so does cancelling.
class CShortcutDlg : public CCaptureDlg {
public:
    static constexpr int kWidth = 420;
    static constexpr int kHeight = 206;
    static constexpr int kBackground = 153;

    explicit CShortcutDlg(HostWindow* parent);

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;

    // The record as OK would complete it (name of the captured key, its code).
    const ChoiceRecord& Record() const { return m_record; }
    uint8_t KeyCode() const { return m_record.b2; }

    // The choice OK would send: the name built from the ticked modifiers and
    // the captured key's name, type 6, the modifier bits and the key code.
    static ChoiceRecord BuildChoice(bool none, bool ctrl, bool shift, bool alt, bool win,
                                    const std::string& keyName, uint8_t keyCode);

    // The combination OK chose, called while the dialog still runs.
    std::function<void(const ChoiceRecord&)> onChosen;

protected:
    void OnOk() override;
    void OnCapturedKey(uintptr_t virtualKey) override;

private:
    void OnNoneToggled();
    bool Checked(uint32_t id) const;

    ChoiceRecord m_record;
    CStaticText* m_keyName = nullptr;
};

}  // namespace lumbra
