// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowServices.h"

#include "app/ModalDialogs.h"
#include "device/DeviceLink.h"

namespace lumbra {

MainWindowServices WithDefaults(MainWindowServices s, std::unique_ptr<MainWindowDialogs>& own) {
    FillDefaults(s);
    if (s.autostart.file.empty())
        s.autostart = ResolveAutostartEntry(AutostartInputsFromEnvironment());
    if (!s.dialogs) {
        own = std::make_unique<ModalDialogs>();
        s.dialogs = own.get();
    }
    return s;
}

}  // namespace lumbra
