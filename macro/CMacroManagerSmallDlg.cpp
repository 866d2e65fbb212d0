// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/CMacroManagerSmallDlg.h"

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

CMacroManagerSmallDlg::CMacroManagerSmallDlg(HostWindow* parent, int bitmapId, bool asksForName)
    : CDlgBase(0, parent), m_bitmapId(bitmapId), m_asksForName(asksForName) {
    SetWindowSize(kWidth, kHeight);
}

// The edit box goes before the window that holds it.
CMacroManagerSmallDlg::~CMacroManagerSmallDlg() { m_edit.reset(); }

bool CMacroManagerSmallDlg::OnInitDialog() {
    CDlgBase::OnInitDialog();
    SetDialogTitle(m_title);
    SetBackgroundBitmap(m_bitmapId);
    if (m_asksForName) {
        m_edit = std::make_unique<EditBox>(*Window(), kIdNameEdit, kNameEditRect, true);
        m_edit->SetColors(kEditText, kEditBackground);
        m_edit->SetAccessibleName("Macro set name");
        m_edit->Focus();
    }
    return true;
}

void CMacroManagerSmallDlg::DrawBackground(Surface& surface, const Rect& client) {
    StandardDrawBackground(surface, client);
}

void CMacroManagerSmallDlg::BuildControls(int, int, int, int) {
    auto button = [this](uint32_t id, const Rect& r, int bitmap, std::function<void()> click) {
        auto b = std::make_unique<CRegionButton>(Window(), id, r, "", true, false);
        b->SetBitmap(bitmap, r.Width(), r.Height(), 0, r.Height() - 1);
        b->onClick = std::move(click);
        AddControl(0, std::move(b));
    };
    auto cancel = [this] { EndDialog(DialogResult::kCancel); };
    button(kIdClose, kCloseRect, kCloseBitmap, cancel);
    button(kIdOk, kOkRect, kOkBitmap, [this] { Ok(); });
    button(kIdCancel, kCancelRect, kCancelBitmap, cancel);
    SetDialogKeys(kIdOk, kIdCancel);
}

void CMacroManagerSmallDlg::Ok() {
    if (m_asksForName && onNameEntered) {
        const std::string name = m_edit ? m_edit->Text() : std::string();
        const auto handler = onNameEntered;
        handler(name);
    }
    EndDialog(DialogResult::kOk);
}

CMacroManagerAddDlg::CMacroManagerAddDlg(HostWindow* parent)
    : CMacroManagerSmallDlg(parent, kAddSetBitmap, true) {
    m_title = "New Macro Set";
}

CMacroManagerDelSetDlg::CMacroManagerDelSetDlg(HostWindow* parent)
    : CMacroManagerSmallDlg(parent, kDeleteSetBitmap, true) {
    m_title = "Delete Macro Set";
}

CMacroManagerAttentionDlg::CMacroManagerAttentionDlg(HostWindow* parent)
    : CMacroManagerSmallDlg(parent, kAttentionBitmap, false) {
    m_title = "Attention";
}

CMacroManagerNoteDlg::CMacroManagerNoteDlg(HostWindow* parent)
    : CMacroManagerSmallDlg(parent, kNoteBitmap, false) {
    m_title = "Note";
}

}  // namespace lumbra
