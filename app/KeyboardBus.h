// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/KeyboardControl.h"
#include "platform/BusService.h"

namespace lumbra {

class CCorvexDlg;

// The running program on the session bus: the properties of KeyboardControl's
// state under their bus names, its calls under their methods, and its
// refusals under their error names.
class KeyboardBus {
public:
    explicit KeyboardBus(CCorvexDlg& window);
    ~KeyboardBus();
    KeyboardBus(const KeyboardBus&) = delete;
    KeyboardBus& operator=(const KeyboardBus&) = delete;

    // Takes the name; the program runs on without the bus when it cannot.
    BusService::Started Start() { return m_service.Start(); }

    // The bus's properties of a state; only those that differ from `before`
    // when given.
    static BusService::Properties PropertiesOf(const ControlState& now,
                                               const ControlState* before = nullptr);

private:
    void OnCall(const std::string& method, const std::vector<BusService::Value>& args,
                BusService::ReplyFn reply);

    CCorvexDlg& m_window;
    KeyboardControl m_control;
    BusService m_service;
    // What the user edits in the window marks changes pending.
    InputWatch m_input;
};

}  // namespace lumbra
