// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ui/CModalDlg.h"

namespace lumbra {

class CImageButton;
class CStaticText;

// A 3-frame image button in list 0 of a small dialog.
CImageButton* AddDialogImageButton(CDlgBase& dlg, uint32_t id, const Rect& rect, int png);

// On the message box's background: the close button and the title at its top, and a centred
// line of text whose top is at top.
inline constexpr uint32_t kNoticeCloseId = 2004;
void AddNoticeCaption(CDlgBase& dlg, std::string title);
void AddNoticeLine(CDlgBase& dlg, std::string text, int top);

// The program's message box: a title, a text (one line, or lines split at
// '\n'), OK and Cancel.
// Close and Cancel give DialogResult::kCancel, OK gives DialogResult::kOk.
class CAttentionDlg : public CModalDlg {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 270;
    static constexpr int kBackground = 380;

    CAttentionDlg(std::string title, std::string text, HostWindow* owner);
    ~CAttentionDlg() override;

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;

private:
    std::string m_title;
    std::string m_text;
};

}  // namespace lumbra
