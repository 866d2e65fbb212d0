// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/KeyboardSimulator.h"

#include <algorithm>

namespace lumbra {

struct KeyboardSimulator::Reader {
    uint64_t generation = 0;
    std::deque<std::vector<uint8_t>> queue;
    bool interrupted = false;
};

namespace {

constexpr uint8_t kBreathingBrightness = 24;

class SimHandle final : public HidHandle {
public:
    SimHandle(KeyboardSimulator& sim, uint64_t generation, bool events)
        : m_sim(sim), m_generation(generation), m_events(events) {}
    ~SimHandle() override {
        if (m_events) m_sim.CloseReader(&m_reader);
    }

    bool SendFeatureReport(std::span<const uint8_t> report) override {
        return !m_events && m_sim.HandleSet(report, m_generation);
    }
    bool GetFeatureReport(std::span<uint8_t> buffer) override {
        return !m_events && m_sim.HandleGet(buffer, m_generation);
    }
    int Read(std::span<uint8_t> buffer) override {
        if (!m_events) return -1;
        return m_sim.HandleRead(m_reader, buffer);
    }
    bool InterruptRead() override {
        if (m_events) m_sim.HandleInterrupt(m_reader);
        return true;
    }
    bool Gone() override { return m_sim.HandleGone(m_generation); }

private:
    KeyboardSimulator& m_sim;
    uint64_t m_generation;
    bool m_events;

public:
    KeyboardSimulator::Reader m_reader;
};

}  // namespace

KeyboardSimulator::KeyboardSimulator(std::optional<std::string> stateFile)
    : m_state(stateFile ? LoadSimState(*stateFile) : SimKeyboardState::Factory()),
      m_stateFile(std::move(stateFile)) {}

KeyboardSimulator::~KeyboardSimulator() = default;

int KeyboardSimulator::VisibleInterfaceCount() const {
    return (m_showEvents ? 1 : 0) + (m_showConfiguration ? 1 : 0);
}

std::vector<HidInterfaceInfo> KeyboardSimulator::Enumerate() {
    std::lock_guard lock(m_mutex);
    std::vector<HidInterfaceInfo> result;
    if (!m_plugged) return result;
    if (m_showEvents) {
        result.push_back({kKeyboardVendorId, kKeyboardProductId, kListenerUsagePage,
                          kInputReportLength, kEventsPath});
    }
    if (m_showConfiguration) {
        result.push_back({kKeyboardVendorId, kKeyboardProductId, kFeatureUsagePage,
                          kInputReportLength, kConfigPath});
    }
    return result;
}

std::unique_ptr<HidHandle> KeyboardSimulator::OpenPath(const std::string& path) {
    std::lock_guard lock(m_mutex);
    if (!m_plugged) return nullptr;
    if (path == kEventsPath && m_showEvents) {
        auto handle = std::make_unique<SimHandle>(*this, m_generation, true);
        handle->m_reader.generation = m_generation;
        m_readers.push_back(&handle->m_reader);
        return handle;
    }
    if (path == kConfigPath && m_showConfiguration) {
        return std::make_unique<SimHandle>(*this, m_generation, false);
    }
    return nullptr;
}

void KeyboardSimulator::CloseReader(Reader* reader) {
    std::lock_guard lock(m_mutex);
    std::erase(m_readers, reader);
}

void KeyboardSimulator::Plug() {
    int count = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_plugged) return;
        m_plugged = true;
        Notify(SimExchange::Op::kPlug, {}, false);
        count = VisibleInterfaceCount();
    }
    RaiseChanges(DeviceChange::kArrival, count);
}

void KeyboardSimulator::Unplug() {
    int count = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!m_plugged) return;
        m_plugged = false;
        ++m_generation;
        Notify(SimExchange::Op::kUnplug, {}, false);
        count = VisibleInterfaceCount();
    }
    m_signal.notify_all();
    RaiseChanges(DeviceChange::kRemoveComplete, count);
}

bool KeyboardSimulator::IsPlugged() const {
    std::lock_guard lock(m_mutex);
    return m_plugged;
}

