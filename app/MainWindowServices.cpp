// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowServices.h"

#include "app/ModalDialogs.h"
#include "base/UiDispatcher.h"
#include "model/KeyboardModel.h"
#include "model/MacroLibrary.h"

namespace lumbra {

MainWindowServices WithDefaults(MainWindowServices s, std::unique_ptr<MainWindowDialogs>& own) {
    if (!s.model) s.model = &TheKeyboardModel();
    if (!s.library) s.library = &TheMacroLibrary();
    if (!s.dispatcher) s.dispatcher = &TheUiDispatcher();
    if (!s.clock) s.clock = std::shared_ptr<Clock>(&TheRealClock(), [](Clock*) {});
    if (s.autostart.file.empty())
        s.autostart = ResolveAutostartEntry(AutostartInputsFromEnvironment());
    if (!s.dialogs) {
        own = std::make_unique<ModalDialogs>();
        s.dialogs = own.get();
    }
    return s;
}

}  // namespace lumbra
