// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"

namespace lumbra {

// A text label in its own colour with the creator's layout flags.
class CStaticText : public CControlBase {
public:
    CStaticText(HostWindow* parent, uint32_t id, const Rect& rect, std::string text, bool visible,
                bool disabled, Color color, uint32_t flags);

    void SetString(const std::string& s) { m_string = s; }
    const std::string& String() const { return m_string; }
    Color TextColor() const { return m_color; }
    void SetTextColor(Color color) { m_color = color; }

    AccessibleRole Role() const override { return AccessibleRole::kStaticText; }
    std::string AccessibleName() const override {
        std::string name = CControlBase::AccessibleName();
        return name.empty() ? m_string : name;
    }
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;

    static FontDesc LabelFont() { return FontDesc{0, 0, 400, 0, 0x20, "宋体"}; }

private:
    Color m_color;
    uint32_t m_flags;
    std::string m_string;
};

}  // namespace lumbra
