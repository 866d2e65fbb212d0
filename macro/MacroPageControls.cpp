// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroPageControls.h"

#include "base/UiDispatcher.h"
#include "macro/CMacroManagerDlg.h"
#include "macro/MacroPageIds.h"
#include "platform/EditBox.h"
#include "platform/FileDialogs.h"
#include "ui/CCheckButton.h"
#include "ui/CDlgBase.h"
#include "ui/CEditShowList.h"
#include "ui/CImageShowList.h"
#include "ui/CVScrollBar.h"

namespace lumbra {

namespace {
constexpr const char* kPlatformFilter = "mkf file(*.mkf)";
constexpr const char* kPrefilledName = ".mkf";

template <typename T>
T* Find(CDlgBase& dialog, uint32_t id) {
    return dynamic_cast<T*>(dialog.FindControl(id));
}

void Redraw(const CControlBase* c) {
    if (c) c->Invalidate();
}
}  // namespace

MacroPageControls::MacroPageControls(CDlgBase& dialog, EditBox* loopEdit, Hooks hooks)
    : m_dialog(dialog), m_loopEdit(loopEdit), m_hooks(std::move(hooks)) {
    m_macroList = Find<CEditShowList>(dialog, MacroPageId::kMacroList);
    m_actionList = Find<CImageShowList>(dialog, MacroPageId::kActionList);
    m_macroScroll = Find<CVScrollBar>(dialog, MacroPageId::kMacroScroll);
    m_actionScroll = Find<CVScrollBar>(dialog, MacroPageId::kActionScroll);
    m_loopSwitch = Find<CCheckButton>(dialog, MacroPageId::kLoopSwitch);
    m_delaySwitch = Find<CCheckButton>(dialog, MacroPageId::kDelaySwitch);
    m_recordButton = Find<CCheckButton>(dialog, MacroPageId::kRecord);
}

bool MacroPageControls::IsComplete() const {
    return m_macroList && m_actionList && m_macroScroll && m_actionScroll && m_loopSwitch &&
           m_delaySwitch && m_recordButton && m_loopEdit;
}

int MacroPageControls::ShownSet() const { return m_macroList ? m_macroList->ShownSet() : -1; }
void MacroPageControls::ShowSet(int index) {
    if (m_macroList) m_macroList->SelectSet(index);
}
int MacroPageControls::SelectedMacro() const { return m_macroList ? m_macroList->Selected() : -1; }
void MacroPageControls::SetSelectedMacro(int index) {
    if (m_macroList) m_macroList->SetSelected(index);
}
int MacroPageControls::MacroListFirstRow() const {
    return m_macroList ? m_macroList->FirstRow() : 0;
}
void MacroPageControls::SetMacroListFirstRow(int row) {
    if (m_macroList) m_macroList->SetFirstRow(row);
}
int MacroPageControls::MacroListRows() const { return m_macroList ? m_macroList->RowCount() : 0; }
bool MacroPageControls::MacroListHovered() const {
    return m_macroList && m_macroList->State() == CControlBase::kHover;
}
void MacroPageControls::RedrawMacroList() { Redraw(m_macroList); }
void MacroPageControls::BeginNameEdit() {
    if (!m_macroList) return;
    const bool wasOpen = m_macroList->IsEditing();
    m_macroList->BeginNameEdit();
    EditBox* editor = m_macroList->Editor();
    if (wasOpen || !editor || !m_hooks.nameEditorEnter) return;
    editor->OnReturnPressed([enter = m_hooks.nameEditorEnter] { TheUiDispatcher().Post(enter); });
}
bool MacroPageControls::IsNameEditOpen() const { return m_macroList && m_macroList->IsEditing(); }
std::string MacroPageControls::NameEditText() const {
    return m_macroList ? m_macroList->GetEditText() : std::string();
}
void MacroPageControls::CloseNameEdit() {
    if (m_macroList) CloseNameEditor(*m_macroList);
}
void MacroPageControls::ScrollMacroListToEnd() {
    if (m_macroList) m_macroList->ScrollToEnd();
}

void MacroPageControls::ShowActions(const MacroKey* key) {
    if (!m_actionList) return;
    m_actionList->SetMacroKey(key);
    m_actionList->SetFirstRow(0);
    m_actionList->SetSelected(-1);
}
int MacroPageControls::ActionListFirstRow() const {
    return m_actionList ? m_actionList->FirstRow() : 0;
}
void MacroPageControls::SetActionListFirstRow(int row) {
    if (m_actionList) m_actionList->SetFirstRow(row);
}
int MacroPageControls::ActionListRows() const {
    return m_actionList ? m_actionList->RowCount() : 0;
}
bool MacroPageControls::ActionListHovered() const {
    return m_actionList && m_actionList->State() == CControlBase::kHover;
}
void MacroPageControls::RedrawActionList() { Redraw(m_actionList); }

ScrollValues MacroPageControls::MacroScroll() const {
    if (!m_macroScroll) return {};
    return {m_macroScroll->Position(), m_macroScroll->Page(), m_macroScroll->Range()};
}
void MacroPageControls::UpdateMacroScroll(const ScrollValues& v) {
    if (m_macroScroll) m_macroScroll->UpdateScroll(v.position, v.page, v.range);
}
ScrollValues MacroPageControls::ActionScroll() const {
    if (!m_actionScroll) return {};
    return {m_actionScroll->Position(), m_actionScroll->Page(), m_actionScroll->Range()};
}
void MacroPageControls::UpdateActionScroll(const ScrollValues& v) {
    if (m_actionScroll) m_actionScroll->UpdateScroll(v.position, v.page, v.range);
}

void MacroPageControls::SetLoopCountText(const std::string& text) {
    if (m_loopEdit) m_loopEdit->SetText(text);
}
void MacroPageControls::SetLoopSwitch(bool checked) {
    if (!m_loopSwitch) return;
    m_loopSwitch->SetChecked(checked);
    Redraw(m_loopSwitch);
}
bool MacroPageControls::DelaysOn() const { return m_delaySwitch && m_delaySwitch->IsChecked(); }
bool MacroPageControls::RecordButtonOn() const {
    return m_recordButton && m_recordButton->IsChecked();
}
void MacroPageControls::SetRecordButtonOn(bool on) {
    if (!m_recordButton) return;
    m_recordButton->SetChecked(on);
    Redraw(m_recordButton);
}

void MacroPageControls::SetRecordingLook(bool recording) {
    for (int list = 0; list < CDlgBase::kListCount; ++list) {
        for (auto& c : m_dialog.ControlList(list)) {
            if (!c) continue;
            const bool keep = c.get() == m_recordButton || c.get() == m_delaySwitch;
            c->SetDisabled(recording && !keep);
        }
    }
    if (HostWindow* w = m_dialog.Window()) w->InvalidateAll();
}

void MacroPageControls::TakeFocus() {
    HostWindow* w = m_dialog.Window();
    if (!w) return;
    if (!w->IsActive()) w->Activate();
    TakeFocusFromEditBoxes(*w);
}

void MacroPageControls::ShowMessage(std::string_view text, std::string_view title) {
    if (m_hooks.showMessage) m_hooks.showMessage(text, title);
}

std::optional<std::string> MacroPageControls::ChooseMacroFileToOpen() {
    if (m_hooks.chooseFileToOpen) return m_hooks.chooseFileToOpen();
    return ChooseFileToOpen(m_dialog.Window(), std::string(MacroPageText::kImportTitle),
                            kPlatformFilter, {}, kPrefilledName);
}

std::optional<std::string> MacroPageControls::ChooseMacroFileToSave() {
    if (m_hooks.chooseFileToSave) return m_hooks.chooseFileToSave();
    // The dialog adds the extension to a name typed without one, before it
    // asks whether to replace an existing file.
    return ChooseFileToSave(m_dialog.Window(), std::string(MacroPageText::kExportTitle),
                            kPlatformFilter, kPrefilledName,
                            std::string(MacroPageText::kFileExtension));
}

bool MacroPageControls::LibraryChanged() const {
    return m_hooks.libraryChanged && m_hooks.libraryChanged();
}
void MacroPageControls::SetLibraryChanged(bool changed) {
    if (m_hooks.setLibraryChanged) m_hooks.setLibraryChanged(changed);
}

}  // namespace lumbra
