// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumbra {

class HostWindow;

// What the macro recorders need of the keyboard hook: deliver kMsgHookKey
// (ui/ControlMessages.h) to one window from Start until Stop. Stop must be harmless when nothing
// runs.
class MacroHook {
public:
    virtual ~MacroHook() = default;
    virtual void Start(HostWindow* window) = 0;
    virtual void Stop() = 0;
};

// Any hook object with StartHook(window) and StopHook() as a MacroHook, held
// by reference: MacroHookFor<CKeyboardHook> adapter(m_hook);
template <typename Hook>
class MacroHookFor : public MacroHook {
public:
    explicit MacroHookFor(Hook& hook) : m_hook(hook) {}
    void Start(HostWindow* window) override { m_hook.StartHook(window); }
    void Stop() override { m_hook.StopHook(); }

private:
    Hook& m_hook;
};

}  // namespace lumbra
