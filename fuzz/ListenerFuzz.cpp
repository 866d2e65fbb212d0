// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's events and the answers it gives while they are handled are
// outside data. Any input reports, of any length, and any feature answers
// must leave the model, the macro library and the files they are written to
// consistent: every profile and the library read back from their own text,
// every macro stays within its slots, and every report sent back fits its
// layout.
//
// The first byte picks what runs:
//  even  a real link with its listener thread against a scripted keyboard;
//        the rest of the input is consumed as the keyboard is asked: a read
//        takes a length byte and that many report bytes, a get takes a
//        control byte (bit 0 fails it, bit 1 lets the answer replace the
//        report id too) and the answer's bytes. The read-back after
//        connecting and a flush of every G-key macro afterwards are switched
//        by the second byte.
//  odd   one MacroReport merged straight into a library: slot, G index,
//        library shape, write-back, then the report.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/KeyboardSession.h"
#include "device/DeviceLink.h"
#include "model/KeyNames.h"
#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"

namespace {

using namespace lumbra;

void Check(bool condition) {
    if (!condition) std::abort();
}

// Bytes handed out in the order the keyboard is asked for them. Shared by the
// UI thread and the listener thread, which never ask at the same time.
class Script {
public:
    Script(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    std::optional<uint8_t> Byte() {
        std::lock_guard lock(m_mutex);
        if (m_at >= m_size) return std::nullopt;
        return m_data[m_at++];
    }
    // Copies up to out.size() bytes; the rest of out is left as it is.
    size_t Take(std::span<uint8_t> out) {
        std::lock_guard lock(m_mutex);
        const size_t n = std::min(out.size(), m_size - std::min(m_at, m_size));
        std::copy(m_data + m_at, m_data + m_at + n, out.begin());
        m_at += n;
        return n;
    }

private:
    std::mutex m_mutex;
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// What the listener and the UI thread wait on: reads are held back until the
// read-back is done, and the UI thread sleeps until there is work or the
// script has run out of reports.
struct Gate {
    std::mutex mutex;
    std::condition_variable signal;
    bool readsOpen = false;
    bool woken = false;
    bool readsOver = false;

    void Notify(bool Gate::*flag) {
        std::lock_guard lock(mutex);
        this->*flag = true;
        signal.notify_all();
    }
};

void CheckSentReport(std::span<const uint8_t> report) {
    Check(!report.empty());
    if (report[0] != MacroReport::kId) return;
    Check(report.size() == MacroReport::kLength);
    const size_t count = report[MacroReport::kCountOffset];
    Check(count <= MacroReport::kMaxEntries);
    for (size_t i = MacroReport::kEntriesOffset + count * MacroReport::kEntrySize;
         i < report.size(); ++i) {
        Check(report[i] == 0);
    }
}

class ScriptedHandle final : public HidHandle {
public:
    ScriptedHandle(Script& script, Gate& gate) : m_script(script), m_gate(gate) {}

    bool SendFeatureReport(std::span<const uint8_t> report) override {
        CheckSentReport(report);
        return true;
    }
    bool GetFeatureReport(std::span<uint8_t> buffer) override {
        const std::optional<uint8_t> control = m_script.Byte();
        if (!control || (*control & 1) != 0) return false;
        const bool withId = (*control & 2) != 0;
        m_script.Take(buffer.subspan(withId ? 0 : 1));
        return true;
    }
    int Read(std::span<uint8_t> buffer) override {
        {
            std::unique_lock lock(m_gate.mutex);
            m_gate.signal.wait(lock, [&] { return m_gate.readsOpen; });
        }
        const std::optional<uint8_t> length = m_script.Byte();
        if (!length) {
            m_gate.Notify(&Gate::readsOver);
            return -1;
        }
        std::vector<uint8_t> report(*length);
        const size_t n = m_script.Take(report);
        const size_t copied = std::min(n, buffer.size());
        std::copy_n(report.begin(), copied, buffer.begin());
        return static_cast<int>(copied);
    }
    bool InterruptRead() override { return true; }

private:
    Script& m_script;
    Gate& m_gate;
};

class ScriptedKeyboard final : public HidBackend {
public:
    ScriptedKeyboard(Script& script, Gate& gate, size_t inputReportLength)
        : m_script(script), m_gate(gate) {
        m_interfaces.push_back({kKeyboardVendorId, kKeyboardProductId, kListenerUsagePage,
                                inputReportLength, "listener"});
        m_interfaces.push_back(
            {kKeyboardVendorId, kKeyboardProductId, kFeatureUsagePage, 64, "feature"});
    }
    std::vector<HidInterfaceInfo> Enumerate() override { return m_interfaces; }
    std::unique_ptr<HidHandle> OpenPath(const std::string&) override {
        return std::make_unique<ScriptedHandle>(m_script, m_gate);
    }

private:
    Script& m_script;
    Gate& m_gate;
    std::vector<HidInterfaceInfo> m_interfaces;
};

class NoSleepClock final : public Clock {
public:
    void SleepMs(uint32_t) override {}
    uint64_t NowMs() override { return 0; }
};

// Quick-launch keys start nothing here.
class NoLauncher final : public ProgramLauncher {
public:
    void Open(const std::string&) override {}
};

// One application directory for the whole run, in memory when the machine
// offers it: every macro import writes two files.
struct TempAppDirectory {
    std::string path;
    TempAppDirectory() {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "lumbra-fuzz-XXXXXX").string();
        Check(mkdtemp(pattern.data()) != nullptr);
        path = pattern + "/";
    }
    ~TempAppDirectory() { std::filesystem::remove_all(path); }
};

const std::string& AppDirectory() {
    static const TempAppDirectory dir;
    return dir.path;
}

// Everything the link touched must survive its own files.
void CheckModelAndLibrary(const KeyboardModel& model, const MacroLibrary& library) {
    for (const KeyboardProfile& profile : model.profiles) {
        const std::string text = FormatProfile(profile);
        KeyboardProfile again;
        Check(ParseProfile(text, again));
        Check(FormatProfile(again) == text);
    }
    const std::string text = FormatMacroLibrary(library);
    MacroLibrary again;
    Check(ParseMacroLibrary(text, again));
    Check(FormatMacroLibrary(again) == text);
    for (uint32_t s = 0; s < library.MacroSetNum(); ++s) {
        const MacroSet* set = library.SetAt(s);
        for (uint32_t k = 0; k < set->MacroKeyNum(); ++k) {
            const MacroKey* key = set->KeyAt(k);
            Check(key->MacroActionNum <= MacroKey::kSlotCount);
            Check(!key->name.empty());
        }
    }
}

struct Rig {
    KeyboardModel model;
    MacroLibrary library;
    UiDispatcher dispatcher;
    QuietDeviceLinkWindow window;
    NoLauncher launcher;

