// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "macro/MacroLists.h"

namespace lumbra {

class CCheckButton;
class CControlBase;
class CDlgBase;
class CEditShowList;
class CImageShowList;
class CVScrollBar;

// The two lists of a macro window on its real controls: the macro page's
// over the main window's, the macro manager's over its own.
class MacroListsControls : public virtual MacroListsView {
public:
    struct Parts {
        CEditShowList* macroList = nullptr;
        CImageShowList* actionList = nullptr;
        CVScrollBar* macroScroll = nullptr;
        CVScrollBar* actionScroll = nullptr;
        CCheckButton* delaySwitch = nullptr;
        CCheckButton* recordButton = nullptr;
        // Shown while recording where a Wayland compositor still takes its
        // own shortcuts (may be missing).
        CControlBase* recordingNote = nullptr;
    };

    // The controls belong to `dialog`; a missing one reads as empty and
    // ignores what it is told.
    MacroListsControls(CDlgBase& dialog, const Parts& parts);
    // Every part was given.
    bool IsComplete() const;
    const Parts& Controls() const { return m_parts; }

    int ShownSet() const override;
    void ShowSet(int index) override;
    int SelectedMacro() const override;
    void SetSelectedMacro(int index) override;
    int MacroListFirstRow() const override;
    void SetMacroListFirstRow(int row) override;
    int MacroListRows() const override;
    bool MacroListHovered() const override;
    void RedrawMacroList() override;
    void ShowActions(const MacroKey* key) override;
    int ActionListFirstRow() const override;
    void SetActionListFirstRow(int row) override;
    int ActionListRows() const override;
    bool ActionListHovered() const override;
    void RedrawActionList() override;
    ScrollValues MacroScroll() const override;
    void UpdateMacroScroll(const ScrollValues& values) override;
    ScrollValues ActionScroll() const override;
    void UpdateActionScroll(const ScrollValues& values) override;
    bool DelaysOn() const override;
    bool RecordButtonOn() const override;
    void SetRecordButtonOn(bool on) override;
    void SetRecordingLook(bool recording) override;

protected:
    CDlgBase& m_dialog;
    Parts m_parts;
};

}  // namespace lumbra
