// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CAttentionDlg.h"

namespace lumbra {

// The reset confirmation: the question is part of the picture (165 for the
// current profile, 258 for all profiles); only OK and Cancel.
class CFirmwareResetDlg : public CAttentionDlg {
public:
    explicit CFirmwareResetDlg(int pictureId, HostWindow* owner);

    bool OnInitDialog() override;
    void BuildControls(int left, int top, int right, int bottom) override;

private:
    int m_picture;
};

}  // namespace lumbra