void KeyboardSimulator::SetInterfaces(bool events, bool configuration) {
    std::lock_guard lock(m_mutex);
    m_showEvents = events;
    m_showConfiguration = configuration;
}

void KeyboardSimulator::SetChangeSink(DeviceChangeSink sink) {
    std::lock_guard lock(m_mutex);
    m_sink = std::move(sink);
}

void KeyboardSimulator::SetObserver(std::function<void(const SimExchange&)> observer) {
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}

void KeyboardSimulator::RaiseChanges(DeviceChange change, int count) {
    DeviceChangeSink sink;
    {
        std::lock_guard lock(m_mutex);
        sink = m_sink;
    }
    if (!sink) return;
    for (int i = 0; i < count; ++i) sink(change);
}

void KeyboardSimulator::Notify(SimExchange::Op op, std::span<const uint8_t> bytes, bool failed) {
    if (!m_observer) return;
    SimExchange exchange;
    exchange.op = op;
    exchange.bytes.assign(bytes.begin(), bytes.end());
    exchange.failed = failed;
    m_observer(exchange);
}

void KeyboardSimulator::SendInputReport(std::vector<uint8_t> report) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_plugged) return;
        for (Reader* reader : m_readers) {
            if (reader->generation == m_generation) reader->queue.push_back(report);
        }
    }
    m_signal.notify_all();
}

void KeyboardSimulator::SendEvent(uint8_t code, uint8_t argument) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_plugged) return;
        ApplyOwnEvent(code, argument);
    }
    std::vector<uint8_t> report(kInputReportLength, 0);
    report[0] = InputEvent::kReportId;
    report[InputEvent::kCodeOffset] = code;
    report[InputEvent::kArgumentOffset] = argument;
    SendInputReport(std::move(report));
}

void KeyboardSimulator::ApplyOwnEvent(uint8_t code, uint8_t argument) {
    SimProfileState& profile = m_state.profiles[static_cast<size_t>(m_state.currentProfile)];
    switch (code) {
        case InputEvent::kProfile:
            if (argument < 1 || argument > kOnBoardProfileCount) return;
            m_state.currentProfile = argument - 1;
            break;
        case InputEvent::kLightMode:
            profile.mode = argument;
            break;
        case InputEvent::kBreathing:
            if (argument == 0) {
                profile.mode = 1;
                profile.brightness = 8;
            } else {
                profile.brightness = kBreathingBrightness;
            }
            break;
        case InputEvent::kBrightness:
            profile.brightness = argument;
            break;
        default:
            return;
    }
    SaveLocked();
}

bool KeyboardSimulator::FaultPlan::Next() {
    if (pass > 0) {
        --pass;
        return false;
    }
    if (fail == 0) return false;
    --fail;
    return true;
}

KeyboardSimulator::FaultPlan& KeyboardSimulator::Plan(SimFault fault) {
    switch (fault) {
        case SimFault::kSet:
            return m_setFaults;
        case SimFault::kGet:
            return m_getFaults;
        case SimFault::kRead:
            break;
    }
    return m_readFaults;
}

void KeyboardSimulator::PlanFaults(SimFault fault, int pass, int fail) {
    {
        std::lock_guard lock(m_mutex);
        Plan(fault) = FaultPlan{std::max(pass, 0), std::max(fail, 0)};
    }
    m_signal.notify_all();
}

void KeyboardSimulator::FailNext(SimFault fault, int n) { PlanFaults(fault, 0, n); }

void KeyboardSimulator::FailNth(SimFault fault, int k, int n) {
    if (k < 1) {
        PlanFaults(fault, 0, 0);
    } else {
        PlanFaults(fault, k - 1, n);
    }
}

SimKeyboardState KeyboardSimulator::State() const {
    std::lock_guard lock(m_mutex);
    return m_state;
}

void KeyboardSimulator::SetState(const SimKeyboardState& state) {
    std::lock_guard lock(m_mutex);
    m_state = state;
    m_state.currentProfile = std::clamp(m_state.currentProfile, 0, kOnBoardProfileCount - 1);
    SaveLocked();
}

