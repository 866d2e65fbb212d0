// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CAttentionDlg.h"

#include <algorithm>

#include "ui/CImageButton.h"
#include "ui/CStaticText.h"

namespace lumbra {

namespace {

constexpr uint32_t kIdOkButton = 2010;
constexpr uint32_t kIdCancelButton = 2011;
constexpr uint32_t kIdTitle = 2012;
constexpr uint32_t kIdText = 2013;
constexpr Color kTitleColor = Rgb(0x52, 0x90, 0xFE);
constexpr Color kWhite = Rgb(255, 255, 255);

}  // namespace

CImageButton* AddDialogImageButton(CDlgBase& dlg, uint32_t id, const Rect& rect, int png) {
    auto button = std::make_unique<CImageButton>(dlg.Window(), id, rect, "", true, false);
    button->LoadImageStrip(png);
    return dlg.AddControl(0, std::move(button));
}

void AddNoticeCaption(CDlgBase& dlg, std::string title) {
    AddDialogImageButton(dlg, kNoticeCloseId, Rect{369, 10, 387, 28}, 135);
    auto caption = std::make_unique<CStaticText>(dlg.Window(), kIdTitle, Rect{21, 11, 175, 31}, "",
                                                 true, false, kTitleColor, TextFlags::kLeft);
    caption->SetString(std::move(title));
    dlg.AddControl(0, std::move(caption));
}

void AddNoticeLine(CDlgBase& dlg, std::string text, int top) {
    auto line = std::make_unique<CStaticText>(dlg.Window(), kIdText, Rect{2, top, 400, top + 20},
                                              "", true, false, kWhite, TextFlags::kCenter);
    line->SetString(std::move(text));
    dlg.AddControl(0, std::move(line));
}

CAttentionDlg::CAttentionDlg(std::string title, std::string text, HostWindow* owner)
    : CModalDlg(0, owner, ModalButtons{kIdOkButton, kIdCancelButton, kNoticeCloseId}),
      m_title(std::move(title)),
      m_text(std::move(text)) {
    SetWindowSize(kWidth, kHeight);
}

CAttentionDlg::~CAttentionDlg() = default;

bool CAttentionDlg::OnInitDialog() {
    CModalDlg::OnInitDialog();
    SetBackgroundBitmap(kBackground);
    SetDialogTitle(m_title);
    return true;
}

void CAttentionDlg::DrawBackground(Surface& surface, const Rect& client) {
    StandardDrawBackground(surface, client);
}

void CAttentionDlg::BuildControls(int, int, int, int) {
    AddNoticeCaption(*this, m_title);
    // The first line in the middle, any further ones below it.
    int top = 127;
    size_t from = 0;
    while (from <= m_text.size()) {
        const size_t end = std::min(m_text.find('\n', from), m_text.size());
        AddNoticeLine(*this, m_text.substr(from, end - from), top);
        from = end + 1;
        top += 20;
    }
    AddDialogImageButton(*this, kIdOkButton, Rect{250, 230, 296, 252}, 395);
    AddDialogImageButton(*this, kIdCancelButton, Rect{300, 230, 346, 252}, 394);
}

}  // namespace lumbra
