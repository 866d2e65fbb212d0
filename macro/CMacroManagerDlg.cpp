// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/CMacroManagerDlg.h"

#include <algorithm>

#include "macro/CMacroManagerSmallDlg.h"
#include "macro/MacroManagerMessages.h"
#include "macro/MacroPage.h"
#include "model/NameText.h"
#include "platform/EditBox.h"
#include "platform/MessageBox.h"
#include "storage/MacroFiles.h"
#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CEditShowList.h"
#include "ui/CImageButton.h"
#include "ui/CImageShowList.h"
#include "ui/CMacroSetListPopup.h"
#include "ui/CRegionButton.h"
#include "ui/CVScrollBar.h"
#include "ui/ControlMessages.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

namespace {
constexpr int kBackgroundBitmap = 181;
constexpr int kPanelBitmap = 186;
constexpr Rect kPanelRect{220, 50, 220 + 481, 50 + 354};
constexpr int kSetListSize = 400;
// The page both scroll bars get when the last set is gone.
constexpr int kEmptyPage = 15;
constexpr Color kEditorText = 0xFFFFFF;
constexpr Color kEditorBackground = 0x282828;

constexpr int kCloseBitmap = 388;
constexpr int kOkBitmap = 389;
constexpr int kCancelBitmap = 390;
constexpr int kNewPng = 182;
constexpr int kDeletePng = 183;
constexpr int kComboPng = 184;
constexpr int kDelayPng = 156;
constexpr int kRecordPng = 189;

constexpr int kAddSetCode = 0;
constexpr int kDeleteSetCode = 1;
constexpr int kFirstSetCode = 2;

// A point no control contains.
constexpr int kOutside = -1000;
}  // namespace

void CloseNameEditor(CEditShowList& list) {
    if (!list.IsEditing()) return;
    // The list closes its editor when a press finds it empty.
    list.Editor()->SetText("");
    const bool disabled = list.IsDisabled();
    list.SetDisabled(false);
    list.OnLButtonDown(0, kOutside, kOutside);
    list.SetDisabled(disabled);
}

CMacroManagerDlg::CMacroManagerDlg(HostWindow* parent, std::string appDirectory, uint32_t setNumber,
                                   MacroHook& hook)
    : CDlgBase(0, parent),
      m_appDirectory(std::move(appDirectory)),
      m_setNumber(setNumber),
      m_hook(hook),
      m_runModal([](CDlgBase& dlg) { return dlg.DoModal(); }) {
    SetWindowSize(kWidth, kHeight);
}

CMacroManagerDlg::~CMacroManagerDlg() {
    m_hook.Stop();
    // The name editor goes before the window that holds it.
    if (m_macroList) CloseNameEditor(*m_macroList);
}

bool CMacroManagerDlg::OnInitDialog() {
    // Without the file the working copy stays empty; sets can still be added.
    ReadMacroLibrary(m_library, m_appDirectory);
    CDlgBase::OnInitDialog();
    SetDialogTitle("Macro Manager");
    SetBackgroundBitmap(kBackgroundBitmap);
    LoadBitmapResource(kPanelBitmap, m_panel);
    if (m_setNumber != 0 && m_library.SetAt(m_setNumber - 1)) {
        m_macroList->SelectSet(static_cast<int>(m_setNumber - 1));
        m_combo->SetDisplayText(m_library.SetAt(m_setNumber - 1)->name);
    } else {
        // A number beyond the sets read names nothing a macro could be added to.
        m_setNumber = 0;
        m_combo->SetDisplayText("");
    }
    Refresh();
    return true;
}

void CMacroManagerDlg::DrawBackground(Surface& surface, const Rect& client) {
    DrawBackgroundBitmap(surface, client);
    if (!m_panel.IsNull())
        surface.Copy(m_panel, {0, 0, kPanelRect.Width(), kPanelRect.Height()}, kPanelRect.left,
                     kPanelRect.top);
    DrawControls(surface, client);
}

