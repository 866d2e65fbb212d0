// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <variant>

#include "base/LifeToken.h"
#include "model/KeyboardProfile.h"

namespace lumbra {

class KeyboardModel;
class MainWindowCommands;

// What another program sees of the running Lumbra.
struct ControlState {
    bool connected = false;
    bool accessDenied = false;  // attached, but this user may not open it
    int profile = 1;            // 1..5
    std::array<std::string, kProfileSlotCount> names;
    int lightingMode = 0;
    int lightingBrightness = 0;
    bool pending = false;  // edits wait for Apply
    bool busy = false;     // an exchange with the keyboard runs
    bool followPrograms = false;
    friend bool operator==(const ControlState&, const ControlState&) = default;
};

// How a call ended.
enum class ControlError { kNone, kNotConnected, kAccessDenied, kFailed, kInvalidArgument, kBusy };
struct ControlReply {
    ControlError error = ControlError::kNone;
    std::string message;  // one line, for the caller's user; empty when done
};
using ControlDone = std::function<void(const ControlReply&)>;

enum class ControlMethod {
    kSelectProfile,          // int 1..5
    kSetLightingMode,        // int 1..7
    kSetLightingBrightness,  // int 24, 8, 4, 2 or 1
    kApply,
    kLoadProfile,  // absolute path of a readable regular file
    kSaveProfile,  // absolute path
    kShowWindow,
    kHideWindow,
    kQuit,
};
using ControlArgument = std::variant<std::monostate, int, std::string>;

// The running program as other programs drive it (through the session bus):
// each call runs the window's own command. Calls run one at a time in the
// order they came, each once the keyboard is idle and not being read back; a
// call that talks to the keyboard is answered once its exchange has ended.
// While a modal dialog of the window is open, a call is refused as busy
// rather than change the state behind it. UI thread only.
class KeyboardControl {
public:
    struct Host {
        MainWindowCommands* commands = nullptr;
        KeyboardModel* model = nullptr;
        // A modal dialog, message or menu of the window is open.
        std::function<bool()> modalOpen;
        // Runs a task on the UI thread after the current one.
        std::function<void(std::function<void()>)> post;
    };

    explicit KeyboardControl(Host host);
    // Calls still waiting are answered as failed.
    ~KeyboardControl();
    KeyboardControl(const KeyboardControl&) = delete;
    KeyboardControl& operator=(const KeyboardControl&) = delete;

    // Queues the call; `done` is called exactly once.
    void Call(ControlMethod method, ControlArgument argument, ControlDone done);
    ControlState State() const;
    // The "Follow programs" switch, as its menu item turns it.
    ControlReply SetFollowPrograms(bool on);

    // Something may have changed: once the current task is over the state is
    // compared with the one last published and the listener hears of a
    // difference; waiting calls get their turn.
    void NoteChanged();
    void SetStateListener(std::function<void(const ControlState& before, const ControlState& now)> l) {
        m_onState = std::move(l);
    }

private:
    struct Pending {
        ControlMethod method;
        ControlArgument argument;
        ControlDone done;
    };
    void Publish();
    void RunNext();
    bool MayRun() const;
    // Runs the call; true when it is answered later (an exchange runs).
    bool Run(Pending& call);
    ControlReply Check(const Pending& call) const;
    // The keyboard's answer to an exchange started by `call`.
    ControlReply SentReply(bool sent) const;

    Host m_host;
    std::deque<Pending> m_queue;
    bool m_running = false;  // a call waits for its exchange
    bool m_notePosted = false;
    ControlState m_published;
    std::function<void(const ControlState&, const ControlState&)> m_onState;
    LifeToken m_life;
};

// The messages of the refusals, as callers show them.
inline constexpr const char* kControlNotConnected = "no keyboard is attached";
inline constexpr const char* kControlAccessDenied =
    "the keyboard may not be opened: install the udev rule 60-lumbra.rules and plug it in again";
inline constexpr const char* kControlBusy =
    "a dialog of the Lumbra window is open: close it and try again";

}  // namespace lumbra
