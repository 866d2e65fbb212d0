// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyAssignmentPart.h"

#include "app/MainWindowMessages.h"
#include "keys/ButtonIds.h"
#include "keys/CKeyMapSettingDlg.h"
#include "keys/CQuickLaunchDlg.h"
#include "keys/CShortcutDlg.h"
#include "keys/KeyMessages.h"
#include "model/MacroLibrary.h"
#include "ui/CComboButton.h"
#include "ui/CComboPopup.h"
#include "ui/CWindowManagePopup.h"
#include "ui/CDlgBase.h"
#include "ui/CKeyboardButton.h"
#include "ui/CMacroLibraryPopup.h"
#include "ui/CMouseFunctionPopup.h"
#include "ui/CMultimediaKeyPopup.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {

constexpr PopupSlot kFunctionMenuSlot = PopupSlot::kFunctionMenu;

// A sub-list of the function menu: the request that opens it, the message
// its choice arrives with, the one it sends on losing activation, its slot.
struct SubList {
    FunctionSubList list;
    uint32_t request;
    uint32_t choice;
    uint32_t closed;
    PopupSlot slot;
};
constexpr SubList kSubLists[] = {
    {FunctionSubList::kMacro, kMsgRequestMacroMenu, kMsgMacroLibraryPopup,
     kMsgMacroLibraryPopupClosed, PopupSlot::kMacroLibrary},
    {FunctionSubList::kMultimedia, kMsgRequestMultimediaMenu, kMsgProfilePopup,
     kMsgProfilePopupClosed, PopupSlot::kMultimediaList},
    {FunctionSubList::kWindowManage, kMsgRequestWindowMenu, kMsgDpiPopup, kMsgDpiPopupClosed,
     PopupSlot::kWindowManageList},
    {FunctionSubList::kMouseFunction, kMsgRequestMouseMenu, kMsgMultimediaPopup,
     kMsgMultimediaPopupClosed, PopupSlot::kMouseFunctionList},
};

const SubList* SubListFor(uint32_t msg) {
    for (const SubList& s : kSubLists)
        if (s.request == msg || s.choice == msg || s.closed == msg) return &s;
    return nullptr;
}

}  // namespace

KeyAssignmentPart::KeyAssignmentPart(CDlgBase& window, KeyboardModel& model,
                                     const MacroLibrary* library, ModalRunner runModal,
                                     ProgramChooser chooseProgram)
    : m_window(window),
      m_library(library),
      m_assign(model),
      m_runModal(std::move(runModal)),
      m_chooseProgram(std::move(chooseProgram)) {}

std::optional<intptr_t> KeyAssignmentPart::OnMessage(uint32_t msg, uintptr_t first,
                                                     intptr_t second) {
    if (MainId::kKeys.Contains(msg)) {
        if (second == ControlEvent::kClicked) OnKeyButton(msg);
        return 0;
    }
    switch (msg) {
        case KeyMsg::kStoreKeyCode:
            OnStoreKeyCode(first, second);
            return 0;
        case KeyMsg::kGKeyButton:
            if (second == ControlEvent::kClicked) {
                OpenFunctionMenu(first);
            } else if (second == ControlEvent::kPointerEntered ||
                       second == ControlEvent::kPointerLeft) {
                if (CComboButton* b = GKeyButton(first)) b->Invalidate();
            }
            return 0;
        case kMsgComboPopup:
            OnFunctionMenuChoice(first, second);
            return 0;
        case kMsgComboPopupClosed:
            OnFunctionMenuClosed(first);
            return 0;
        case kMsgRequestMacroMenu:
        case kMsgRequestMultimediaMenu:
        case kMsgRequestWindowMenu:
        case kMsgRequestMouseMenu:
            OpenSubList(msg, first);
            return 0;
        case kMsgRequestNoSubmenu:
            CloseSubLists();
            return 0;
        case kMsgProfilePopup:
        case kMsgDpiPopup:
        case kMsgMultimediaPopup:
        case kMsgMacroLibraryPopup:
            OnSubListChoice(msg, first, second);
            return 0;
        case kMsgProfilePopupClosed:
        case kMsgDpiPopupClosed:
        case kMsgMultimediaPopupClosed:
        case kMsgMacroLibraryPopupClosed:
            OnSubListClosed(msg, first);
            return 0;
        case kMsgRequestShortcut:
        case kMsgRequestQuickLaunch:
            OnDialogRequest(msg, first);
            return 0;
        case KeyMsg::kRunShortcutDialog:
            RunShortcutDialog();
            return 0;
        case KeyMsg::kShortcutChosen:
            if (const auto* rec = reinterpret_cast<const ChoiceRecord*>(second)) {
                const auto update = m_assign.ApplyShortcutResult(*rec);
                Show(update);
                if (update) ReleaseButton(update->buttonId);
            }
            return 0;
        case KeyMsg::kRunQuickLaunchDialog:
            RunQuickLaunchDialog();
            return 0;
        case KeyMsg::kQuickLaunchChosen: {
            const auto* path = reinterpret_cast<const std::string*>(first);
            const auto* rec = reinterpret_cast<const ChoiceRecord*>(second);
            if (path && rec) {
                const auto update = m_assign.ApplyQuickLaunchResult(*path, *rec);
                Show(update);
                if (update) ReleaseButton(update->buttonId);
            }
            return 0;
        }
        default:
            return std::nullopt;
    }
}