int KeyboardSimulator::OpenReaders() const {
    std::lock_guard lock(m_mutex);
    if (!m_plugged) return 0;
    return static_cast<int>(std::count_if(m_readers.begin(), m_readers.end(), [&](const Reader* r) {
        return r->generation == m_generation && !r->interrupted;
    }));
}

bool KeyboardSimulator::HandleSet(std::span<const uint8_t> report, uint64_t generation) {
    std::lock_guard lock(m_mutex);
    bool ok = m_plugged && generation == m_generation;
    if (ok && m_setFaults.Next()) ok = false;
    ok = ok && ApplySet(report);
    Notify(SimExchange::Op::kSet, report, !ok);
    return ok;
}

bool KeyboardSimulator::HandleGone(uint64_t generation) const {
    std::lock_guard lock(m_mutex);
    return !m_plugged || generation != m_generation;
}

bool KeyboardSimulator::HandleGet(std::span<uint8_t> buffer, uint64_t generation) {
    std::lock_guard lock(m_mutex);
    bool ok = m_plugged && generation == m_generation;
    if (ok && m_getFaults.Next()) ok = false;
    ok = ok && AnswerGet(buffer);
    Notify(SimExchange::Op::kGet, buffer, !ok);
    return ok;
}

int KeyboardSimulator::HandleRead(Reader& reader, std::span<uint8_t> buffer) {
    std::unique_lock lock(m_mutex);
    m_signal.wait(lock, [&] {
        return !reader.queue.empty() || reader.interrupted || m_readFaults.FailsNow() ||
               reader.generation != m_generation || !m_plugged;
    });
    if (reader.interrupted || reader.generation != m_generation || !m_plugged) {
        Notify(SimExchange::Op::kIn, {}, true);
        return -1;
    }
    if (m_readFaults.Next()) {
        Notify(SimExchange::Op::kIn, {}, true);
        return -1;
    }
    std::vector<uint8_t> report = std::move(reader.queue.front());
    reader.queue.pop_front();
    // As hidraw does, a report longer than the buffer is cut to it.
    const size_t length = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), length, buffer.begin());
    Notify(SimExchange::Op::kIn, std::span<const uint8_t>(report.data(), length), false);
    return static_cast<int>(length);
}

void KeyboardSimulator::HandleInterrupt(Reader& reader) {
    {
        std::lock_guard lock(m_mutex);
        reader.interrupted = true;
    }
    m_signal.notify_all();
}

bool KeyboardSimulator::ApplySet(std::span<const uint8_t> r) {
    if (r.empty()) return false;
    auto profileAt = [&](size_t offset) -> SimProfileState* {
        const uint8_t slot = r[offset];
        return slot < kOnBoardProfileCount ? &m_state.profiles[slot] : nullptr;
    };
    switch (r[0]) {
        case SelectReport::kId: {
            if (r.size() != SelectReport::kLength) return false;
            const uint8_t slot = r[SelectReport::kSlotOffset];
            const uint8_t g = r[SelectReport::kGKeyOffset];
            if (slot >= kOnBoardProfileCount || g >= kGKeyCount) return false;
            m_selectedProfile = slot;
            m_selectedGKey = g;
            return true;
        }
        case ProfileReport::kId: {
            if (r.size() != ProfileReport::kLength) return false;
            // A value above 2 (the goodbye at shutdown) leaves the profile.
            const uint8_t value = r[ProfileReport::kValueOffset];
            if (value < kOnBoardProfileCount) m_state.currentProfile = value;
            break;
        }
        case KeyTableReport::kId: {
            if (r.size() != KeyTableReport::kLength) return false;
            SimProfileState* p = profileAt(KeyTableReport::kSlotOffset);
            if (p == nullptr) return false;
            std::copy_n(r.begin() + KeyTableReport::kTableOffset, kKeyTableSize, p->keys.begin());
            for (size_t g = 0; g < kGKeyCount; ++g) {
                const size_t at = KeyTableReport::kActionsOffset + g * KeyTableReport::kActionSize;
                p->actions[g] = KeyAction{r[at], r[at + 1], r[at + 2]};
            }
            break;
        }
        case LightingReport::kId: {
            if (r.size() != LightingReport::kLength) return false;
            SimProfileState* p = profileAt(LightingReport::kSlotOffset);
            if (p == nullptr) return false;
            p->mode = r[LightingReport::kModeOffset];
            p->brightness = r[LightingReport::kBrightnessOffset];
            break;
        }
        case MacroReport::kId: {
            if (r.size() != MacroReport::kLength) return false;
            SimProfileState* p = profileAt(MacroReport::kSlotOffset);
            const uint8_t g = r[MacroReport::kGKeyOffset];
            if (p == nullptr || g >= kGKeyCount) return false;
            std::copy_n(r.begin() + MacroReport::kNameOffset, SimProfileState::kMacroRecordLength,
                        p->macros[g].begin());
            break;
        }
        case ResetReport::kId: {
            if (r.size() != ResetReport::kLength) return false;
            SimProfileState* p = profileAt(ResetReport::kSlotOffset);
            if (p == nullptr) return false;
            *p = SimProfileState::Factory();
            break;
        }
        default:
            return false;
    }
    SaveLocked();
    return true;
}

