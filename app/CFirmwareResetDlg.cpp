// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CFirmwareResetDlg.h"

#include "ui/CImageButton.h"

namespace lumbra {

namespace {
constexpr uint32_t kIdOkButton = 2010;
constexpr uint32_t kIdCancelButton = 2011;
constexpr int kOkPng = 166;
constexpr int kCancelPng = 168;
}  // namespace

CFirmwareResetDlg::CFirmwareResetDlg(int pictureId, HostWindow* owner)
    : CAttentionDlg("", "", owner), m_picture(pictureId) {}

bool CFirmwareResetDlg::OnInitDialog() {
    CModalDlg::OnInitDialog();
    SetDialogTitle("Reset All");
    SetBackgroundBitmap(m_picture);
    return true;
}

void CFirmwareResetDlg::BuildControls(int, int, int, int) {
    AddDialogImageButton(*this, kIdOkButton, Rect{250, 230, 296, 252}, kOkPng);
    AddDialogImageButton(*this, kIdCancelButton, Rect{300, 230, 346, 252}, kCancelPng);
}

}  // namespace lumbra
