// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/CKeyMapSettingDlg.h"

#include "keys/KeyAssignment.h"
#include "model/KeyAction.h"
#include "model/KeyNames.h"
#include "ui/CComboButton.h"
#include "ui/CImageButton.h"
#include "ui/CMouseFunctionPopup.h"
#include "ui/CRadioButton.h"
#include "ui/CStaticText.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {

constexpr uint32_t kIdClose = 2004;
constexpr uint32_t kIdOk = 2010;
constexpr uint32_t kIdCancel = 2011;
constexpr uint32_t kIdCombo = 2012;
constexpr uint32_t kIdKeyMode = CKeyMapSettingDlg::kModeRadios[0];
constexpr uint32_t kIdMouseMode = CKeyMapSettingDlg::kModeRadios[1];
constexpr uint32_t kIdLabel = 2015;
constexpr uint32_t kIdRestore = 2016;
constexpr uint32_t kIdKeyName = 2017;
constexpr uint32_t kIdDisableMode = CKeyMapSettingDlg::kModeRadios[2];

constexpr uint8_t kClick = 208;
constexpr uint8_t kDoubleClick = 213;
constexpr uint8_t kFire = 214;

constexpr Color kGreen = Rgb(0, 255, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

constexpr int kClosePng = 135;
constexpr int kRestorePng = 276;
constexpr int kComboPng = 265;
constexpr int kOkPng = 166;
constexpr int kCancelPng = 168;
constexpr int kRadioBitmap = 275;
constexpr int kRadioFrame = 17;

uint32_t ModeRadioId(CKeyMapSettingDlg::Mode mode) {
    switch (mode) {
        case CKeyMapSettingDlg::Mode::kMouse:
            return kIdMouseMode;
        case CKeyMapSettingDlg::Mode::kDisable:
            return kIdDisableMode;
        case CKeyMapSettingDlg::Mode::kKey:
            break;
    }
    return kIdKeyMode;
}

}  // namespace

CKeyMapSettingDlg::CKeyMapSettingDlg(HostWindow* parent, uint32_t keyButtonId, std::string keyLabel,
                                     uint8_t factoryCode, uint8_t currentCode)
    : CCaptureDlg(parent, ModalButtons{kIdOk, kIdCancel, kIdClose}),
      m_keyButtonId(keyButtonId),
      m_keyLabel(std::move(keyLabel)),
      m_factoryCode(factoryCode),
      m_currentCode(currentCode) {
    SetWindowSize(kWidth, kHeight);
}

std::string_view CKeyMapSettingDlg::MouseFunctionName(uint8_t code) {
    switch (code) {
        case 208:
            return "Click";
        case 209:
            return "Menu";
        case 210:
            return "Univeral scrolling";
        case 211:
            return "IE Backward";
        case 212:
            return "IE Forward";
        case 213:
            return "Double-click";
        case 214:
            return "Fire";
        default:
            return "";
    }
}

uint8_t CKeyMapSettingDlg::MouseCodeForChoice(uint8_t type, uint8_t param1) {
    if (type == KeyActionType::kMouseButton) {
        switch (param1) {
            case 1:
                return 208;
            case 2:
                return 209;
            case 4:
                return 210;
            case 8:
                return 211;
            case 16:
                return 212;
            default:
                return kClick;
        }
    }
    return type == KeyActionType::kDoubleClick ? kDoubleClick : kFire;
}

bool CKeyMapSettingDlg::OnInitDialog() {
    CModalDlg::OnInitDialog();
    SetDialogTitle("Key Setting");
    SetBackgroundBitmap(kBackground);
    StartCapture(m_keyName);

    const uint8_t c = m_currentCode;
    if (c >= KeyCode::kFirstMouseFunction && c <= KeyCode::kLastMouseFunction) {
        SetMode(Mode::kMouse);
        m_combo->SetDisplayText(std::string(MouseFunctionName(c)));
        m_mouseChoice = c;
        m_keyChoice = m_factoryCode;
        ShowKeyName(m_keyLabel);
    } else if (c != KeyCode::kDisabled) {
        SetMode(Mode::kKey);
        m_combo->SetDisplayText(std::string(MouseFunctionName(kClick)));
        m_mouseChoice = kClick;
        m_keyChoice = c;
        ShowKeyName(std::string(KeyCodeName(c)));
    } else {
        SetMode(Mode::kDisable);
        m_combo->SetDisplayText(std::string(MouseFunctionName(kClick)));
        m_mouseChoice = kClick;
        m_keyChoice = m_factoryCode;
        ShowKeyName(std::string(KeyCodeName(m_factoryCode)));
    }
    return true;
}

void CKeyMapSettingDlg::DrawBackground(Surface& surface, const Rect& client) {
    StandardDrawBackground(surface, client);
}

