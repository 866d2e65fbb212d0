// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Accessible.h"
#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/Surface.h"

namespace lumbra {

class HostWindow;

// Mouse flags given with mouse events.
namespace MouseFlags {
constexpr uint32_t kLButton = 0x1;
constexpr uint32_t kRButton = 0x2;
constexpr uint32_t kShift = 0x4;
constexpr uint32_t kControl = 0x8;
constexpr uint32_t kMButton = 0x10;
}  // namespace MouseFlags

// The keys the toolkit acts on itself: moving the keyboard focus, pressing,
// confirming and cancelling. Other keys are not passed on.
enum class NavKey { kTab, kEnter, kEscape, kSpace, kLeft, kRight, kUp, kDown, kHome, kEnd, kMenu };

struct NavKeyPress {
    NavKey key;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool repeat = false;  // the key is held and repeats
};

// What a window's owner object receives from its host window. Coordinates are
// client coordinates. Everything runs on the UI thread.
class WindowHandler {
public:
    virtual ~WindowHandler() = default;

    // Draw the whole client area into surface (which has the client size).
    virtual void OnPaint(Surface& surface, const Rect& client) = 0;
    virtual void OnMouseMove(uint32_t flags, int x, int y) { (void)flags, (void)x, (void)y; }
    // The pointer left the window after TrackMouse was asked for.
    virtual void OnMouseLeave() {}
    // The pointer rested for the hover time after TrackMouse was asked for.
    virtual void OnMouseHover(uint32_t flags, int x, int y) { (void)flags, (void)x, (void)y; }
    virtual void OnLButtonDown(uint32_t flags, int x, int y) { (void)flags, (void)x, (void)y; }
    virtual void OnLButtonUp(uint32_t flags, int x, int y) { (void)flags, (void)x, (void)y; }
    virtual void OnLButtonDblClk(uint32_t flags, int x, int y) { (void)flags, (void)x, (void)y; }
    virtual void OnRButtonUp(uint32_t flags, int x, int y) { (void)flags, (void)x, (void)y; }
    // delta in steps of 120 per notch, positive away from the user.
    virtual void OnMouseWheel(uint32_t flags, int delta, int x, int y) {
        (void)flags, (void)delta, (void)x, (void)y;
    }
    virtual void OnActivate(bool active) { (void)active; }
    // A navigation key went down (or repeats) in the window, or in one of its
    // edit boxes that had no use for it; true when the key was used.
    virtual bool OnNavKey(const NavKeyPress& press) {
        (void)press;
        return false;
    }
    // A close was asked for; true lets the window be destroyed.
    virtual bool OnCloseRequest() { return true; }
    // The window is gone. The handler may delete itself here; the host window
    // touches nothing of it afterwards.
    virtual void OnWindowDestroyed() {}
    // A message sent (synchronously) or posted to this window.
    virtual intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) {
        (void)msg, (void)first, (void)second;
        return 0;
    }

    // The window's parts as assistive tools see them: the window's own role,
    // then nodes 0 to AccessibleCount() − 1 (a holder comes before what it
    // holds), the default action of one, and the node with the keyboard
    // focus (−1 for none).
    virtual AccessibleRole AccessibleWindowRole() const { return AccessibleRole::kDialog; }
    virtual int AccessibleCount() const { return 0; }
    virtual AccessibleNode AccessibleNodeAt(int index) const {
        (void)index;
        return {};
    }
    virtual void DoAccessibleAction(int index) { (void)index; }
    virtual int AccessibleFocus() const { return -1; }
};

enum class WindowStyle {
    kDialog,  // a frameless top-level window that the toolkit draws entirely
    kPopup,   // a frameless, top-most tool window without a taskbar entry
};

// A top-level window that turns the system's events into WindowHandler calls
// and shows what the handler paints. It keeps no state of its own beyond what
// the event conversion needs. A window owned by another is destroyed before
// its owner.
class HostWindow {
public:
    HostWindow(WindowHandler* handler, WindowStyle style, HostWindow* owner = nullptr);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool IsAlive() const;
    HostWindow* Owner() const { return m_owner; }

    // Geometry, in screen coordinates for positions.
    void SetSize(int width, int height);
    void Move(int x, int y);
    Rect ClientRect() const;
    Point ScreenPos() const;
    Point ClientToScreen(Point p) const;
    // Centres on the owner, or on the screen when there is none.
    void CenterOnOwner();
    void Show();
    void Hide();
    bool IsVisible() const;
    bool IsMinimized() const;
    bool IsMaximized() const;
    void Minimize();
    // Shows the window in its normal state (not minimised, not maximised).
    void ShowNormal();
    void Activate();
    bool IsActive() const;
    void SetTitle(const std::string& title);
    void SetIcon(const Image& icon);
    // The window's outline; an empty region makes the window rectangular again.
    void SetOutline(const Region& region);
    void ClearOutline();

    // Repaints: queued (Invalidate) or at once (RepaintNow).
    void Invalidate(const Rect& r);
    void InvalidateAll();
    void RepaintNow();
    // What the handler paints, as a picture (for tests and screenshots), in
    // the device pixels of a screen with this ratio.
    Image Render(double devicePixelRatio = 1.0);
    // Called with every rectangle invalidated (the client rectangle for
    // InvalidateAll); for tests and measurements.
    void SetInvalidateObserver(std::function<void(const Rect&)> observer) {
        m_invalidateObserver = std::move(observer);
    }

    // Mouse.
    // Asks for one leave and one hover notification; false when the window is gone.
    bool TrackMouse(int hoverMilliseconds);
    bool IsTracking() const;
    void SetCapture();
    void ReleaseCapture();
    bool HasCapture() const;
    // The pointer position in client coordinates (on headless platforms, that
    // of the last pointer event).
    Point CursorPos() const;
    // Lets the system move the window with the pointer from a press at (x, y).
    void BeginWindowMove(int x, int y);
    int WindowMoveCount() const;

    // Messages: Send calls the handler at once, Post queues the call on the UI
    // thread (dropped when the window is gone by then).
    intptr_t Send(uint32_t msg, uintptr_t first, intptr_t second);
    void Post(uint32_t msg, uintptr_t first, intptr_t second);
    // Queues a call on the UI thread in the same queue as Post's messages
    // (dropped when the window is gone by then).
    void Post(std::function<void()> task);
    // Queues a close request (OnCloseRequest, then destruction).
    void PostClose();
    // Destroys the window now: owned windows first, then this one, then
    // OnWindowDestroyed.
    void Destroy();

    // An application-modal window keeps input from every other window of the
    // program while it shows. The system takes the modality only when the
    // window is shown, so set it before Show; a window that shows already is
    // shown again to take it.
    void SetModal(bool modal);
    bool IsModal() const;

    // Tells assistive tools that node `index` of the handler took the focus,
    // or may have changed its states or name (both are compared with what
    // the tools were last told). Nothing happens while no tool listens.
    void NotifyAccessible(AccessibleChange change, int index);
    // Whether an assistive tool is listening to the program.
    static bool AccessibilityActive();

    // Modal run: makes the window modal, shows it and runs a nested event loop
    // until EndModal or destruction; returns the EndModal code (-1 when
    // destroyed).
    int RunModal();
    void EndModal(int code);
    bool InModalLoop() const;

    struct Impl;
    Impl* impl() const { return m_impl.get(); }

private:
    void DestroyInternal(bool notify);

    WindowHandler* m_handler;
    HostWindow* m_owner;
    std::vector<HostWindow*> m_owned;
    std::function<void(const Rect&)> m_invalidateObserver;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
