// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// One key of the keyboard picture. A remapped key (current code differs from
// its default) rests on the pressed frame.
class CKeyboardButton : public CControlBase {
public:
    using CControlBase::CControlBase;

    bool LoadImageStrip(int pngId);
    // Key index := id; stores the name and codes; no repaint.
    void SetKeyInfo(const std::string& name, uint8_t currentCode, uint8_t defaultCode);
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    bool ActsOnClick() const override { return true; }
    int Frame() const { return (m_state == kNormal && m_remapped) ? kPressed : m_state; }
    std::string AccessibleName() const override {
        std::string name = CControlBase::AccessibleName();
        return name.empty() ? m_keyName : name;
    }

    uint32_t KeyIndex() const { return m_keyIndex; }
    const std::string& KeyName() const { return m_keyName; }
    uint8_t CurrentCode() const { return m_currentCode; }
    uint8_t DefaultCode() const { return m_defaultCode; }
    bool IsRemapped() const { return m_remapped; }

private:
    ImageStrip m_strip;
    uint32_t m_keyIndex = 0;
    std::string m_keyName;
    uint8_t m_currentCode = 0;
    uint8_t m_defaultCode = 0;
    bool m_remapped = false;
};

}  // namespace lumbra