void CMacroManagerDlg::BuildControls(int, int, int, int) {
    HostWindow* w = Window();
    auto region = [&](uint32_t id, const Rect& r, int bitmap) {
        auto b = std::make_unique<CRegionButton>(w, id, r, "", true, false);
        b->SetBitmap(bitmap, r.Width(), r.Height(), 0, r.Height() - 1);
        return AddControl(0, std::move(b));
    };
    auto image = [&](uint32_t id, const Rect& r, int png) {
        auto b = std::make_unique<CImageButton>(w, id, r, "", true, false);
        b->LoadImageStrip(png);
        return AddControl(0, std::move(b));
    };
    auto check = [&](uint32_t id, const Rect& r, int png) {
        auto b = std::make_unique<CCheckButton>(w, id, r, "", true, false);
        b->LoadImageStrip(png);
        return AddControl(0, std::move(b));
    };
    auto cancel = [this] { EndDialog(DialogResult::kCancel); };
    region(kIdClose, {686, 4, 709, 25}, kCloseBitmap)->onClick = cancel;
    region(kIdOk, {543, 433, 595, 454}, kOkBitmap)->onClick = [this] { Ok(); };
    region(kIdCancel, {607, 433, 698, 454}, kCancelBitmap)->onClick = cancel;
    SetDialogKeys(kIdOk, kIdCancel);
    image(kIdNewMacro, {16, 432, 82, 455}, kNewPng)->onClick = [this] { NewMacro(); };
    m_deleteButton = image(kIdDeleteMacro, {91, 431, 182, 456}, kDeletePng);
    m_deleteButton->onClick = [this] { DeleteMacro(); };
    auto combo =
        std::make_unique<CComboButton>(w, kIdSetCombo, Rect{17, 76, 211, 98}, "", true, false);
    combo->LoadImageStrip(kComboPng);
    combo->onClick = [this] { OpenSetList(); };
    m_combo = AddControl(0, std::move(combo));
    MacroListsControls::Parts lists;
    m_macroList = lists.macroList =
        AddControl(0, std::make_unique<CEditShowList>(w, kIdMacroList, Rect{18, 98, 188, 400}, "",
                                                      true, false, &m_library));
    m_macroList->onClick = [this] {
        if (Window() && !Window()->IsActive()) Window()->Activate();
        Refresh();
    };
    // The list refused a name and keeps its editor open: say why.
    m_macroList->onNameRefused = [this](MacroNameCheck check) {
        ShowMessage(RefusedNameText(check, true));
    };
    lists.delaySwitch = check(kIdDelaySwitch, {484, 148, 496, 160}, kDelayPng);
    lists.recordButton = check(kIdRecord, {483, 107, 616, 130}, kRecordPng);
    lists.recordButton->onClick = [this] { OnRecordToggle(); };
    lists.actionList =
        AddControl(0, std::make_unique<CImageShowList>(w, kIdActionList, Rect{224, 98, 439, 400},
                                                       "", true, false));
    lists.macroScroll = AddControl(
        0,
        std::make_unique<CVScrollBar>(w, kIdMacroScroll, Rect{189, 98, 210, 400}, "", true, false));
    lists.actionScroll =
        AddControl(0, std::make_unique<CVScrollBar>(w, kIdActionScroll, Rect{440, 98, 461, 400}, "",
                                                    true, false));
    for (const bool macroList : {true, false}) {
        CVScrollBar* bar = macroList ? lists.macroScroll : lists.actionScroll;
        bar->onPartPressed = [this, macroList](ScrollPart part) {
            m_lists->OnScrollPartPressed(macroList, part);
        };
        bar->onThumbDragged = [this, macroList] { m_lists->OnScrollThumbDragged(macroList); };
    }
    m_view = std::make_unique<MacroListsControls>(*this, lists);
    m_lists =
        std::make_unique<MacroLists>(&m_library, *m_view, &m_hook, w, MacroRecorder::ForManager());
}

