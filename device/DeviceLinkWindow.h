// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace lumbra {

// Notices the keyboard posts to the main window (its handler ignores them).
constexpr uint32_t kMsgKeyboardNotice = 0x42B;

constexpr std::string_view kDisconnectedMessage = "The keyboard is disconnected.Please connect.";

// What the device link needs from the main window. Every call arrives on the
// UI thread.
class DeviceLinkWindow {
public:
    virtual ~DeviceLinkWindow() = default;

    // The main window's refresh: G-key captions, lighting captions, key
    // buttons and a repaint.
    virtual void RefreshWindow() = 0;
    // The modal "Attention!" message, owned by no window.
    virtual void ShowDisconnectedMessage(std::string_view text) = 0;
    // The keyboard is attached but the user may not open it (path: the first
    // interface refused). Said once per link.
    virtual void ShowAccessDeniedMessage(std::string_view path) = 0;
    // A notice queued to the main window's own handler.
    virtual void PostWindowMessage(uint32_t message, uint32_t wParam, int32_t lParam) = 0;
};

}  // namespace lumbra
