// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CImageShowList.h"

#include <algorithm>

#include "model/KeyNames.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {
constexpr Color kListColor = 0x5A4E14;
constexpr Color kSelectedColor = 0xDEA035;
constexpr Color kTextColor = 0xFFFFFF;
constexpr uint8_t kReleaseBit = 0x80;
}  // namespace

StepCaption DescribeStep(const MacroAction& action) {
    const auto& b = action.bytes;
    if (b[0] < 8) {
        const uint32_t ms = b[1] * 65536u + b[2] * 256u + b[3];
        return {std::to_string(ms) + "ms", StepIcon::kPause};
    }
    std::string name(VirtualKeyName(b[0]));
    if (b[1] & kReleaseBit) return {name + " Release", StepIcon::kRelease};
    return {name + " Press", StepIcon::kPress};
}

bool MoveListRow(NavKey key, int count, int rows, int& selected, int& firstRow) {
    int row = selected;
    switch (key) {
        case NavKey::kUp:
            row = selected < 0 ? count - 1 : selected - 1;
            break;
        case NavKey::kDown:
            row = selected + 1;
            break;
        case NavKey::kHome:
            row = 0;
            break;
        case NavKey::kEnd:
            row = count - 1;
            break;
        default:
            return false;
    }
    if (count <= 0) return true;
    selected = std::clamp(row, 0, count - 1);
    if (selected < firstRow) firstRow = selected;
    if (rows > 0 && selected >= firstRow + rows) firstRow = selected - rows + 1;
    return true;
}

CImageShowList::CImageShowList(HostWindow* parent, uint32_t id, const Rect& rect, std::string text,
                               bool visible, bool disabled)
    : CControlBase(parent, id, rect, std::move(text), visible, disabled),
      m_rowCount((rect.Height() + 10) / kRowHeight) {
    SetTakesFocus(true);
    LoadPngResource(kReleaseIconPng, m_releaseIcon);
    LoadPngResource(kPressIconPng, m_pressIcon);
    LoadPngResource(kPauseIconPng, m_pauseIcon);
}

void CImageShowList::Draw(Surface& surface, const Rect&) {
    surface.FillSolidRect(m_rect, kListColor);
    if (!m_key) return;
    const int n = static_cast<int>(m_key->ActionCount());
    const float iconW = static_cast<float>(m_releaseIcon.Width());
    const float iconH = static_cast<float>(m_releaseIcon.Height());
    for (int r = 0; r < m_rowCount && m_firstRow + r < n; ++r) {
        const Rect row{m_rect.left + 17, m_rect.top + kRowHeight * r, m_rect.right - 2,
                       m_rect.top + kRowHeight * r + kRowHeight};
        if (m_firstRow + r == m_selected) surface.FillSolidRect(row, kSelectedColor);
        const StepCaption step =
            DescribeStep(m_key->GetAction(static_cast<uint32_t>(m_firstRow + r)));
        surface.DrawText(step.text, row, kTextColor, m_font, TextFlags::kLabel);
        const Image& icon = step.icon == StepIcon::kPause   ? m_pauseIcon
                            : step.icon == StepIcon::kPress ? m_pressIcon
                                                            : m_releaseIcon;
        DrawImageFrame(
            surface, icon,
            RectF{static_cast<float>(row.left - 15), static_cast<float>(row.top + 3), iconW, iconH},
            0.0f, 0.0f, static_cast<float>(icon.Width()), static_cast<float>(icon.Height()));
    }
}

bool CImageShowList::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }

bool CImageShowList::OnLButtonDown(uint32_t, int x, int y) {
    if (m_disabled || !Contains(x, y)) return false;
    m_state = kPressed;
    if (m_key) {
        const int r = (y - m_rect.top) / kRowHeight;
        // Only a row that shows a step selects it.
        if (m_firstRow + r < static_cast<int>(m_key->ActionCount())) m_selected = m_firstRow + r;
    }
    return true;
}

bool CImageShowList::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] { Clicked(); });
}

int CImageShowList::AccessibleItemCount() const {
    if (!m_key) return 0;
    const int n = static_cast<int>(m_key->ActionCount());
    return std::max(0, std::min(m_rowCount, n - m_firstRow));
}

CControlBase::AccessibleItem CImageShowList::AccessibleItemAt(int row) const {
    const Rect r{m_rect.left + 2, m_rect.top + kRowHeight * row, m_rect.right - 2,
                 m_rect.top + kRowHeight * row + kRowHeight};
    if (!m_key || m_firstRow + row >= static_cast<int>(m_key->ActionCount())) return {{}, r, false};
    const StepCaption step =
        DescribeStep(m_key->GetAction(static_cast<uint32_t>(m_firstRow + row)));
    return {step.text, r, m_firstRow + row == m_selected};
}

bool CImageShowList::OnKey(const NavKeyPress& press) {
    if (m_disabled || press.alt || press.ctrl) return false;
    const int count = m_key ? static_cast<int>(m_key->ActionCount()) : 0;
    if (!MoveListRow(press.key, count, m_rowCount, m_selected, m_firstRow)) return false;
    Invalidate();
    return true;
}

}  // namespace lumbra