void CMacroManagerDlg::Refresh() {
    m_lists->FollowSelection();
    // The macro list's bar scrolls its list, so it follows the set even when
    // no macro is selected.
    m_lists->LayOutMacroScroll();
    m_lists->LayOutActionScroll();
}

int CMacroManagerDlg::RunModal(CDlgBase& dlg) { return m_runModal ? m_runModal(dlg) : -1; }

void CMacroManagerDlg::ShowMessage(std::string_view text) {
    if (m_showMessage)
        m_showMessage(text, MacroPageText::kAttention);
    else
        ShowMessageBox(std::string(MacroPageText::kAttention), std::string(text));
}

void CMacroManagerDlg::Ok() {
    // A library that could not be saved keeps the dialog open: closing would
    // read the old file back over the user's work.
    WriteFailure failure;
    if (WriteMacroLibrary(m_library, m_appDirectory, &failure))
        EndDialog(DialogResult::kOk);
    else
        ShowMessage(ReportFailedSave({failure}));
}

intptr_t CMacroManagerDlg::OnMessage(uint32_t msg, uintptr_t first, intptr_t second) {
    switch (msg) {
        case kMsgOpenAddSet: {
            CMacroManagerAddDlg dlg(Window());
            dlg.onNameEntered = [this](const std::string& name) { AddSet(name); };
            RunModal(dlg);
            return 0;
        }
        case kMsgOpenDeleteSet: {
            CMacroManagerDelSetDlg dlg(Window());
            dlg.onNameEntered = [this](const std::string& name) { DeleteSet(name); };
            RunModal(dlg);
            return 0;
        }
        case kMsgHookKey:
            m_lists->OnHookMessage(static_cast<uint32_t>(first), static_cast<uint32_t>(second));
            return 0;
        default:
            return 0;
    }
}

void CMacroManagerDlg::OpenSetList() {
    m_combo->SetPopupOpen(true);
    m_combo->Invalidate();
    const Rect r = m_combo->GetRect();
    auto* popup = new CMacroSetListPopup(&m_library);
    popup->onItemChosen = [this](int type) { OnSetChoice(type); };
    popup->onDeactivated = [this] { CloseSetList(); };
    ShowPopup(PopupSlot::kMacroSetList,
              {r.left, r.bottom, r.left + kSetListSize, r.bottom + kSetListSize}, popup,
              kIdSetCombo);
}

void CMacroManagerDlg::CloseSetList() {
    m_combo->SetPopupOpen(false);
    m_combo->Invalidate();
    ClosePopup(PopupSlot::kMacroSetList);
}

void CMacroManagerDlg::ShowSet(uint32_t position) {
    MacroSet* set = m_library.SetAt(position);
    if (!set) return;
    m_setNumber = position + 1;
    m_macroList->SelectSet(static_cast<int>(position));
    m_combo->SetDisplayText(set->name);
    m_macroList->Invalidate();
    Refresh();
}

void CMacroManagerDlg::OnSetChoice(int code) {
    CloseSetList();
    if (code == kAddSetCode) {
        if (Window()) Window()->Post(kMsgOpenAddSet, 0, 0);
    } else if (code == kDeleteSetCode) {
        if (Window()) Window()->Post(kMsgOpenDeleteSet, 0, 0);
    } else if (code >= kFirstSetCode) {
        ShowSet(static_cast<uint32_t>(code - kFirstSetCode));
    }
}

void CMacroManagerDlg::AddSet(const std::string& typed) {
    const std::string name = WithoutControlCharacters(typed);
    if (name.empty()) return;
    for (uint32_t i = 0; i < m_library.MacroSetNum(); ++i)
        if (m_library.SetAt(i)->name == name) return;
    m_library.AddSet(name);
}