bool KeyboardSimulator::AnswerGet(std::span<uint8_t> b) {
    if (b.empty()) return false;
    const SimProfileState& p = m_state.profiles[static_cast<size_t>(m_selectedProfile)];
    const uint8_t slot = static_cast<uint8_t>(m_selectedProfile);
    switch (b[0]) {
        case ProfileReport::kId:
            if (b.size() != ProfileReport::kLength) return false;
            std::fill(b.begin(), b.end(), 0);
            b[0] = ProfileReport::kId;
            b[ProfileReport::kMarkerOffset] = ProfileReport::kMarker;
            b[ProfileReport::kValueOffset] = static_cast<uint8_t>(m_state.currentProfile);
            return true;
        case KeyTableReport::kId:
            if (b.size() != KeyTableReport::kLength) return false;
            std::fill(b.begin(), b.end(), 0);
            b[0] = KeyTableReport::kId;
            b[KeyTableReport::kLengthOffset] = static_cast<uint8_t>(KeyTableReport::kLength);
            b[KeyTableReport::kSlotOffset] = slot;
            std::copy(p.keys.begin(), p.keys.end(), b.begin() + KeyTableReport::kTableOffset);
            for (size_t g = 0; g < kGKeyCount; ++g) {
                const size_t at = KeyTableReport::kActionsOffset + g * KeyTableReport::kActionSize;
                b[at] = p.actions[g].type;
                b[at + 1] = p.actions[g].param1;
                b[at + 2] = p.actions[g].param2;
            }
            return true;
        case LightingReport::kId:
            if (b.size() != LightingReport::kLength) return false;
            std::fill(b.begin(), b.end(), 0);
            b[0] = LightingReport::kId;
            b[LightingReport::kMarkerOffset] = LightingReport::kMarker;
            b[LightingReport::kSlotOffset] = slot;
            b[LightingReport::kModeOffset] = p.mode;
            b[LightingReport::kBrightnessOffset] = p.brightness;
            return true;
        case MacroReport::kId: {
            if (b.size() != MacroReport::kLength) return false;
            std::fill(b.begin(), b.end(), 0);
            b[0] = MacroReport::kId;
            b[MacroReport::kLengthOffset] = static_cast<uint8_t>(MacroReport::kLength);
            b[MacroReport::kSlotOffset] = slot;
            b[MacroReport::kGKeyOffset] = static_cast<uint8_t>(m_selectedGKey);
            const auto& macro = p.macros[static_cast<size_t>(m_selectedGKey)];
            std::copy(macro.begin(), macro.end(), b.begin() + MacroReport::kNameOffset);
            return true;
        }
        default:
            return false;
    }
}

void KeyboardSimulator::SaveLocked() {
    if (m_stateFile) SaveSimState(*m_stateFile, m_state);
}

}  // namespace lumbra
