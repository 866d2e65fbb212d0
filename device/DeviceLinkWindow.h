// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace lumbra {

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
    // A notice of the keyboard (its profile keys 1 to 3, and the codes 4 to
    // 7 of its two other notices), in the order the keyboard sent them.
    virtual void OnKeyboardNotice(int notice) = 0;
};

// A window that shows nothing, for programs that run a link without one
// (benches, fuzzers).
class QuietDeviceLinkWindow final : public DeviceLinkWindow {
public:
    void RefreshWindow() override {}
    void ShowDisconnectedMessage(std::string_view) override {}
    void ShowAccessDeniedMessage(std::string_view) override {}
    void OnKeyboardNotice(int) override {}
};

}  // namespace lumbra
