// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroListsControls.h"

#include "platform/DesktopFocus.h"

#include "ui/CCheckButton.h"
#include "ui/CDlgBase.h"
#include "ui/CEditShowList.h"
#include "ui/CImageShowList.h"
#include "ui/CVScrollBar.h"

namespace lumbra {

namespace {
// Both lists scroll by rows the same way; a missing list reads as empty.
template <typename List>
int FirstRowOf(const List* list) {
    return list ? list->FirstRow() : 0;
}
template <typename List>
void SetFirstRowOf(List* list, int row) {
    if (list) list->SetFirstRow(row);
}
template <typename List>
int RowsOf(const List* list) {
    return list ? list->RowCount() : 0;
}
bool IsHovered(const CControlBase* c) { return c && c->State() == CControlBase::kHover; }
void Redraw(const CControlBase* c) {
    if (c) c->Invalidate();
}

ScrollValues ValuesOf(const CVScrollBar* bar) {
    if (!bar) return {};
    return {bar->Position(), bar->Page(), bar->Range()};
}

void Update(CVScrollBar* bar, const ScrollValues& v) {
    if (bar) bar->UpdateScroll(v.position, v.page, v.range);
}
}  // namespace

MacroListsControls::MacroListsControls(CDlgBase& dialog, const Parts& parts)
    : m_dialog(dialog), m_parts(parts) {}

bool MacroListsControls::IsComplete() const {
    const Parts& p = m_parts;
    return p.macroList && p.actionList && p.macroScroll && p.actionScroll && p.delaySwitch &&
           p.recordButton;
}

int MacroListsControls::ShownSet() const {
    return m_parts.macroList ? m_parts.macroList->ShownSet() : -1;
}
void MacroListsControls::ShowSet(int index) {
    if (m_parts.macroList) m_parts.macroList->SelectSet(index);
}
int MacroListsControls::SelectedMacro() const {
    return m_parts.macroList ? m_parts.macroList->Selected() : -1;
}
void MacroListsControls::SetSelectedMacro(int index) {
    if (m_parts.macroList) m_parts.macroList->SetSelected(index);
}
int MacroListsControls::MacroListFirstRow() const { return FirstRowOf(m_parts.macroList); }
void MacroListsControls::SetMacroListFirstRow(int row) { SetFirstRowOf(m_parts.macroList, row); }
int MacroListsControls::MacroListRows() const { return RowsOf(m_parts.macroList); }
bool MacroListsControls::MacroListHovered() const { return IsHovered(m_parts.macroList); }
void MacroListsControls::RedrawMacroList() { Redraw(m_parts.macroList); }

void MacroListsControls::ShowActions(const MacroKey* key) {
    CImageShowList* list = m_parts.actionList;
    if (!list) return;
    list->SetMacroKey(key);
    list->SetFirstRow(0);
    list->SetSelected(-1);
}
int MacroListsControls::ActionListFirstRow() const { return FirstRowOf(m_parts.actionList); }
void MacroListsControls::SetActionListFirstRow(int row) { SetFirstRowOf(m_parts.actionList, row); }
int MacroListsControls::ActionListRows() const { return RowsOf(m_parts.actionList); }
bool MacroListsControls::ActionListHovered() const { return IsHovered(m_parts.actionList); }
void MacroListsControls::RedrawActionList() { Redraw(m_parts.actionList); }

ScrollValues MacroListsControls::MacroScroll() const { return ValuesOf(m_parts.macroScroll); }
void MacroListsControls::UpdateMacroScroll(const ScrollValues& v) {
    Update(m_parts.macroScroll, v);
}
ScrollValues MacroListsControls::ActionScroll() const { return ValuesOf(m_parts.actionScroll); }
void MacroListsControls::UpdateActionScroll(const ScrollValues& v) {
    Update(m_parts.actionScroll, v);
}

bool MacroListsControls::DelaysOn() const {
    return m_parts.delaySwitch && m_parts.delaySwitch->IsChecked();
}
bool MacroListsControls::RecordButtonOn() const {
    return m_parts.recordButton && m_parts.recordButton->IsChecked();
}
void MacroListsControls::SetRecordButtonOn(bool on) {
    if (!m_parts.recordButton) return;
    m_parts.recordButton->SetChecked(on);
    Redraw(m_parts.recordButton);
}

void MacroListsControls::SetRecordingLook(bool recording) {
    for (int list = 0; list < CDlgBase::kListCount; ++list) {
        for (auto& c : m_dialog.ControlList(list)) {
            if (!c) continue;
            const bool keep = c.get() == m_parts.recordButton || c.get() == m_parts.delaySwitch;
            c->SetDisabled(recording && !keep);
        }
    }
    if (m_parts.recordingNote) m_parts.recordingNote->SetVisible(recording && WaylandSession());
    if (HostWindow* w = m_dialog.Window()) w->InvalidateAll();
}

}  // namespace lumbra
