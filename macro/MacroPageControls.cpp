// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/MacroPageControls.h"

#include <memory>

#include "base/UiDispatcher.h"
#include "macro/CMacroManagerDlg.h"
#include "macro/MacroPageIds.h"
#include "platform/EditBox.h"
#include "platform/FileDialogs.h"
#include "ui/CCheckButton.h"
#include "ui/CDlgBase.h"
#include "ui/CEditShowList.h"
#include "ui/CImageShowList.h"
#include "ui/CStaticText.h"
#include "ui/CVScrollBar.h"

namespace lumbra {

namespace {
constexpr const char* kPlatformFilter = "mkf file(*.mkf)";
constexpr const char* kPrefilledName = ".mkf";

template <typename T>
T* Find(CDlgBase& dialog, uint32_t id) {
    return dynamic_cast<T*>(dialog.FindControl(id));
}

MacroListsControls::Parts FindLists(CDlgBase& dialog) {
    MacroListsControls::Parts parts;
    parts.macroList = Find<CEditShowList>(dialog, MacroPageId::kMacroList);
    parts.actionList = Find<CImageShowList>(dialog, MacroPageId::kActionList);
    parts.macroScroll = Find<CVScrollBar>(dialog, MacroPageId::kMacroScroll);
    parts.actionScroll = Find<CVScrollBar>(dialog, MacroPageId::kActionScroll);
    parts.delaySwitch = Find<CCheckButton>(dialog, MacroPageId::kDelaySwitch);
    parts.recordButton = Find<CCheckButton>(dialog, MacroPageId::kRecord);
    // Under the recording's hint, on the window's own list: shown only while
    // recording on a Wayland desktop.
    if (dialog.Window() && !dialog.FindControl(MacroPageId::kWaylandRecordingNote)) {
        constexpr Color kGrey = Rgb(150, 170, 175);
        parts.recordingNote = dialog.AddControl(
            0, std::make_unique<CStaticText>(
                   dialog.Window(), MacroPageId::kWaylandRecordingNote, Rect{555, 306, 725, 346},
                   "Under Wayland the desktop still takes its own shortcuts while recording.",
                   false, false, kGrey, TextFlags::kWordBreak));
    }
    return parts;
}
}  // namespace

MacroPageControls::MacroPageControls(CDlgBase& dialog, EditBox* loopEdit, Hooks hooks)
    : MacroListsControls(dialog, FindLists(dialog)),
      m_loopEdit(loopEdit),
      m_hooks(std::move(hooks)),
      m_macroList(Controls().macroList),
      m_loopSwitch(Find<CCheckButton>(dialog, MacroPageId::kLoopSwitch)) {}

bool MacroPageControls::IsComplete() const {
    return MacroListsControls::IsComplete() && m_loopSwitch && m_loopEdit;
}

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

void MacroPageControls::SetLoopCountText(const std::string& text) {
    if (m_loopEdit) m_loopEdit->SetText(text);
}
void MacroPageControls::SetLoopSwitch(bool checked) {
    if (!m_loopSwitch) return;
    m_loopSwitch->SetChecked(checked);
    m_loopSwitch->Invalidate();
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
