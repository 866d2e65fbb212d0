// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyAssignmentPart.h"

#include "keys/ButtonIds.h"
#include "keys/CKeyMapSettingDlg.h"
#include "keys/CQuickLaunchDlg.h"
#include "keys/CShortcutDlg.h"
#include "model/KeyNames.h"
#include "model/KeyboardModel.h"
#include "model/MacroLibrary.h"
#include "ui/CComboButton.h"
#include "ui/CComboPopup.h"
#include "ui/CDlgBase.h"
#include "ui/CKeyboardButton.h"
#include "ui/CMacroLibraryPopup.h"
#include "ui/CMouseFunctionPopup.h"
#include "ui/CMultimediaKeyPopup.h"
#include "ui/CWindowManagePopup.h"

namespace lumbra {

namespace {

constexpr PopupSlot kFunctionMenuSlot = PopupSlot::kFunctionMenu;

// The sub-lists of the function menu and the popup slot each opens in.
struct SubList {
    FunctionSubList list;
    PopupSlot slot;
};
constexpr SubList kSubLists[] = {
    {FunctionSubList::kMacro, PopupSlot::kMacroLibrary},
    {FunctionSubList::kMultimedia, PopupSlot::kMultimediaList},
    {FunctionSubList::kWindowManage, PopupSlot::kWindowManageList},
    {FunctionSubList::kMouseFunction, PopupSlot::kMouseFunctionList},
};

// What assistive tools call a key button: the key and what it sends now.
std::string KeyButtonName(const CKeyboardButton& key) {
    const uint8_t code = key.CurrentCode();
    if (code == KeyCode::kDisabled) return key.KeyName() + ", disabled";
    if (code >= KeyCode::kFirstMouseFunction && code <= KeyCode::kLastMouseFunction)
        return key.KeyName() + ", mouse " + std::string(CKeyMapSettingDlg::MouseFunctionName(code));
    return key.KeyName() + ", sends " + std::string(KeyCodeName(code));
}

PopupSlot SlotOf(FunctionSubList list) {
    for (const SubList& s : kSubLists)
        if (s.list == list) return s.slot;
    return PopupSlot::kMacroLibrary;
}

}  // namespace

KeyAssignmentPart::KeyAssignmentPart(CDlgBase& window, KeyboardModel& model,
                                     const MacroLibrary* library, ModalRunner runModal,
                                     ProgramChooser chooseProgram)
    : m_window(window),
      m_model(model),
      m_library(library),
      m_assign(model),
      m_runModal(std::move(runModal)),
      m_chooseProgram(std::move(chooseProgram)) {
    WireButtons();
}

KeyAssignmentPart::~KeyAssignmentPart() {
    // The window may outlive the part: its buttons and open menus forget it.
    for (int id = kFirstKeyButtonId; id <= kLastKeyButtonId; ++id)
        if (CControlBase* c = m_window.FindControl(static_cast<uint32_t>(id))) c->onClick = nullptr;
    for (int id = kFirstGKeyButtonId; id <= kLastGKeyButtonId; ++id) {
        if (CComboButton* b = GKeyButton(static_cast<uintptr_t>(id))) {
            b->onClick = nullptr;
            b->accessibleName = nullptr;
        }
    }
    if (auto* menu = dynamic_cast<CComboPopup*>(m_window.Popup(kFunctionMenuSlot))) {
        menu->onSubmenuWanted = nullptr;
        menu->onShortcutWanted = nullptr;
        menu->onQuickLaunchWanted = nullptr;
    }
    const auto forget = [](CWndPopup* popup) {
        if (!popup) return;
        popup->onChoice = nullptr;
        popup->onDeactivated = nullptr;
    };
    forget(m_window.Popup(kFunctionMenuSlot));
    for (const SubList& s : kSubLists) forget(m_window.Popup(s.slot));
}

void KeyAssignmentPart::WireButtons() {
    for (int id = kFirstKeyButtonId; id <= kLastKeyButtonId; ++id) {
        auto* key = dynamic_cast<CKeyboardButton*>(m_window.FindControl(static_cast<uint32_t>(id)));
        if (!key) continue;
        key->onClick = [this, key] { OnKeyButton(*key); };
        key->accessibleName = [key] { return KeyButtonName(*key); };
    }
    for (int id = kFirstGKeyButtonId; id <= kLastGKeyButtonId; ++id) {
        const auto buttonId = static_cast<uintptr_t>(id);
        if (CComboButton* g = GKeyButton(buttonId)) {
            g->onClick = [this, buttonId] { OpenFunctionMenu(buttonId); };
            g->accessibleName = [this, buttonId] { return GKeyName(buttonId); };
        }
    }
}

std::string KeyAssignmentPart::GKeyName(uintptr_t buttonId) const {
    const int g = static_cast<int>(buttonId) - kFirstGKeyButtonId;
    const GKeySlot* slot = m_model.Current().GKey(g);
    const CComboButton* button = GKeyButton(buttonId);
    std::string name = "G";
    name += std::to_string(g + 1);
    if (!slot || !button) return name;
    const std::string shown = button->LabelText();
    switch (slot->action.type) {
        case KeyActionType::kNone:
            return name + ", no function";
        case KeyActionType::kMacro:
            return name + ", plays macro " + shown;
        case KeyActionType::kMouseButton:
        case KeyActionType::kDoubleClick:
        case KeyActionType::kFire:
            return name + ", mouse " + shown;
        case KeyActionType::kQuickLaunch:
            return name + ", opens " + shown;
        default:
            return name + ", sends " + shown;
    }
}

// ---- key buttons --------------------------------------------------------------

void KeyAssignmentPart::OnKeyButton(CKeyboardButton& button) {
    CKeyMapSettingDlg dlg(m_window.Window(), button.Id(), button.KeyName(), button.DefaultCode(),
                          button.CurrentCode());
    dlg.onCodeChosen = [this](uint32_t id, uint8_t code) { OnStoreKeyCode(id, code); };
    RunModal(dlg);
}

void KeyAssignmentPart::OnStoreKeyCode(uint32_t id, uint8_t code) {
    auto* button = dynamic_cast<CKeyboardButton*>(m_window.FindControl(id));
    if (!button) return;
    if (const auto u = m_assign.StoreKeyCode(id, code)) {
        button->SetKeyInfo(button->KeyName(), u->code, button->DefaultCode());
        button->Invalidate();
    }
}

// ---- the function menu and its sub-lists -------------------------------------

CComboButton* KeyAssignmentPart::GKeyButton(uintptr_t id) const {
    if (id < static_cast<uintptr_t>(kFirstGKeyButtonId) ||
        id > static_cast<uintptr_t>(kLastGKeyButtonId))
        return nullptr;
    return dynamic_cast<CComboButton*>(m_window.FindControl(static_cast<uint32_t>(id)));
}

void KeyAssignmentPart::OpenFunctionMenu(uintptr_t buttonId) {
    CComboButton* button = GKeyButton(buttonId);
    if (!button) return;
    // Another G key's menu goes away with its sub-lists, its button released.
    if (CWndPopup* open = m_window.Popup(kFunctionMenuSlot)) {
        const uintptr_t previous = open->Parameter();
        CloseMenus();
        if (previous != buttonId) ReleaseButton(previous);
    }
    button->SetPopupOpen(true);
    button->Invalidate();
    auto* menu = new CComboPopup;
    menu->onChoice = [this, buttonId](const ChoiceRecord& c) { OnFunctionMenuChoice(buttonId, c); };
    menu->onDeactivated = [this, buttonId] { OnFunctionMenuDeactivated(buttonId); };
    menu->onSubmenuWanted = [this, buttonId](std::optional<FunctionSubList> list) {
        OnSubmenuWanted(list, buttonId);
    };
    menu->onShortcutWanted = [this, buttonId] { OnShortcutWanted(buttonId); };
    menu->onQuickLaunchWanted = [this, buttonId] { OnQuickLaunchWanted(buttonId); };
    const Rect r = button->GetRect();
    m_window.ShowPopup(kFunctionMenuSlot, {r.left, r.bottom, r.right, r.bottom + r.Height()}, menu,
                       static_cast<uint32_t>(buttonId));
}

void KeyAssignmentPart::OnFunctionMenuChoice(uintptr_t buttonId, const ChoiceRecord& choice) {
    const auto update = m_assign.ApplyFunctionMenuChoice(buttonId, choice);
    ReleaseButton(buttonId);
    CloseMenus();
    Show(update);
}

void KeyAssignmentPart::OnFunctionMenuDeactivated(uintptr_t buttonId) {
    if (AnySubListOpen()) return;
    ReleaseButton(buttonId);
    m_window.ClosePopup(kFunctionMenuSlot);
}

void KeyAssignmentPart::OnSubmenuWanted(std::optional<FunctionSubList> list, uintptr_t buttonId) {
    if (list)
        OpenSubList(*list, buttonId);
    else
        CloseSubLists();
}

void KeyAssignmentPart::OpenSubList(FunctionSubList list, uintptr_t buttonId) {
    const PopupSlot slot = SlotOf(list);
    CComboButton* button = GKeyButton(buttonId);
    if (!button || m_window.Popup(slot)) return;
    CloseSubLists();
    CWndPopup* popup = nullptr;
    switch (list) {
        case FunctionSubList::kMacro:
            popup = new CMacroLibraryPopup(m_library);
            break;
        case FunctionSubList::kMultimedia:
            popup = new CMultimediaKeyPopup;
            break;
        case FunctionSubList::kWindowManage:
            popup = new CWindowManagePopup;
            break;
        case FunctionSubList::kMouseFunction:
            popup = new CMouseFunctionPopup;
            break;
    }
    popup->onChoice = [this, list, buttonId](const ChoiceRecord& c) {
        OnSubListChoice(list, buttonId, c);
    };
    popup->onDeactivated = [this, list, buttonId] { OnSubListDeactivated(list, buttonId); };
    const Rect r = button->GetRect();
    const Point at = FunctionSubListOrigin(list, r);
    m_window.ShowPopup(slot, {at.x, at.y, at.x + r.Width(), at.y + r.Height()}, popup,
                       static_cast<uint32_t>(buttonId));
}

void KeyAssignmentPart::OnSubListChoice(FunctionSubList list, uintptr_t buttonId,
                                        const ChoiceRecord& choice) {
    Show(m_assign.ApplySubListChoice(list, buttonId, choice));
    ReleaseButton(buttonId);
    CloseMenus();
}

void KeyAssignmentPart::OnSubListDeactivated(FunctionSubList list, uintptr_t buttonId) {
    // Moving from a sub-list back into the menu keeps everything open.
    if (PointerInFunctionMenu()) return;
    if (CComboButton* b = GKeyButton(buttonId)) b->Invalidate();
    m_window.ClosePopup(SlotOf(list));
    if (!AnySubListOpen()) {
        m_window.ClosePopup(kFunctionMenuSlot);
        ReleaseButton(buttonId);
    }
}

bool KeyAssignmentPart::PointerInFunctionMenu() const {
    const CWndPopup* menu = m_window.Popup(kFunctionMenuSlot);
    if (!menu || !menu->Window()) return false;
    const Point p = menu->Window()->CursorPos();
    return menu->Window()->ClientRect().Contains(p.x, p.y);
}

bool KeyAssignmentPart::AnySubListOpen() const {
    for (const SubList& s : kSubLists)
        if (m_window.Popup(s.slot)) return true;
    return false;
}

void KeyAssignmentPart::CloseSubLists() {
    for (const SubList& s : kSubLists) m_window.ClosePopup(s.slot);
}

void KeyAssignmentPart::CloseMenus() {
    CloseSubLists();
    m_window.ClosePopup(kFunctionMenuSlot);
}

void KeyAssignmentPart::ReleaseButton(uintptr_t buttonId) {
    CComboButton* button = GKeyButton(buttonId);
    if (!button) return;
    button->SetPopupOpen(false);
    button->SetState(CControlBase::kNormal);
    button->Invalidate();
}

void KeyAssignmentPart::Show(const std::optional<GKeyUpdate>& update) {
    if (!update) return;
    if (CComboButton* button = GKeyButton(update->buttonId)) {
        button->SetDisplayText(update->displayName);
        button->Invalidate();
    }
}

void KeyAssignmentPart::ShowResult(const std::optional<GKeyUpdate>& update) {
    Show(update);
    if (update) ReleaseButton(update->buttonId);
}

// ---- the two dialogs -----------------------------------------------------------

void KeyAssignmentPart::OnShortcutWanted(uintptr_t buttonId) {
    ReleaseButton(buttonId);
    CloseMenus();
    m_assign.RememberShortcutButton(buttonId);
    Later(&KeyAssignmentPart::RunShortcutDialog);
}

void KeyAssignmentPart::OnQuickLaunchWanted(uintptr_t buttonId) {
    ReleaseButton(buttonId);
    CloseMenus();
    m_assign.RememberQuickLaunchButton(buttonId);
    Later(&KeyAssignmentPart::RunQuickLaunchDialog);
}

void KeyAssignmentPart::Later(void (KeyAssignmentPart::*task)()) {
    // Queued, so that the menus are gone before the modal dialog runs.
    std::weak_ptr<bool> life = m_life;
    m_window.Window()->Post([this, life, task] {
        if (life.lock()) (this->*task)();
    });
}

void KeyAssignmentPart::RunShortcutDialog() {
    CShortcutDlg dlg(m_window.Window());
    dlg.onChosen = [this](const ChoiceRecord& c) { ShowResult(m_assign.ApplyShortcutResult(c)); };
    RunModal(dlg);
}

void KeyAssignmentPart::RunQuickLaunchDialog() {
    CQuickLaunchDlg dlg(m_window.Window(), m_chooseProgram);
    dlg.onChosen = [this](const std::string& fullPath, const ChoiceRecord& c) {
        ShowResult(m_assign.ApplyQuickLaunchResult(fullPath, c));
    };
    RunModal(dlg);
}

int KeyAssignmentPart::RunModal(CDlgBase& dialog) {
    return m_runModal ? m_runModal(dialog) : dialog.DoModal();
}

}  // namespace lumbra
