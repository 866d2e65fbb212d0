// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/CShortcutDlg.h"

#include "model/KeyAction.h"
#include "model/KeyNames.h"
#include "ui/CCheckButton.h"
#include "ui/CRegionButton.h"
#include "ui/CStaticText.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {

constexpr uint32_t kIdClose = 2004;
constexpr uint32_t kIdNone = 2005;
constexpr uint32_t kIdCtrl = 2006;
constexpr uint32_t kIdAlt = 2007;
constexpr uint32_t kIdShift = 2008;
constexpr uint32_t kIdWin = 2009;
constexpr uint32_t kIdOk = 2010;
constexpr uint32_t kIdCancel = 2011;
constexpr uint32_t kIdKeyName = 2012;

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr int kCheckPng = 156;
constexpr int kCloseBitmap = 388;
constexpr int kOkBitmap = 391;
constexpr int kCancelBitmap = 392;

}  // namespace

CShortcutDlg::CShortcutDlg(HostWindow* parent)
    : CCaptureDlg(parent, ModalButtons{kIdOk, kIdCancel, kIdClose}) {
    SetWindowSize(kWidth, kHeight);
}

ChoiceRecord CShortcutDlg::BuildChoice(bool none, bool ctrl, bool shift, bool alt, bool win,
                                       const std::string& keyName, uint8_t keyCode) {
    ChoiceRecord r;
    r.b0 = KeyActionType::kKeyCombination;
    r.b2 = keyCode;
    std::string prefix;
    const struct {
        bool ticked;
        const char* text;
        uint8_t bit;
    } modifiers[] = {{ctrl, "Ctrl+", KeyModifier::kCtrl},
                     {shift, "Shift+", KeyModifier::kShift},
                     {alt, "Alt+", KeyModifier::kAlt},
                     {win, "Win+", KeyModifier::kWin}};
    for (const auto& m : modifiers) {
        if (none || !m.ticked) continue;
        prefix += m.text;
        r.b1 = static_cast<uint8_t>(r.b1 | m.bit);
    }
    r.text = prefix + keyName;
    // Modifiers without a captured key end in '+'.
    if (!r.text.empty() && r.text.back() == '+') r.text.pop_back();
    return r;
}

bool CShortcutDlg::OnInitDialog() {
    CModalDlg::OnInitDialog();
    SetDialogTitle("Shortcut");
    SetWindowRegionFromBitmap(kBackground);
    SetBackgroundBitmap(kBackground);
    StartCapture(m_keyName);
    m_record.b2 = 0;
    return true;
}

void CShortcutDlg::DrawBackground(Surface& surface, const Rect& client) {
    StandardDrawBackground(surface, client);
}

void CShortcutDlg::BuildControls(int, int, int, int) {
    HostWindow* w = Window();
    auto region = [&](uint32_t id, const Rect& r, int bitmap, int keyY) {
        auto button = std::make_unique<CRegionButton>(w, id, r, "", true, false);
        button->SetBitmap(bitmap, r.Width(), r.Height(), 0, keyY);
        AddControl(0, std::move(button));
    };
    auto check = [&](uint32_t id, const Rect& r) {
        auto box = std::make_unique<CCheckButton>(w, id, r, "", true, false);
        box->LoadImageStrip(kCheckPng);
        return AddControl(0, std::move(box));
    };

    region(kIdClose, Rect{391, 3, 414, 24}, kCloseBitmap, 20);
    check(kIdNone, Rect{22, 104, 34, 116})->onClick = [this] { OnNoneToggled(); };
    check(kIdCtrl, Rect{83, 104, 95, 116});
    check(kIdShift, Rect{136, 104, 148, 116});
    check(kIdAlt, Rect{186, 104, 198, 116});
    check(kIdWin, Rect{232, 104, 244, 116});
    m_keyName = AddControl(
        0, std::make_unique<CStaticText>(w, kIdKeyName, Rect{287, 100, 405, 120}, "", true, false,
                                         kWhite, TextFlags::kLeft | TextFlags::kVCenter));
    region(kIdOk, Rect{16, 162, 89, 191}, kOkBitmap, 28);
    region(kIdCancel, Rect{118, 162, 184, 191}, kCancelBitmap, 28);
}

void CShortcutDlg::OnCapturedKey(uintptr_t virtualKey) {
    // The name tables have 256 entries.
    if (virtualKey > 0xFF) return;
    const auto vk = static_cast<uint8_t>(virtualKey);
    m_record.text = std::string(VirtualKeyName(vk));
    m_record.b2 = VkToHid(vk);
    if (m_keyName) {
        m_keyName->SetString(m_record.text);
        m_keyName->Invalidate();
    }
}

void CShortcutDlg::OnNoneToggled() {
    const bool none = Checked(kIdNone);
    for (uint32_t id : {kIdCtrl, kIdShift, kIdAlt, kIdWin}) {
        if (CControlBase* c = FindControl(id)) {
            c->SetDisabled(none);
            c->Invalidate();
        }
    }
}

void CShortcutDlg::OnOk() {
    const ChoiceRecord choice =
        BuildChoice(Checked(kIdNone), Checked(kIdCtrl), Checked(kIdShift), Checked(kIdAlt),
                    Checked(kIdWin), m_record.text, m_record.b2);
    if (const auto handler = onChosen; handler && !choice.text.empty()) handler(choice);
    EndDialog(DialogResult::kCancel);
}

bool CShortcutDlg::Checked(uint32_t id) const {
    const auto* box = dynamic_cast<const CCheckButton*>(FindControl(id));
    return box && box->IsChecked();
}

}  // namespace lumbra
