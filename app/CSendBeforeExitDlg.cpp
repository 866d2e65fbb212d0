// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CSendBeforeExitDlg.h"

#include <string>

#include "app/CAttentionDlg.h"
#include "app/MainWindowCommands.h"
#include "ui/CStaticText.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {

constexpr uint32_t kIdClose = 2004;
constexpr uint32_t kIdTitle = 2012;
constexpr uint32_t kIdText = 2013;
constexpr Color kTitleColor = Rgb(0x52, 0x90, 0xFE);
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr std::string_view kTitle = "Exit";

}  // namespace

CSendBeforeExitDlg::CSendBeforeExitDlg(HostWindow* owner)
    : CModalDlg(0, owner, ModalButtons{kIdSend, kIdCancel, kIdClose}) {
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
    AddDialogImageButton(*this, kIdClose, Rect{369, 10, 387, 28}, 135);
    auto title = std::make_unique<CStaticText>(Window(), kIdTitle, Rect{21, 11, 175, 31}, "", true,
                                               false, kTitleColor, TextFlags::kLeft);
    title->SetString(std::string(kTitle));
    AddControl(0, std::move(title));
    auto text = std::make_unique<CStaticText>(Window(), kIdText, Rect{2, 127, 400, 147}, "", true,
                                              false, kWhite, TextFlags::kCenter);
    text->SetString(std::string(MainWindowCommands::kSendBeforeExitQuestion));
    AddControl(0, std::move(text));
    AddDialogImageButton(*this, kIdSend, Rect{186, 230, 232, 252}, kSendPicture);
    AddDialogImageButton(*this, kIdDiscard, Rect{236, 230, 296, 252}, kDiscardPicture);
    AddDialogImageButton(*this, kIdCancel, Rect{300, 230, 346, 252}, 394);
}

}  // namespace lumbra
