// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "model/MacroLibrary.h"
#include "ui/CControlBase.h"

namespace lumbra {

class EditBox;

// The list of macro names of one set of a library, with an in-place editor
// that adds a new macro when its name is committed (MacroSet::AddNewKey).
class CEditShowList : public CControlBase {
public:
    static constexpr int kRowHeight = 20;

    CEditShowList(HostWindow* parent, uint32_t id, const Rect& rect, std::string text, bool visible,
                  bool disabled, MacroLibrary* library);
    ~CEditShowList() override;

    // Shows set `index` from its top, selecting its first macro when it has one.
    void SelectSet(int index);
    // Opens the name editor below the last name; false only when it is already open.
    bool BeginNameEdit();
    std::string GetEditText() const;
    bool IsEditing() const { return m_editor != nullptr; }
    EditBox* Editor() const { return m_editor.get(); }
    void ScrollToEnd();

    int ShownSet() const { return m_setIndex; }
    int Selected() const { return m_selected; }
    void SetSelected(int index) { m_selected = index; }
    int FirstRow() const { return m_firstRow; }
    void SetFirstRow(int row) { m_firstRow = row; }
    int RowCount() const { return m_rowCount; }

    AccessibleRole Role() const override { return AccessibleRole::kList; }
    int AccessibleItemCount() const override;
    AccessibleItem AccessibleItemAt(int row) const override;
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    // Up, Down, Home and End choose a macro as a click on its row does.
    bool OnKey(const NavKeyPress& press) override;

    // What the name editor tells the owner, called at once on the UI thread.
    // The committed name became a macro of the shown set; the editor closes.
    std::function<void()> onNameAdded;
    // The name was refused (kExists or kTooLong); the editor stays open.
    std::function<void(MacroNameCheck)> onNameRefused;

private:
    MacroSet* Set() const;
    // The editor's text becomes a macro of the shown set, or is refused.
    void CommitName();
    void CloseEditor();

    MacroLibrary* m_library;
    int m_setIndex = -1;
    int m_selected = -1;
    int m_firstRow = 0;
    int m_rowCount;
    std::unique_ptr<EditBox> m_editor;
};

}  // namespace lumbra
