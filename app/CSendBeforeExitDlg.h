// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/MainWindowServices.h"
#include "ui/CModalDlg.h"

namespace lumbra {

// Asked at the user's Exit while changes are pending: Send, Discard or
// Cancel. Its close button and the window manager's close are Cancel.
class CSendBeforeExitDlg : public CModalDlg {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 270;
    static constexpr int kBackground = 380;
    static constexpr int kSendPicture = 410;
    static constexpr int kDiscardPicture = 411;
    // The code Discard ends the dialog with; OK is Send.
    static constexpr int kDiscardCode = 3;
    static constexpr uint32_t kIdSend = 2010;
    static constexpr uint32_t kIdDiscard = 2014;
    static constexpr uint32_t kIdCancel = 2011;

    explicit CSendBeforeExitDlg(HostWindow* owner);

    static ExitAnswer AnswerFor(int code);

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;
};

}  // namespace lumbra
