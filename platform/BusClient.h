// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lumbra {

// A value as it travels to and from Lumbra on the session bus: b, i, s or as.
using BusValue = std::variant<bool, int, std::string, std::vector<std::string>>;
using BusProperties = std::map<std::string, BusValue>;

enum class BusStatus {
    kOk,
    kError,        // Lumbra answered with an error; errorName says which
    kUnreachable,  // no session bus, or nobody owns the name and it could not be started
};

struct BusResult {
    BusStatus status = BusStatus::kOk;
    std::string errorName;  // empty for kUnreachable when there is no session bus
    std::string message;
};

// An exchange with the keyboard may wait for the keyboard's pauses and for
// the calls queued before it.
constexpr int kLongCallMs = 120000;

// The client side of Lumbra's bus interface, for programs that have no event
// loop of their own: every call blocks until its reply. Creates the process's
// core application object when there is none.
class BusClient {
public:
    explicit BusClient();
    ~BusClient();
    BusClient(const BusClient&) = delete;
    BusClient& operator=(const BusClient&) = delete;

    // Calls a method of the keyboard interface; starts Lumbra when it is not
    // running.
    BusResult Call(std::string_view method, const std::vector<BusValue>& args = {},
                   int timeoutMs = kLongCallMs);
    // Reads every property; starts Lumbra when it is not running.
    BusResult GetAll(BusProperties* out);
    BusResult Set(std::string_view property, const BusValue& value);
    // Whether Lumbra runs now; never starts it.
    bool HasOwner();
    // Waits until Lumbra has left the bus; false when it is still there.
    bool WaitUntilGone(int timeoutMs);
    // Runs until SIGINT or SIGTERM: onChange gets the properties of each
    // change, onOwner true when Lumbra appears and false when it goes.
    // Returns 0, or 3 when there is no session bus.
    int Watch(std::function<void(const BusProperties&)> onChange,
              std::function<void(bool)> onOwner);

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumbra
