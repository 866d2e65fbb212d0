// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/HostWindow.h"
#include "ui/ChoiceRecord.h"
#include "ui/ControlMessages.h"

namespace lumbra {

struct PopupItem {
    bool separator = false;
    int type = 0;
    std::string text;
    Rect rect;
    bool submenu = false;
};

// A drop-down menu in a small borderless top-most window of its own. It lays
// out and paints its items, follows the hovered item and reports the choice
// to its owner window synchronously. It is created with `new`, shown through
// its owner's popup slots, and deletes itself when its window goes away.
class CWndPopup : public WindowHandler {
public:
    static constexpr int kRowHeight = 16;
    static constexpr int kMargin = 3;
    static constexpr Color kFrameColor = 0xF4FF20;
    static constexpr Color kPanelColor = 0x564A12;
    static constexpr Color kHighlightColor = 0xDEA035;
    static constexpr Color kTextColor = 0xFFFFFF;
    static constexpr int kHoverTime = 50;
    // The item fonts of the three ways of painting items.
    static FontDesc ComboItemFont() { return FontDesc{14, 7, 400, 0, 0x20, "宋体"}; }
    static FontDesc LightingItemFont() { return FontDesc{0, 9, 400, 0, 0x20, "宋体"}; }
    static FontDesc PlainItemFont() { return FontDesc{}; }

    explicit CWndPopup(int kind);
    ~CWndPopup() override;

    // Creates the window at a screen rectangle, builds the items, paints and shows.
    bool Create(HostWindow* owner, const Rect& screenRect, uint32_t parameter);
    // Queues a close request when the window still exists.
    void PostClose();
    // Called once when the window is gone, just before the object deletes itself.
    void SetDestroyedCallback(std::function<void()> callback) {
        m_onDestroyed = std::move(callback);
    }

    virtual void DrawItems(Surface& surface, const Rect& client);
    virtual void DrawItemIcons(Surface& surface, const Rect& client);
    virtual void BuildItems();
    virtual bool OnItemMouseMove(int x, int y);
    virtual bool OnItemLButtonDown(int x, int y);
    virtual bool OnItemLButtonUp(int x, int y);

    int Kind() const { return m_kind; }
    uint32_t Parameter() const { return m_parameter; }
    int Width() const { return m_width; }
    Point Position() const { return {m_x, m_y}; }
    const std::vector<PopupItem>& Items() const { return m_items; }
    int Hovered() const { return m_hovered; }
    const ChoiceRecord& Result() const { return m_result; }
    HostWindow* Window() const { return m_window.get(); }
    // Paints and shows the picture at once.
    void Repaint();

    // What the popup tells its owner, called at once on the UI thread.
    // The user chose an item; the record goes away with the popup.
    std::function<void(const ChoiceRecord&)> onChoice;
    // The popup lost activation (a click elsewhere): the owner closes it.
    std::function<void()> onDeactivated;

    // WindowHandler
    void OnPaint(Surface& surface, const Rect& client) override;
    void OnMouseMove(uint32_t flags, int x, int y) override;
    void OnMouseLeave() override;
    void OnMouseHover(uint32_t flags, int x, int y) override;
    void OnLButtonDown(uint32_t flags, int x, int y) override;
    void OnLButtonUp(uint32_t flags, int x, int y) override;
    void OnActivate(bool active) override;
    void OnWindowDestroyed() override;
    // Up, Down, Home and End move the highlight as the pointer does; Enter
    // and Space choose the highlighted item as a click does; Esc closes the
    // list with nothing chosen. A list that closes hands the keyboard back
    // to its owner window, whose focus is still on the drop-down.
    bool OnNavKey(const NavKeyPress& press) override;

    // Assistive tools see the popup as a dialog named for what it offers,
    // holding a list of its items (the function menu: its items as menu
    // items); an item's action is a click on it.
    AccessibleRole AccessibleWindowRole() const override { return AccessibleRole::kDialog; }
    int AccessibleCount() const override;
    AccessibleNode AccessibleNodeAt(int index) const override;
    void DoAccessibleAction(int index) override;
    int AccessibleFocus() const override;
    std::string AccessibleTitle() const;

protected:
    // The fixed width of the class's items (W).
    virtual int LayoutWidth() const = 0;
    void AddItem(int type, std::string text, bool submenu = false);
    void AddSeparator();
    // Lays the items out from the top and sizes the window to them.
    void Layout();
    // Hands the result to onChoice.
    void Report();
    // The three ways items are painted; they differ only in the font.
    void DrawItemList(Surface& surface, const FontDesc& font);

    // The standard hover rule: keep the hovered item while inside it, else
    // the first non-separator item under the point. Returns whether it changed.
    bool StandardItemMouseMove(int x, int y);
    // A press outside the hovered item clears the hover; true when it did.
    bool ClearHoverOutside(int x, int y);
    // The standard release rule; calls act(item) on a release inside the hovered item.
    template <typename Act>
    bool StandardItemLButtonUp(int x, int y, Act act) {
        if (m_hovered < 0) return false;
        if (!m_items[static_cast<size_t>(m_hovered)].rect.Contains(x, y)) {
            m_hovered = -1;
            return true;
        }
        act(m_items[static_cast<size_t>(m_hovered)]);
        return false;
    }

    std::vector<PopupItem> m_items;
    int m_hovered = -1;
    ChoiceRecord m_result;

private:
    // The items that are not separators, in order.
    std::vector<int> AccessibleItems() const;
    bool ItemsAsMenu() const { return m_kind == PopupKind::kFunctionMenu; }

    bool m_tracking = false;
    bool m_pressed = false;
    bool m_captured = false;
    bool m_closing = false;
    // A sub-list opened by moving onto one of this list's items with the
    // keys: it shows without taking the keyboard until Right, Enter or Space.
    CWndPopup* m_keyChild = nullptr;
    FontDesc m_font;
    int m_x = 0;
    int m_y = 0;
    int m_width = 100;
    uint32_t m_parameter = 0;
    int m_kind;
    HostWindow* m_owner = nullptr;
    std::unique_ptr<HostWindow> m_window;
    std::function<void()> m_onDestroyed;
};

// Arrow pixels of a submenu item whose right edge is R and top is T.
std::vector<Point> SubmenuArrowPixels(int right, int top);

}  // namespace lumbra
