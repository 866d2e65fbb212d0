// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CEditShowList.h"

#include <algorithm>

#include "platform/EditBox.h"
#include "platform/HostWindow.h"
#include "ui/CImageShowList.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {
constexpr Color kListColor = 0x5A4E14;
constexpr Color kSelectedColor = 0xDEA035;
constexpr Color kTextColor = 0xFFFFFF;
}  // namespace

CEditShowList::CEditShowList(HostWindow* parent, uint32_t id, const Rect& rect, std::string text,
                             bool visible, bool disabled, MacroLibrary* library)
    : CControlBase(parent, id, rect, std::move(text), visible, disabled),
      m_library(library),
      m_rowCount((rect.Height() + 10) / kRowHeight) {
    SetTakesFocus(true);
}

CEditShowList::~CEditShowList() = default;

MacroSet* CEditShowList::Set() const {
    if (!m_library || m_setIndex < 0) return nullptr;
    return m_library->SetAt(static_cast<uint32_t>(m_setIndex));
}

void CEditShowList::SelectSet(int index) {
    m_setIndex = index;
    m_firstRow = 0;
    MacroSet* set = Set();
    m_selected = (set && set->MacroKeyNum() > 0) ? 0 : -1;
}

bool CEditShowList::BeginNameEdit() {
    if (m_editor) return false;
    MacroSet* set = Set();
    if (!set || !m_parent) return true;
    const int n = static_cast<int>(set->MacroKeyNum());
    int row = n;
    if (n >= m_rowCount) {
        m_firstRow = n - m_rowCount + 1;
        row = m_rowCount - 1;
    }
    const Rect editRect{m_rect.left + 2, m_rect.top + kRowHeight * row + 2, m_rect.right - 2,
                        m_rect.top + kRowHeight * row + kRowHeight};
    m_editor = std::make_unique<EditBox>(*m_parent, kNameEditorId, editRect, true);
    m_editor->SetAccessibleName("Macro name");
    m_editor->Focus();
    Invalidate();
    return true;
}

std::string CEditShowList::GetEditText() const {
    return m_editor ? m_editor->Text() : std::string();
}

void CEditShowList::CloseEditor() {
    m_editor.reset();
    Invalidate();
}

void CEditShowList::ScrollToEnd() {
    MacroSet* set = Set();
    if (!set || set->MacroKeyNum() == 0) return;
    const int n = static_cast<int>(set->MacroKeyNum());
    m_firstRow = n > m_rowCount ? n - m_rowCount : 0;
    Invalidate();
}

void CEditShowList::Draw(Surface& surface, const Rect&) {
    surface.FillSolidRect(m_rect, kListColor);
    MacroSet* set = Set();
    if (!set) return;
    const int n = static_cast<int>(set->MacroKeyNum());
    for (int r = 0; r < m_rowCount && m_firstRow + r < n; ++r) {
        const Rect row{m_rect.left + 2, m_rect.top + kRowHeight * r, m_rect.right - 2,
                       m_rect.top + kRowHeight * r + kRowHeight};
        if (m_firstRow + r == m_selected) surface.FillSolidRect(row, kSelectedColor);
        const MacroKey* key = set->KeyAt(static_cast<uint32_t>(m_firstRow + r));
        if (key) surface.DrawText(key->name, row, kTextColor, m_font, TextFlags::kLabel);
    }
}

bool CEditShowList::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }

bool CEditShowList::OnLButtonDown(uint32_t, int x, int y) {
    if (m_disabled) return false;
    bool changed = false;
    if (Contains(x, y)) {
        m_state = kPressed;
        changed = true;
        if (MacroSet* set = Set()) {
            const int r = (y - m_rect.top) / kRowHeight;
            // Only a row that shows a name selects it.
            if (m_firstRow + r < static_cast<int>(set->MacroKeyNum())) m_selected = m_firstRow + r;
        }
    }
    if (m_editor) {
        CommitName();
        changed = true;
    }
    return changed;
}

void CEditShowList::CommitName() {
    const std::string name = m_editor->Text();
    MacroSet* set = Set();
    const MacroNameCheck check = set ? set->AddNewKey(name) : MacroNameCheck::kEmpty;
    // A refused name keeps the editor open for another try.
    switch (check) {
        case MacroNameCheck::kEmpty:
            CloseEditor();
            return;
        case MacroNameCheck::kTooLong:
        case MacroNameCheck::kExists:
            if (const auto handler = onNameRefused) handler(check);
            return;
        case MacroNameCheck::kAccepted:
            break;
    }
    if (const auto handler = onNameAdded) handler();
    CloseEditor();
}

bool CEditShowList::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] { Clicked(); });
}

int CEditShowList::AccessibleItemCount() const {
    const MacroSet* set = Set();
    if (!set) return 0;
    const int n = static_cast<int>(set->MacroKeyNum());
    return std::max(0, std::min(m_rowCount, n - m_firstRow));
}

CControlBase::AccessibleItem CEditShowList::AccessibleItemAt(int row) const {
    const MacroSet* set = Set();
    const MacroKey* key = set ? set->KeyAt(static_cast<uint32_t>(m_firstRow + row)) : nullptr;
    const Rect r{m_rect.left + 2, m_rect.top + kRowHeight * row, m_rect.right - 2,
                 m_rect.top + kRowHeight * row + kRowHeight};
    return {key ? key->name : std::string(), r, m_firstRow + row == m_selected};
}

bool CEditShowList::OnKey(const NavKeyPress& press) {
    if (m_disabled || m_editor || press.alt || press.ctrl) return false;
    MacroSet* set = Set();
    const int count = set ? static_cast<int>(set->MacroKeyNum()) : 0;
    if (!MoveListRow(press.key, count, m_rowCount, m_selected, m_firstRow)) return false;
    Invalidate();
    if (count > 0) Clicked();
    return true;
}

}  // namespace lumbra
