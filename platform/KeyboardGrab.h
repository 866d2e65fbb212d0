// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

namespace lumbra {

class HostWindow;

// Holds the keyboard for one window. Every key event of this program goes to
// that window, and where the display server allows it (X11) the whole
// keyboard does, so that desktop shortcuts such as Alt+F4, Alt+Tab or the Win
// key reach the program instead of acting on the desktop. The grab pauses
// while the window is hidden and ends for good when the window goes away or
// this object is destroyed, whichever comes first. UI thread only.
class KeyboardGrab {
public:
    explicit KeyboardGrab(HostWindow* window);
    ~KeyboardGrab();
    KeyboardGrab(const KeyboardGrab&) = delete;
    KeyboardGrab& operator=(const KeyboardGrab&) = delete;

    // Key events of this program are directed to the window now.
    bool Active() const;
    // The display server holds the whole keyboard for the window now.
    bool HeldByDisplay() const;
    // The window still exists (its host has not destroyed it).
    bool WindowAlive() const;
    // Queues a message to the window; dropped when the window is gone by then.
    // Safe to call after the window's host object has been deleted.
    void Post(uint32_t msg, uintptr_t first, intptr_t second);
    // Delivers a message to the window at once; dropped when the window is gone.
    void Send(uint32_t msg, uintptr_t first, intptr_t second);

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
