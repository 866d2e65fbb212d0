// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/CKeyboardHook.h"

#include "platform/KeyTransitions.h"
#include "platform/KeyboardGrab.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {
// The hook object whose window receives the keys now.
CKeyboardHook* g_running = nullptr;
}  // namespace

CKeyboardHook::CKeyboardHook() = default;

CKeyboardHook::~CKeyboardHook() { StopHook(); }

int32_t CKeyboardHook::StartHook(HostWindow* window) {
    if (!window) return 0;
    if (g_running && g_running != this) g_running->StopHook();
    // The delivery stops before the grab it posts through goes away, and an
    // earlier grab of this object lets go before the new one is taken.
    SetKeyTransitionSink(nullptr);
    m_grab.reset();
    m_grab = std::make_unique<KeyboardGrab>(window);
    g_running = this;
    KeyboardGrab* grab = m_grab.get();
    SetKeyTransitionSink(
        [grab](const KeyTransition& t) {
            const auto second = static_cast<intptr_t>(HookSecondParameter(t));
            // A key comes from inside its own event's delivery and is posted;
            // a release held back comes from the event loop already.
            if (t.deferred)
                grab->Send(kMsgHookKey, t.virtualKey, second);
            else
                grab->Post(kMsgHookKey, t.virtualKey, second);
        },
        KeyDelivery::kSwallow);
    return 1;
}

int32_t CKeyboardHook::StopHook() {
    if (g_running != this) return 0;
    SetKeyTransitionSink(nullptr);
    m_grab.reset();
    g_running = nullptr;
    return 1;
}

bool CKeyboardHook::IsRunning() const { return g_running == this; }

bool CKeyboardHook::HoldsDisplayKeyboard() const {
    return IsRunning() && m_grab && m_grab->HeldByDisplay();
}

}  // namespace lumbra
