// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Accessible.h"
#include "platform/Font.h"
#include "platform/Geometry.h"
#include "platform/Surface.h"

namespace lumbra {

class HostWindow;
struct NavKeyPress;

// A windowless control: a rectangle in its dialog's client area that the
// dialog draws and feeds with mouse events. It reports to its parent window
// with the message whose number is its own id. Mouse operations return
// whether the control's look changed.
class CControlBase {
public:
    enum State { kNormal = 0, kHover = 1, kPressed = 2 };

    CControlBase(HostWindow* parent, uint32_t id, const Rect& rect, std::string text, bool visible,
                 bool disabled);
    virtual ~CControlBase();
    CControlBase(const CControlBase&) = delete;
    CControlBase& operator=(const CControlBase&) = delete;

    virtual void Draw(Surface& surface, const Rect& updateRect) = 0;
    virtual int Reserved2(int a, int b);
    // The dialog calls this with 0 on the previously pressed control when a
    // new press starts elsewhere or a popup is dismissed.
    virtual int ReleaseActive(int flag);
    virtual void SetRect(int left, int top, int right, int bottom);
    virtual Rect GetRect() const;
    // Stores a different text and repaints the control; the same text changes nothing.
    virtual void SetText(const std::string& text);
    virtual std::string GetText() const;
    // Stores the flag; the caller repaints.
    virtual void SetVisible(bool visible);
    virtual bool OnMouseMove(uint32_t flags, int x, int y);
    virtual bool OnLButtonDown(uint32_t flags, int x, int y);
    virtual bool OnLButtonUp(uint32_t flags, int x, int y);
    virtual bool OnLButtonDblClk(uint32_t flags, int x, int y);
    virtual bool Reserved13();
    virtual bool Reserved14();

    // Controls that act on a click take the keyboard focus; so does any
    // control its owner marks as taking it.
    virtual bool ActsOnClick() const { return false; }
    void SetTakesFocus(bool takes) { m_takesFocus = takes; }
    bool TakesFocus() const { return (m_takesFocus || ActsOnClick()) && m_visible && !m_disabled; }
    // Space or Enter on the focused control: the press and release of a click
    // at its centre, so every kind reacts exactly as to the mouse.
    virtual void PressByKey();
    // A key pressed while the control has the focus, before the dialog's own
    // keys; true when the control used it (rows of a list, a drop-down's Alt+Down).
    virtual bool OnKey(const NavKeyPress& press);

    // What assistive tools are told of the control: its role (kNone keeps it
    // from them; by default a push button when it acts on a click), its name
    // (the one its creator gave, else its text), a description and its states
    // (focus aside, which the dialog knows).
    virtual AccessibleRole Role() const {
        return ActsOnClick() ? AccessibleRole::kPushButton : AccessibleRole::kNone;
    }
    virtual std::string AccessibleName() const;
    virtual std::string AccessibleDescription() const { return {}; }
    virtual uint32_t AccessibleStates() const;
    // A fixed name for a control whose caption is a picture.
    void SetAccessibleName(std::string name) { m_accessibleName = std::move(name); }
    // A name that follows what the control stands for now; it goes before the
    // fixed one.
    std::function<std::string()> accessibleName;
    // Controls with rows show each shown row as an item of a list.
    struct AccessibleItem {
        std::string name;
        Rect rect;
        bool selected = false;
    };
    virtual int AccessibleItemCount() const { return 0; }
    virtual AccessibleItem AccessibleItemAt(int row) const {
        (void)row;
        return {};
    }
    // An item's default action: a click at the middle of its row.
    void PressItem(int row);

    uint32_t Id() const { return m_id; }
    bool IsVisible() const { return m_visible; }
    bool IsDisabled() const { return m_disabled; }
    void SetDisabled(bool disabled) { m_disabled = disabled; }
    bool IsHoverable() const { return m_hoverable; }
    int State() const { return m_state; }
    // Creators reset a control's look directly.
    void SetState(int state) { m_state = state; }
    bool Contains(int x, int y) const { return m_rect.Contains(x, y); }
    HostWindow* Parent() const { return m_parent; }
    const FontDesc& Font() const { return m_font; }
    // Repaints the control's rectangle in the parent.
    void Invalidate() const;

    // What the control tells its owner, called at once on the UI thread, in
    // the order things happen. A control whose owner set no handler tells
    // nobody.
    std::function<void()> onPress;  // the button went down inside the control
    std::function<void()> onClick;  // the button was released inside the control

protected:
    // Run onPress / onClick where the owner set one.
    void Pressed() const;
    void Clicked() const;
    // A click of the left button at the centre of r, as the keyboard or a
    // screen reader presses.
    void ClickCentreOf(const Rect& r);

    // The standard mouse handling shared by the button classes.
    bool StandardMove(int x, int y);
    // Press inside: state 2, then the press message (id, 0, 1) when sendPress.
    bool StandardDown(int x, int y, bool sendPress = true);
    // Release: inside → state 1 and onClick() (which sends); outside → state 0.
    template <typename OnClick>
    bool StandardUp(int x, int y, OnClick onClick) {
        if (m_disabled) return false;
        if (!Contains(x, y)) {
            m_state = kNormal;
            return true;
        }
        m_state = kHover;
        onClick();
        return true;
    }

    uint32_t m_id;
    Rect m_rect;
    bool m_visible;
    bool m_disabled;
    bool m_hoverable = true;
    std::string m_text;
    HostWindow* m_parent;
    FontDesc m_font;
    int m_state = kNormal;
    bool m_takesFocus = false;
    std::string m_accessibleName;
};

}  // namespace lumbra