void CMacroManagerDlg::DeleteSet(const std::string& name) {
    if (name.empty()) return;
    uint32_t position = 0;
    while (position < m_library.MacroSetNum() && m_library.SetAt(position)->name != name)
        ++position;
    if (position == m_library.MacroSetNum()) return;

    const bool chosen = position + 1 == m_setNumber;
    if (chosen) {
        // The macros shown go with their set.
        CloseNameEditor(*m_macroList);
        m_lists->DropCurrent();
    }
    m_library.RemoveSet(position);

    if (chosen) {
        // The set number follows what the list shows, so that new macros go
        // into the set on screen.
        if (m_library.MacroSetNum() > 0) {
            m_setNumber = 1;
            m_macroList->SelectSet(0);
            m_combo->SetDisplayText(m_library.SetAt(0)->name);
        } else {
            m_setNumber = 0;
            m_combo->SetDisplayText("");
            m_macroList->SelectSet(-1);
            m_view->UpdateMacroScroll({0, kEmptyPage, m_view->MacroScroll().range});
            m_view->UpdateActionScroll({0, kEmptyPage, m_view->ActionScroll().range});
        }
    } else if (position + 1 < m_setNumber) {
        // The chosen set moved up by one; the list stays on it as it was.
        --m_setNumber;
        const int selected = m_macroList->Selected();
        const int firstRow = m_macroList->FirstRow();
        m_macroList->SelectSet(static_cast<int>(m_setNumber - 1));
        m_macroList->SetSelected(selected);
        m_macroList->SetFirstRow(firstRow);
    }
    m_combo->Invalidate();
    m_macroList->Invalidate();
    m_view->RedrawActionList();
    Refresh();
}

void CMacroManagerDlg::NewMacro() {
    m_macroList->BeginNameEdit();
    if (EditBox* editor = m_macroList->Editor()) editor->SetColors(kEditorText, kEditorBackground);
    m_macroList->Invalidate();
    Refresh();
    if (!m_lists->ShownSet()) {
        CMacroManagerNoteDlg note(Window());
        RunModal(note);
    }
}

void CMacroManagerDlg::DeleteMacro() {
    if (!m_lists->DeleteSelectedKey()) {
        CMacroManagerAttentionDlg attention(Window());
        RunModal(attention);
    }
    m_macroList->Invalidate();
    Refresh();
}

void CMacroManagerDlg::CommitNameOnClick(int x, int y) {
    if (!m_macroList->IsEditing() || m_macroList->Contains(x, y)) return;
    const std::string name = m_macroList->GetEditText();
    if (m_deleteButton->Contains(x, y) || name.empty()) {
        CloseNameEditor(*m_macroList);
    } else if (MacroSet* set = m_setNumber != 0 ? m_library.SetAt(m_setNumber - 1) : nullptr) {
        // The rules of the list itself; a refused name keeps the editor open,
        // with the message the macro page shows for it.
        const MacroNameCheck check = set->AddNewKey(name);
        if (check == MacroNameCheck::kAccepted) {
            CloseNameEditor(*m_macroList);
        } else {
            ShowMessage(RefusedNameText(check, false));
        }
    } else {
        CloseNameEditor(*m_macroList);
    }
    if (name.empty()) {
        m_macroList->ScrollToEnd();
        Refresh();
    }
    if (Window() && !Window()->IsActive()) Window()->Activate();
}

void CMacroManagerDlg::OnLButtonDown(uint32_t flags, int x, int y) {
    CommitNameOnClick(x, y);
    CDlgBase::OnLButtonDown(flags, x, y);
}

void CMacroManagerDlg::OnRecordToggle() {
    if (m_lists->OnRecordToggle() == MacroLists::RecordToggle::kNoMacro) {
        CMacroManagerNoteDlg note(Window());
        RunModal(note);
    }
}

void CMacroManagerDlg::OnMouseWheel(uint32_t, int delta, int, int) { m_lists->OnMouseWheel(delta); }

}  // namespace lumbra
