// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/CMacroManagerSmallDlg.h"

#include "macro/MacroManagerMessages.h"
#include "platform/EditBox.h"
#include "ui/CRegionButton.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {
constexpr int kAddSetBitmap = 185;
constexpr int kDeleteSetBitmap = 194;
constexpr int kAttentionBitmap = 196;
constexpr int kNoteBitmap = 195;

// Colour-keyed button strips: close, OK, Cancel; the key colour at (0, 20).
constexpr int kCloseBitmap = 388;
constexpr int kOkBitmap = 389;
constexpr int kCancelBitmap = 390;

constexpr Rect kCloseRect{276, 4, 299, 25};
constexpr Rect kOkRect{75, 172, 127, 193};
constexpr Rect kCancelRect{139, 172, 230, 193};
constexpr Rect kNameEditRect{57, 98, 246, 118};
constexpr Color kEditText = 0xFFFFFF;
constexpr Color kEditBackground = 0x0B0B0B;
}  // namespace

CMacroManagerSmallDlg::CMacroManagerSmallDlg(HostWindow* parent, int bitmapId, uint32_t nameMessage)
    : CDlgBase(0, parent), m_bitmapId(bitmapId), m_nameMessage(nameMessage) {
    SetWindowSize(kWidth, kHeight);
}

// The edit box goes before the window that holds it.
CMacroManagerSmallDlg::~CMacroManagerSmallDlg() { m_edit.reset(); }

bool CMacroManagerSmallDlg::OnInitDialog() {
    CDlgBase::OnInitDialog();
    SetBackgroundBitmap(m_bitmapId);
    if (m_nameMessage != 0) {
        m_edit = std::make_unique<EditBox>(*Window(), kIdNameEdit, kNameEditRect, true);
        m_edit->SetColors(kEditText, kEditBackground);
        m_edit->Focus();
    }
    return true;
}

void CMacroManagerSmallDlg::DrawBackground(Surface& surface, const Rect& client) {
    StandardDrawBackground(surface, client);
}

void CMacroManagerSmallDlg::BuildControls(int, int, int, int) {
    auto button = [this](uint32_t id, const Rect& r, int bitmap) {
        auto b = std::make_unique<CRegionButton>(Window(), id, r, "", true, false);
        b->SetBitmap(bitmap, r.Width(), r.Height(), 0, r.Height() - 1);
        AddControl(0, std::move(b));
    };
    button(kIdClose, kCloseRect, kCloseBitmap);
    button(kIdOk, kOkRect, kOkBitmap);
    button(kIdCancel, kCancelRect, kCancelBitmap);
}

intptr_t CMacroManagerSmallDlg::OnMessage(uint32_t msg, uintptr_t first, intptr_t second) {
    if (second != ControlEvent::kClicked) return 0;
    switch (msg) {
        case kIdOk:
            if (m_nameMessage != 0 && m_parentWindow) {
                const std::string name = m_edit ? m_edit->Text() : std::string();
                m_parentWindow->Send(m_nameMessage, first, reinterpret_cast<intptr_t>(&name));
            }
            EndDialog(DialogResult::kOk);
            return 0;
        case kIdClose:
        case kIdCancel:
            EndDialog(DialogResult::kCancel);
            return 0;
        default:
            return 0;
    }
}

CMacroManagerAddDlg::CMacroManagerAddDlg(HostWindow* parent)
    : CMacroManagerSmallDlg(parent, kAddSetBitmap, kMsgAddSet) {}

CMacroManagerDelSetDlg::CMacroManagerDelSetDlg(HostWindow* parent)
    : CMacroManagerSmallDlg(parent, kDeleteSetBitmap, kMsgDeleteSet) {}

CMacroManagerAttentionDlg::CMacroManagerAttentionDlg(HostWindow* parent)
    : CMacroManagerSmallDlg(parent, kAttentionBitmap, 0) {}

CMacroManagerNoteDlg::CMacroManagerNoteDlg(HostWindow* parent)
    : CMacroManagerSmallDlg(parent, kNoteBitmap, 0) {}

}  // namespace lumbra
