// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/MacroLibrary.h"
#include "platform/HostWindow.h"
#include "ui/CControlBase.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// The steps of one macro, each with a press, release or pause icon.
// Up, Down, Home and End in a list of `count` rows that shows `rows` of them
// from `firstRow`: the selection moves and stays in view. False for other keys.
bool MoveListRow(NavKey key, int count, int rows, int& selected, int& firstRow);

class CImageShowList : public CControlBase {
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kReleaseIconPng = 191;
    static constexpr int kPressIconPng = 192;
    static constexpr int kPauseIconPng = 193;

    CImageShowList(HostWindow* parent, uint32_t id, const Rect& rect, std::string text,
                   bool visible, bool disabled);

    void SetMacroKey(const MacroKey* key) { m_key = key; }
    const MacroKey* Key() const { return m_key; }
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
    bool OnKey(const NavKeyPress& press) override;

private:
    const MacroKey* m_key = nullptr;
    int m_selected = -1;
    int m_firstRow = 0;
    int m_rowCount;
    Image m_releaseIcon;
    Image m_pressIcon;
    Image m_pauseIcon;
};

// What a row shows for a macro step, and which icon.
enum class StepIcon { kRelease, kPress, kPause };
struct StepCaption {
    std::string text;
    StepIcon icon;
};
StepCaption DescribeStep(const MacroAction& action);

}  // namespace lumbra