    Rig() {
        model.settings.ResetDefaults(AppDirectory());
        for (int s = 0; s < kProfileSlotCount; ++s)
            model.profiles[static_cast<size_t>(s)].ResetDefaults(s);
        library.ResetToDefault();
    }
    std::unique_ptr<KeyboardSession> Session(std::shared_ptr<HidBackend> backend) {
        DeviceLinkServices services;
        services.backend = std::move(backend);
        services.clock = std::make_shared<NoSleepClock>();
        services.dispatcher = &dispatcher;
        services.model = &model;
        services.library = &library;
        services.window = &window;
        services.launcher = &launcher;
        services.appDirectory = AppDirectory();
        auto session = std::make_unique<KeyboardSession>(services);
        session->OpenLink();
        return session;
    }
};

constexpr uint8_t kReadBackFirst = 1;
constexpr uint8_t kFlushAfterwards = 2;

void RunListener(const uint8_t* data, size_t size) {
    if (size < 2) return;
    const size_t inputReportLength = data[0];
    const uint8_t flags = data[1];
    Script script(data + 2, size - 2);
    Gate gate;
    Rig rig;
    rig.dispatcher.SetWakeHandler([&gate] { gate.Notify(&Gate::woken); });
    auto keyboard = std::make_shared<ScriptedKeyboard>(script, gate, inputReportLength);
    std::unique_ptr<KeyboardSession> session = rig.Session(keyboard);
    DeviceLink* link = session->Link();

    link->InitDeviceLink();
    link->FindKeyboard();
    Check(link->Found() && link->HasFeatureHandle());
    if (flags & kReadBackFirst) link->ReadBackAll();
    gate.Notify(&Gate::readsOpen);

    // Play the UI thread until the listener has read the last report.
    for (;;) {
        bool over = false;
        {
            std::unique_lock lock(gate.mutex);
            gate.signal.wait(lock, [&] { return gate.woken || gate.readsOver; });
            gate.woken = false;
            over = gate.readsOver;
        }
        rig.dispatcher.RunPending();
        if (over) break;
    }
    link->StopListener();
    while (rig.dispatcher.RunPending() > 0) {
    }
    Check(!link->ListenerActive());

    if (flags & kFlushAfterwards) {
        for (auto& slot : rig.model.pending.macroPending) slot.fill(true);
        link->FlushPendingWrites();
    }
    CheckModelAndLibrary(rig.model, rig.library);
    session.reset();
}

// Sending back a macro the keyboard has just given must not change it: read
// again, the report gives the same steps and loop. Two things may differ by
// the report's own limits: a report that packs into all 96 entries may have
// lost its tail (one key entry can carry a pause that needs a pause entry of
// its own when sent), and a key code without a virtual key comes back as
// whatever that step turned into.
void CheckWriteBackKeepsMacro(const MacroKey& merged, const MacroReportBytes& sent) {
    if (sent[MacroReport::kCountOffset] == MacroReport::kMaxEntries) return;
    for (uint32_t i = 0; i < merged.ActionCount(); ++i) {
        const MacroAction& a = merged.AllAction[i];
        if (a.bytes[0] == MacroAction::kPauseMarker) continue;
        const uint8_t vk = a.VirtualKey();
        if (vk < 8 || HidToVk(VkToHid(vk)) != vk) return;
    }
    MacroKey again(merged.name);
    UnpackMacroReport(sent, again);
    Check(again.ActionCount() == merged.ActionCount());
    for (uint32_t i = 0; i < merged.ActionCount(); ++i)
        Check(again.AllAction[i] == merged.AllAction[i]);
    Check(again.LoopEnable == merged.LoopEnable);
    if (merged.LoopEnable != 0) Check(again.LoopNum == merged.LoopNum);
}

enum class LibraryShape : uint8_t { kDefault, kNoSet, kCrowded, kCount };

void RunMerge(const uint8_t* data, size_t size) {
    if (size < 4) return;
    const int slot = data[0] % (kProfileSlotCount + 2) - 1;  // -1..5: the link must cope
    const int gIndex = data[1] % (kGKeyCount + 2) - 1;
    const auto shape =
        static_cast<LibraryShape>(data[2] % static_cast<uint8_t>(LibraryShape::kCount));
    const bool writeBack = (data[3] & 1) != 0;
    MacroReportBytes answer{};
    std::copy_n(data + 4, std::min(size - 4, answer.size()), answer.begin());

    Gate gate;
    Script script(nullptr, 0);
    Rig rig;
    if (shape == LibraryShape::kNoSet) rig.library.Clear();
    if (shape == LibraryShape::kCrowded) {
        // Names the keyboard is likely to send, already taken, one of them twice.
        MacroSet* set = rig.library.SetAt(0);
        for (const char* name : {"Profile1_G1", "Profile2_G4", "A", "Profile1_G1"})
            set->AddKey(name);
    }
    std::unique_ptr<KeyboardSession> session =
        rig.Session(std::make_shared<ScriptedKeyboard>(script, gate, 64));
    DeviceLink* link = session->Link();
    link->InitDeviceLink();
    link->ProbeInterface(1);
    link->OpenFeatureInterface();
    Check(link->HasFeatureHandle());

    session->MergeMacroAnswer(slot, gIndex, &answer,
                              writeBack ? MacroAnswerRule::kImport : MacroAnswerRule::kReadBack);
    if (const std::optional<MacroReportBytes> sent = link->BuildGKeyMacroReport(slot, gIndex)) {
        CheckSentReport(*sent);
        const GKeySlot* g = rig.model.Profile(slot).GKey(gIndex);
        const MacroKey* merged = rig.library.FindMacroKeyByName(g->name);
        Check(merged != nullptr);
        CheckWriteBackKeepsMacro(*merged, *sent);
    }
    CheckModelAndLibrary(rig.model, rig.library);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 0) {
        RunListener(data + 1, size - 1);
    } else {
        RunMerge(data + 1, size - 1);
    }
    return 0;
}
