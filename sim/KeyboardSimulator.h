// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/Clock.h"
#include "device/HidBackend.h"
#include "device/Reports.h"
#include "sim/SimStateFile.h"

namespace lumbra {

// One exchange as a trace records it.
struct SimExchange {
    enum class Op { kSet, kGet, kIn, kPlug, kUnplug };
    Op op = Op::kSet;
    std::vector<uint8_t> bytes;
    bool failed = false;
};

enum class SimFault { kSet, kGet, kRead };

// A software keyboard behind the HID interface: its two interfaces, the three
// on-board profiles, the feature reports answered as the keyboard answers
// them, input reports on request, plug and unplug, and injected failures.
//
// Threads: every member may be called from any thread. The observer and the
// change sink are called on the calling thread; the observer is called with
// the simulator's lock held and must not call back into it.
class KeyboardSimulator final : public HidBackend {
public:
    static constexpr size_t kInputReportLength = 8;
    static inline const std::string kEventsPath = "sim:/keyboard/events";
    static inline const std::string kConfigPath = "sim:/keyboard/config";

    // With a state file the keyboard starts as the file left it (factory
    // state when the file is missing or unreadable) and every change of its
    // state is written back.
    explicit KeyboardSimulator(std::optional<std::string> stateFile = std::nullopt);
    ~KeyboardSimulator() override;

    // HidBackend
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidHandle> OpenPath(const std::string& path) override;

    // Plug and unplug raise one notification per interface, as the system's
    // monitor does. Unplugging fails every open handle and a pending read.
    void Plug();
    void Unplug();
    bool IsPlugged() const;
    // Which interfaces a plugged keyboard shows (both by default).
    void SetInterfaces(bool events, bool configuration);

    void SetChangeSink(DeviceChangeSink sink);
    void SetObserver(std::function<void(const SimExchange&)> observer);

    // Delivers a raw input report to every open events interface (nothing
    // when none is open, as with the real device).
    void SendInputReport(std::vector<uint8_t> report);
    // The keyboard's own event: a change of its own state (profile 05,
    // lighting 02, 06, 07) is applied first, then the report goes out.
    void SendEvent(uint8_t code, uint8_t argument);

    // The next n operations of that kind fail; a read blocked now fails at once.
    void FailNext(SimFault fault, int n);
    // From now on, the k-th operation of that kind (k counts from 1) and the
    // n - 1 after it fail; those before and after go through. A read counts
    // when it delivers a report. Replaces whatever failures were still
    // planned for that kind; k below 1 plans none.
    void FailNth(SimFault fault, int k, int n = 1);

    SimKeyboardState State() const;
    void SetState(const SimKeyboardState& state);
    // Open events interfaces of the plugged keyboard that reports reach, for
    // callers that wait for a listener.
    int OpenReaders() const;

    // Handles use these; public for them only.
    struct Reader;
    bool HandleSet(std::span<const uint8_t> report, uint64_t generation);
    bool HandleGet(std::span<uint8_t> buffer, uint64_t generation);
    bool HandleGone(uint64_t generation) const;
    int HandleRead(Reader& reader, std::span<uint8_t> buffer);
    void HandleInterrupt(Reader& reader);
    void CloseReader(Reader* reader);

private:
    bool ApplySet(std::span<const uint8_t> report);
    bool AnswerGet(std::span<uint8_t> buffer);
    void ApplyOwnEvent(uint8_t code, uint8_t argument);
    void Notify(SimExchange::Op op, std::span<const uint8_t> bytes, bool failed);
    void SaveLocked();
    void RaiseChanges(DeviceChange change, int count);
    int VisibleInterfaceCount() const;

    mutable std::mutex m_mutex;
    std::condition_variable m_signal;
    SimKeyboardState m_state;
    std::optional<std::string> m_stateFile;
    bool m_plugged = true;
    bool m_showEvents = true;
    bool m_showConfiguration = true;
    uint64_t m_generation = 0;  // grows at every unplug
    int m_selectedProfile = 0;
    int m_selectedGKey = 0;
    // Injected failures of one kind: so many operations go through, then so
    // many fail.
    struct FaultPlan {
        int pass = 0;
        int fail = 0;
        bool FailsNow() const { return pass == 0 && fail > 0; }
        // Whether this operation fails; counts it.
        bool Next();
    };
    FaultPlan& Plan(SimFault fault);
    void PlanFaults(SimFault fault, int pass, int fail);

    FaultPlan m_setFaults;
    FaultPlan m_getFaults;
    FaultPlan m_readFaults;
    std::vector<Reader*> m_readers;
    DeviceChangeSink m_sink;
    std::function<void(const SimExchange&)> m_observer;
};

}  // namespace lumbra
