// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/HostWindow.h"
#include "ui/CControlBase.h"
#include "ui/ControlMessages.h"

namespace lumbra {

class CWndPopup;
class EditBox;

// How the arrow keys move in a group of controls that is one Tab stop.
enum class ArrowGroup {
    kChoose,  // tabs and radio buttons: every arrow moves to the previous or
              // next one in reading order, round the group, and presses it
    kGrid,    // keys laid out in rows: Left and Right within the row, Up and
              // Down to the nearest key of the next row; nothing is pressed
};

// The base of every skinned window: a frameless window with a bitmap
// background faded into its average colour, an optional outline, five lists
// of windowless controls that it paints, hit-tests and feeds with the mouse,
// moving by its background, and the popup windows it has open.
class CDlgBase : public WindowHandler {
public:
    static constexpr int kListCount = 5;
    static constexpr int kDefaultWidth = 818;
    static constexpr int kDefaultHeight = 628;
    static constexpr Color kInitialBackground = 0xEFE2BA;
    static constexpr int kIconId = 387;
    static constexpr int kHoverTime = 1;

    CDlgBase(int templateId, HostWindow* parentWindow);
    ~CDlgBase() override;

    // Creates the window and runs the initialisation, then the modal loop;
    // returns the code given to EndDialog.
    int DoModal();
    // Creates the window and runs the initialisation without a loop of its own.
    bool Create();
    // The same for a window that is to run modally: it is modal from the
    // moment it first shows, so no other window of the program takes input
    // while it runs.
    bool CreateModal();
    void EndDialog(int code);
    // The code given to EndDialog; 0 while the dialog runs.
    int Result() const { return m_result; }
    HostWindow* Window() const { return m_window.get(); }

    // The dialog's initialisation; derived dialogs call it first, then set
    // their background, outline and state.
    virtual bool OnInitDialog();
    virtual void DrawBackground(Surface& surface, const Rect& client) = 0;
    virtual void DrawControls(Surface& surface, const Rect& updateRect);
    virtual void BuildControls(int left, int top, int right, int bottom) = 0;

    // The first control with this id: list 0, then lists 1 to 4.
    CControlBase* FindControl(uint32_t id) const;
    // Appends a control to one of the five lists; returns it.
    template <typename T>
    T* AddControl(int list, std::unique_ptr<T> control) {
        T* raw = control.get();
        m_lists.at(static_cast<size_t>(list)).push_back(std::move(control));
        return raw;
    }
    std::vector<std::unique_ptr<CControlBase>>& ControlList(int list) {
        return m_lists.at(static_cast<size_t>(list));
    }
    // Shows or hides every control of one list.
    void SetListVisible(int list, bool visible);
    // The ids whose click switches what the window shows (its page tabs and
    // the like): their click repaints the whole window, not just the control.
    void SetViewSwitches(std::vector<uint32_t> ids) { m_viewSwitches = std::move(ids); }

    void SetBackgroundBitmap(int bitmapId);
    void SetWindowRegionFromBitmap(int bitmapId);
    // Fill with the background colour, copy the prepared picture, draw the controls.
    void StandardDrawBackground(Surface& surface, const Rect& client);
    // Its first half: the background colour, then the prepared bitmap.
    void DrawBackgroundBitmap(Surface& surface, const Rect& client);
    void SetWindowSize(int width, int height) {
        m_width = width;
        m_height = height;
    }

    void ShowPopup(PopupSlot slot, const Rect& clientRect, CWndPopup* popup, uint32_t parameter);
    void ClosePopup(PopupSlot slot);
    CWndPopup* Popup(PopupSlot slot) const { return m_popups[static_cast<size_t>(slot)]; }

    // The keyboard focus: one control that takes it, or none. Tab and
    // Shift+Tab walk the controls that take it row by row, top to bottom and
    // left to right; Space and Enter press the focused control. The focus
    // mark shows once the keyboard has been used in the window (or when an
    // owner asks for it), so the window looks as before to the mouse.
    CControlBase* FocusControl() const { return m_focus; }
    void SetFocus(CControlBase* control, bool showMark = true);
    // The controls that take the focus now, in Tab order: one stop for each
    // arrow group, and the window's edit boxes where they sit.
    std::vector<CControlBase*> FocusOrder();
    bool FocusMarkShown() const { return m_focusMarkShown; }
    // The buttons Enter and Esc stand for (0 for none): Enter runs the
    // default button's click unless a focused button takes it, Esc the
    // cancel button's; a disabled or hidden button is not run.
    // Makes the controls one Tab stop whose arrows move within it; the stop
    // is the member that had the focus last, else the selected tab or radio,
    // else the first. Radio buttons of one list form a kChoose group by
    // themselves.
    void AddArrowGroup(std::vector<CControlBase*> members, ArrowGroup kind);
    void SetDialogKeys(uint32_t defaultId, uint32_t cancelId) {
        m_defaultId = defaultId;
        m_cancelId = cancelId;
    }

