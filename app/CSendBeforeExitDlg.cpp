// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CSendBeforeExitDlg.h"

#include <string>

#include "app/CAttentionDlg.h"
#include "app/MainWindowCommands.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {

constexpr std::string_view kTitle = "Exit";

}  // namespace

CSendBeforeExitDlg::CSendBeforeExitDlg(HostWindow* owner)
    : CModalDlg(0, owner, ModalButtons{kIdSend, kIdCancel, kNoticeCloseId}) {
    SetWindowSize(kWidth, kHeight);
}

ExitAnswer CSendBeforeExitDlg::AnswerFor(int code) {
    if (code == DialogResult::kOk) return ExitAnswer::kSend;
    if (code == kDiscardCode) return ExitAnswer::kDiscard;
    return ExitAnswer::kCancel;
}

bool CSendBeforeExitDlg::OnInitDialog() {
    CModalDlg::OnInitDialog();
    SetBackgroundBitmap(kBackground);
    SetDialogTitle(kTitle);
    if (CControlBase* discard = FindControl(kIdDiscard))
        discard->onClick = [this] { EndDialog(kDiscardCode); };
    return true;
}

void CSendBeforeExitDlg::DrawBackground(Surface& surface, const Rect& client) {
    StandardDrawBackground(surface, client);
}

void CSendBeforeExitDlg::BuildControls(int, int, int, int) {
    AddNoticeCaption(*this, std::string(kTitle));
    AddNoticeLine(*this, std::string(MainWindowCommands::kSendBeforeExitQuestion), 127);
    AddDialogImageButton(*this, kIdSend, Rect{186, 230, 232, 252}, kSendPicture);
    AddDialogImageButton(*this, kIdDiscard, Rect{236, 230, 296, 252}, kDiscardPicture);
    AddDialogImageButton(*this, kIdCancel, Rect{300, 230, 346, 252}, 394);
}

}  // namespace lumbra
