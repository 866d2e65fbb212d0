// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace lumbra {

// The program's object on the session bus: its interface as the checked-in
// introspection data describes it, the standard Properties and Introspectable
// interfaces, and the well-known name. What the calls do is the handler's;
// this only carries them. UI thread only.
class BusService {
public:
    using Value = std::variant<bool, int, std::string, std::vector<std::string>>;
    using Properties = std::vector<std::pair<std::string, Value>>;
    // An empty error name: the call is done.
    struct Reply {
        std::string errorName;
        std::string message;
    };
    using ReplyFn = std::function<void(const Reply&)>;
    struct Handler {
        // Every property of the interface, in its order.
        std::function<Properties()> properties;
        // A writable property set by a caller (its type already checked).
        std::function<Reply(const std::string& name, const Value& value)> setProperty;
        // A method of the interface with arguments of its signature; `reply`
        // may be called later, exactly once.
        std::function<void(const std::string& method, const std::vector<Value>& args,
                           ReplyFn reply)>
            call;
    };
    enum class Started { kOwned, kNameTaken, kNoBus };

    explicit BusService(Handler handler);
    ~BusService();
    BusService(const BusService&) = delete;
    BusService& operator=(const BusService&) = delete;

    // Exports the object, then takes the name: a call that started the
    // program is delivered once both are in place.
    Started Start();
    // PropertiesChanged with the properties given.
    void EmitChanged(const Properties& changed);

    // The introspection data as it is answered.
    static std::string_view Introspection();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Calls `after` once each mouse button or key release given to a window of the
// program has been handled: the edits a user makes are over by then.
class InputWatch {
public:
    explicit InputWatch(std::function<void()> after);
    ~InputWatch();
    InputWatch(const InputWatch&) = delete;
    InputWatch& operator=(const InputWatch&) = delete;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Whether this session has a bus to connect to: its address is set, or the
// user's bus socket is in the runtime folder. Without one nothing is tried, so
// the bus library never starts a bus of its own (X11 autolaunch).
bool SessionBusReachable();

// Asks the Lumbra that owns the name on this user's session bus to show its
// window (or, with `show` false, only whether one answers). Never starts one.
bool AskRunningInstance(bool show);

// Whether a modal window, message or menu of the program is open.
bool ModalUiOpen();

}  // namespace lumbra