    // The mouse routing's state, for owners and tests.
    CControlBase* HotControl() const { return m_hot; }
    CControlBase* ActiveControl() const { return m_active; }
    // Owners that remove or hide controls in a handler clear the hot control.
    void ClearHotControl() { m_hot = nullptr; }
    Rect PressedRect() const { return m_pressedRect; }
    bool IsButtonDown() const { return m_buttonDown; }
    Point LastPoint() const { return m_lastPoint; }
    Color BackgroundColor() const { return m_backgroundColor; }
    int FadeWidth() const { return m_fadeWidth; }
    int BackgroundWidth() const { return m_bitmapWidth; }
    int BackgroundHeight() const { return m_bitmapHeight; }
    const Region& Outline() const { return m_outline; }
    const FontDesc& CaptionFont() const { return m_captionFont; }

    // WindowHandler
    void OnPaint(Surface& surface, const Rect& client) override;
    void OnMouseMove(uint32_t flags, int x, int y) override;
    void OnMouseLeave() override;
    void OnMouseHover(uint32_t flags, int x, int y) override;
    void OnLButtonDown(uint32_t flags, int x, int y) override;
    void OnLButtonUp(uint32_t flags, int x, int y) override;
    void OnLButtonDblClk(uint32_t flags, int x, int y) override;
    bool OnNavKey(const NavKeyPress& press) override;

    // Assistive tools see the visible controls that have a role, each list
    // followed by its shown rows; the window is a dialog, or a window of its
    // own when nothing owns it. A node's action is what Space does to it.
    AccessibleRole AccessibleWindowRole() const override;
    int AccessibleCount() const override;
    AccessibleNode AccessibleNodeAt(int index) const override;
    void DoAccessibleAction(int index) override;
    int AccessibleFocus() const override;
    // Tells assistive tools which controls changed state or name since they
    // were last told; the dialog runs it after each repaint.
    void AnnounceChanges();
    // The window title for a dialog called `name`.
    void SetDialogTitle(std::string_view name);

protected:
    // The focus moved from `before` to `now` (either may be none).
    virtual void OnFocusChanged(CControlBase* before, CControlBase* now) {
        (void)before, (void)now;
    }
    // The focus mark's rectangle around a control.
    static Rect FocusMarkRect(const CControlBase& control);

    template <typename Fn>
    void ForEachControl(Fn fn) const {
        for (const auto& list : m_lists)
            for (const auto& c : list)
                if (c) fn(c.get());
    }
    // Which list holds a control (−1 when none).
    int ListOf(const CControlBase* control) const;

    int m_templateId;
    int m_result = 0;
    HostWindow* m_parentWindow;
    std::unique_ptr<HostWindow> m_window;

private:
    bool Open(bool modal);
    void InvalidateControl(const CControlBase* control);
    void ReleaseActiveControl();
    // Runs a dialog button's click for Enter or Esc; false when there is none.
    bool RunButton(uint32_t id);
    // A node: a control, or row `row` of one (−1 for the control itself).
    struct AccessibleEntry {
        CControlBase* control;
        int row;
        int parent;
    };
    std::vector<AccessibleEntry> AccessibleEntries() const;
    void AnnounceFocus(CControlBase* control);
    struct Group {
        std::vector<CControlBase*> members;
        ArrowGroup kind;
        CControlBase* last = nullptr;
    };
    // The group a control belongs to (the radios of its list make one); none
    // when it is alone.
    std::optional<Group> GroupOf(const CControlBase* control) const;
    CControlBase* GroupStop(const Group& group) const;
    // The member an arrow moves to from the focus; null when none.
    CControlBase* ArrowTarget(const Group& group, NavKey key) const;
    // The window's edit boxes as focus stops; the focus follows a box that
    // holds the system's focus.
    void SyncEditStops();
    EditBox* BoxOf(const CControlBase* control) const;

    int m_width = kDefaultWidth;
    int m_height = kDefaultHeight;
    Region m_outline;
    Color m_backgroundColor = kInitialBackground;
    FontDesc m_captionFont;
    int m_bitmapWidth = 100;
    int m_bitmapHeight = 100;
    // The background as drawn: the picture itself when it covers the window
    // (nothing to fade), else the picture faded into its average colour.
    Image m_backgroundPicture;
    std::unique_ptr<Surface> m_background;
    // The picture and fade the background was made from.
    std::weak_ptr<Image::Impl> m_preparedFrom;
    int m_preparedFade = -1;
    int m_fadeWidth = 0;
    bool m_tracking = false;
    bool m_buttonDown = false;
    Rect m_pressedRect{-1, -1, -1, -1};
    bool m_captured = false;
    Point m_lastPoint{0, 0};
    std::array<std::vector<std::unique_ptr<CControlBase>>, kListCount> m_lists;
    CControlBase* m_hot = nullptr;
    CControlBase* m_active = nullptr;
    CControlBase* m_focus = nullptr;
    bool m_focusMarkShown = false;
    uint32_t m_defaultId = 0;
    uint32_t m_cancelId = 0;
    std::vector<uint32_t> m_viewSwitches;
    std::vector<Group> m_groups;
    std::vector<std::pair<EditBox*, std::unique_ptr<CControlBase>>> m_editStops;
    std::array<CWndPopup*, kPopupSlotCount> m_popups{};
    // What assistive tools were last told of each node, by key.
    std::unordered_map<uint64_t, std::pair<uint32_t, std::string>> m_announced;
    bool m_announcePending = false;
};

}  // namespace lumbra
