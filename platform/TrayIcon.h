// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Image.h"

namespace lumbra {

// The notification-area icon with its tip and context menu.
class TrayIcon {
public:
    TrayIcon();
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    static bool IsAvailable();
    void SetIcon(const Image& icon);
    void SetTip(const std::string& tip);
    // Menu entries in the order added; an empty text adds a separator.
    void AddMenuItem(const std::string& text, std::function<void()> action);
    // Left click or double click on the icon.
    void OnActivated(std::function<void()> action);
    void Show();
    void Hide();
    bool IsVisible() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