// ---- key buttons --------------------------------------------------------------

void KeyAssignmentPart::OnKeyButton(uint32_t id) {
    auto* button = dynamic_cast<CKeyboardButton*>(m_window.FindControl(id));
    if (!button) return;
    CKeyMapSettingDlg dlg(m_window.Window(), id, button->KeyName(), button->DefaultCode(),
                          button->CurrentCode());
    RunModal(dlg);
}

void KeyAssignmentPart::OnStoreKeyCode(uintptr_t id, intptr_t code) {
    if (id > MainId::kKeys.last) return;
    auto* button = dynamic_cast<CKeyboardButton*>(m_window.FindControl(static_cast<uint32_t>(id)));
    if (!button) return;
    if (const auto u = m_assign.StoreKeyCode(id, static_cast<uint8_t>(code))) {
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
    const Rect r = button->GetRect();
    m_window.ShowPopup(kFunctionMenuSlot, {r.left, r.bottom, r.right, r.bottom + r.Height()},
                       new CComboPopup, static_cast<uint32_t>(buttonId));
}

void KeyAssignmentPart::OnFunctionMenuChoice(uintptr_t buttonId, intptr_t second) {
    // A click on a sub-list's header: the sub-lists stay as they are.
    if (buttonId == 0) return;
    const auto* record = reinterpret_cast<const ChoiceRecord*>(second);
    if (!record) return;
    const ChoiceRecord choice = *record;  // the menu goes away below
    const auto update = m_assign.ApplyFunctionMenuChoice(buttonId, choice);
    ReleaseButton(buttonId);
    CloseMenus();
    Show(update);
}

void KeyAssignmentPart::OnFunctionMenuClosed(uintptr_t buttonId) {
    if (AnySubListOpen()) return;
    ReleaseButton(buttonId);
    m_window.ClosePopup(kFunctionMenuSlot);
}

void KeyAssignmentPart::OpenSubList(uint32_t request, uintptr_t buttonId) {
    const SubList* sub = SubListFor(request);
    CComboButton* button = GKeyButton(buttonId);
    if (!sub || !button || m_window.Popup(sub->slot)) return;
    CloseSubLists();
    CWndPopup* popup = nullptr;
    switch (sub->list) {
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
    const Rect r = button->GetRect();
    const Point at = FunctionSubListOrigin(sub->list, r);
    m_window.ShowPopup(sub->slot, {at.x, at.y, at.x + r.Width(), at.y + r.Height()}, popup,
                       static_cast<uint32_t>(buttonId));
}

void KeyAssignmentPart::OnSubListChoice(uint32_t msg, uintptr_t buttonId, intptr_t second) {
    const auto* record = reinterpret_cast<const ChoiceRecord*>(second);
    if (!record) return;
    const ChoiceRecord choice = *record;
    const auto update = m_assign.ApplySubListChoice(msg, buttonId, choice);
    Show(update);
    ReleaseButton(buttonId);
    CloseMenus();
}

void KeyAssignmentPart::OnSubListClosed(uint32_t msg, uintptr_t buttonId) {
    // Moving from a sub-list back into the menu keeps everything open.
    if (PointerInFunctionMenu()) return;
    const SubList* sub = SubListFor(msg);
    if (!sub) return;
    if (CComboButton* b = GKeyButton(buttonId)) b->Invalidate();
    m_window.ClosePopup(sub->slot);
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

// ---- the two dialogs -----------------------------------------------------------

void KeyAssignmentPart::OnDialogRequest(uint32_t msg, uintptr_t buttonId) {
    ReleaseButton(buttonId);
    CloseMenus();
    // Posted, so that the menus are gone before the modal dialog runs.
    if (msg == kMsgRequestShortcut) {
        m_assign.RememberShortcutButton(buttonId);
        m_window.Window()->Post(KeyMsg::kRunShortcutDialog, 0, 0);
    } else {
        m_assign.RememberQuickLaunchButton(buttonId);
        m_window.Window()->Post(KeyMsg::kRunQuickLaunchDialog, 0, 0);
    }
}

void KeyAssignmentPart::RunShortcutDialog() {
    CShortcutDlg dlg(m_window.Window());
    RunModal(dlg);
}

void KeyAssignmentPart::RunQuickLaunchDialog() {
    CQuickLaunchDlg dlg(m_window.Window(), m_chooseProgram);
    RunModal(dlg);
}

int KeyAssignmentPart::RunModal(CDlgBase& dialog) {
    return m_runModal ? m_runModal(dialog) : dialog.DoModal();
}

}  // namespace lumbra