void CKeyMapSettingDlg::BuildControls(int, int, int, int) {
    HostWindow* w = Window();
    auto image = [&](uint32_t id, const Rect& r, int png) {
        auto button = std::make_unique<CImageButton>(w, id, r, "", true, false);
        button->LoadImageStrip(png);
        return AddControl(0, std::move(button));
    };
    auto radio = [&](Mode mode, const Rect& r) {
        auto button = std::make_unique<CRadioButton>(w, ModeRadioId(mode), r, "", true, false);
        button->SetBitmap(kRadioBitmap, kRadioFrame, kRadioFrame, 0, 0);
        button->SetSelected(mode == m_mode);
        button->onClick = [this, mode] { SetMode(mode); };
        AddControl(0, std::move(button));
    };

    image(kIdClose, Rect{369, 10, 387, 28}, kClosePng);
    auto label = std::make_unique<CStaticText>(w, kIdLabel, Rect{118, 60, 244, 83}, "", true, false,
                                               kGreen, TextFlags::kLeft | TextFlags::kVCenter);
    label->SetString(m_keyLabel);
    AddControl(0, std::move(label));
    image(kIdRestore, Rect{257, 60, 345, 80}, kRestorePng)->onClick = [this] { OnRestore(); };
    radio(Mode::kKey, Rect{24, 96, 41, 113});
    m_keyName = AddControl(
        0, std::make_unique<CStaticText>(w, kIdKeyName, Rect{194, 94, 379, 114}, "", true, false,
                                         kWhite, TextFlags::kCenter | TextFlags::kVCenter));
    radio(Mode::kMouse, Rect{24, 136, 41, 153});
    auto combo =
        std::make_unique<CComboButton>(w, kIdCombo, Rect{194, 136, 379, 156}, "", true, false);
    combo->LoadImageStrip(kComboPng);
    combo->onClick = [this] { OnComboClick(); };
    m_combo = AddControl(0, std::move(combo));
    radio(Mode::kDisable, Rect{24, 174, 41, 191});
    image(kIdOk, Rect{223, 229, 269, 251}, kOkPng);
    image(kIdCancel, Rect{324, 229, 370, 251}, kCancelPng);
}

uint8_t CKeyMapSettingDlg::ChosenCode() const {
    switch (CurrentMode()) {
        case Mode::kMouse:
            return m_mouseChoice;
        case Mode::kDisable:
            return KeyCode::kDisabled;
        case Mode::kKey:
            break;
    }
    return m_keyChoice;
}

void CKeyMapSettingDlg::OnCapturedKey(uintptr_t virtualKey) {
    // 0 is a closing popup's notice, not a key; the name tables have 256 entries.
    if (virtualKey == 0 || virtualKey > 0xFF) return;
    const auto vk = static_cast<uint8_t>(virtualKey);
    m_capturedName = std::string(VirtualKeyName(vk));
    m_capturedVirtualKey = vk;
    m_keyChoice = VkToHid(vk);
    ShowKeyName(m_capturedName);
}

void CKeyMapSettingDlg::OnComboClick() {
    const Rect r = m_combo->GetRect();
    m_combo->SetPopupOpen(true);
    m_combo->Invalidate();
    auto* list = new CMouseFunctionPopup;
    list->onChoice = [this](const ChoiceRecord& record) { OnMouseFunctionChosen(record); };
    list->onDeactivated = [this] { OnMouseListDeactivated(); };
    ShowPopup(PopupSlot::kMouseFunctionList, Rect{r.left, r.bottom, r.right, r.bottom + 20}, list,
              kIdCombo);
}

void CKeyMapSettingDlg::OnMouseFunctionChosen(const ChoiceRecord& record) {
    m_mouseChoice = MouseCodeForChoice(record.b0, record.b1);
    m_combo->SetDisplayText(record.text);
    CloseMouseList();
}

void CKeyMapSettingDlg::OnMouseListDeactivated() {
    if (!Popup(PopupSlot::kMouseFunctionList)) return;
    CloseMouseList();
}

void CKeyMapSettingDlg::CloseMouseList() {
    m_combo->SetPopupOpen(false);
    m_combo->Invalidate();
    ClosePopup(PopupSlot::kMouseFunctionList);
}

void CKeyMapSettingDlg::RepaintRadios() {
    for (uint32_t id : {kIdKeyMode, kIdMouseMode, kIdDisableMode})
        if (CControlBase* c = FindControl(id)) c->Invalidate();
}

void CKeyMapSettingDlg::OnRestore() {
    m_keyChoice = m_factoryCode;
    SetMode(Mode::kKey);
    ShowKeyName(m_keyLabel);
}

void CKeyMapSettingDlg::OnOk() {
    EndDialog(DialogResult::kOk);
    const uint8_t code = ChosenCode();
    m_currentCode = code;
    if (const auto handler = onCodeChosen) handler(m_keyButtonId, code);
}

void CKeyMapSettingDlg::SetMode(Mode mode) {
    m_mode = mode;
    for (Mode m : {Mode::kKey, Mode::kMouse, Mode::kDisable})
        if (auto* radio = dynamic_cast<CRadioButton*>(FindControl(ModeRadioId(m))))
            radio->SetSelected(m == mode);
    RepaintRadios();
}

void CKeyMapSettingDlg::ShowKeyName(const std::string& name) {
    if (!m_keyName) return;
    m_keyName->SetString(name);
    m_keyName->Invalidate();
}

}  // namespace lumbra
