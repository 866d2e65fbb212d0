// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CControlBase.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// A drop-down button drawn from a 5-frame strip with its display text. Its
// release reports with its own release message number and its id; in the
// alternate look it only changes its look.
class CComboButton : public CControlBase {
public:
    using CControlBase::CControlBase;

    bool LoadImageStrip(int pngId);
    // Stores the text and always repaints.
    void SetDisplayText(const std::string& text);
    const std::string& DisplayText() const { return m_displayText; }
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    bool ActsOnClick() const override { return true; }
    // Alt+Down opens the list, as Enter and Space do.
    bool OnKey(const NavKeyPress& press) override;
    int Frame() const;
    // Named by its creator, else by what it shows; what it shows is its value.
    AccessibleRole Role() const override { return AccessibleRole::kComboBox; }
    std::string AccessibleName() const override {
        std::string name = CControlBase::AccessibleName();
        return name.empty() ? LabelText() : name;
    }
    std::string AccessibleDescription() const override { return LabelText(); }
    uint32_t AccessibleStates() const override {
        return CControlBase::AccessibleStates() | (m_popupOpen ? AccessibleState::kExpanded : 0);
    }
    // What the label shows.
    std::string LabelText() const { return m_showDisable ? "Disable" : m_displayText; }

    void SetPopupOpen(bool open) { m_popupOpen = open; }
    bool IsPopupOpen() const { return m_popupOpen; }
    void SetAlternateLook(bool alternate) { m_alternateLook = alternate; }
    bool IsAlternateLook() const { return m_alternateLook; }
    void SetShowDisable(bool show) { m_showDisable = show; }
    bool IsShowDisable() const { return m_showDisable; }

    // The label's font: height 14, width 7, normal weight, default character set.
    static FontDesc LabelFont() { return FontDesc{14, 7, 400, 0, 0x20, "宋体"}; }

private:
    std::string m_displayText;
    bool m_popupOpen = false;
    ImageStrip m_strip;
    bool m_alternateLook = false;
    bool m_showDisable = false;
    // Kept with the values the creators expect; nothing reads them.
    int m_reserved0 = 0;
    int m_reserved1 = 1;
    int m_reserved2 = 0;
};

}  // namespace lumbra
