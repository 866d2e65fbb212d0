// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlatformTrayHost.h"

#include "app/MainWindowMessages.h"
#include "platform/Resources.h"
#include "platform/TrayIcon.h"

namespace lumbra {

PlatformTrayHost::PlatformTrayHost() = default;
PlatformTrayHost::~PlatformTrayHost() = default;

void PlatformTrayHost::Add(const std::string& tip, std::function<void(intptr_t)> notify,
                           std::function<void(uint32_t)> command) {
    m_icon = std::make_unique<TrayIcon>();
    m_icon->SetIcon(LoadResourceImage(ResourceKind::kIcon, static_cast<int>(kTrayIconId)));
    m_icon->SetTip(tip);
    m_icon->AddMenuItem("Config Keyboard", [command] { command(MainCommand::kConfigKeyboard); });
    m_icon->AddMenuItem("", nullptr);
    m_icon->AddMenuItem("Exit", [command] { command(MainCommand::kExit); });
    m_icon->OnActivated([notify] { notify(kTrayLeftDoubleClick); });
    m_icon->Show();
}

void PlatformTrayHost::Remove() {
    if (m_icon) m_icon->Hide();
    m_icon.reset();
}

}  // namespace lumbra
