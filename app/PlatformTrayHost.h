// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "app/MainWindowServices.h"

namespace lumbra {

class TrayIcon;

// The desktop's notification area: the icon 387 with its tip and the menu
// "Config Keyboard", a separator, "Exit". A click on the icon stands for the
// double click of the tray message.
class PlatformTrayHost final : public TrayHost {
public:
    PlatformTrayHost();
    ~PlatformTrayHost() override;

    void Add(const std::string& tip, std::function<void(intptr_t)> notify,
             std::function<void(uint32_t)> command) override;
    void Remove() override;

private:
    std::unique_ptr<TrayIcon> m_icon;
};

}  // namespace lumbra
