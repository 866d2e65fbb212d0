// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/UiDispatcher.h"
#include "device/Clock.h"
#include "device/DeviceJob.h"
#include "device/DeviceLinkWindow.h"
#include "device/HidBackend.h"
#include "device/KeyboardReadSink.h"
#include "device/ProgramLauncher.h"
#include "device/Reports.h"
#include "model/KeyboardModel.h"
#include "model/MacroLibrary.h"

namespace lumbra {

class DeviceWorker;
class ReadBackJob;

// The pending flag that stands for a report of a write plan: set again when
// the report never reached the keyboard's connection, so that the next Apply
// sends it.
struct PendingPart {
    enum class Kind : uint8_t { kNone, kLighting, kKeyTable, kMacro };
    Kind kind = Kind::kNone;
    int slot = 0;
    int gIndex = 0;
};

// One report of a write plan and the pause after it; without a report, a
// pause alone. A profile report that succeeds makes its value the link's
// current profile.
struct PlannedReport {
    std::vector<uint8_t> report;
    uint32_t pauseMs = 0;
    int profileValue = -1;
    PendingPart part;
    // A profile report whose value the UI thread gives when the step runs
    // rather than when the plan is made; nothing is sent when it gives none.
    std::function<std::optional<uint8_t>()> profileAtStep = nullptr;
};
// The reports of a command, encoded from the model when it is given, in the
// order the worker sends them. A plan goes to the connection it was made for
// or nowhere: when the keyboard is unplugged (and perhaps back already), or
// the plan is dropped or given up, the parts it did not deliver are pending
// again.
using WritePlan = std::vector<PlannedReport>;

// What the device link talks to. The model, the library, the dispatcher, the
// window and the launcher must outlive the link; the backend and the clock
// are shared with the listener thread, which may outlive it while blocked in
// a read that cannot be interrupted.
struct DeviceLinkServices {
    std::shared_ptr<HidBackend> backend;
    std::shared_ptr<Clock> clock;
    UiDispatcher* dispatcher = nullptr;
    KeyboardModel* model = nullptr;
    MacroLibrary* library = nullptr;
    DeviceLinkWindow* window = nullptr;
    ProgramLauncher* launcher = nullptr;
    std::string appDirectory;  // ends with '/'
};

// The program's own model, library and dispatcher and the real clock where
// the services name none.
void FillDefaults(DeviceLinkServices& services);

// The keyboard as the main window sees it: discovery and hot-plug, the
// feature-report protocol and the input listener.
//
// Threads: everything here is for the UI thread unless its comment says
// otherwise. Every exchange with the keyboard is a job of the link's worker
// thread (see DeviceJob). Writes are planned here from the model and executed
// there; reads are fetched there and handed to the read sink on the UI
// thread, which merges them into the model, writes the files and refreshes.
// The listener thread does only its blocking reads; the macro import an event
// asks for is a worker job, and every change of the model, refresh and launch
// reaches the UI thread through the dispatcher. The handle lock guards the
// handle's replacement and each single call on it.
class DeviceLink {
public:
    static constexpr int kScannedInterfaces = 30;

    explicit DeviceLink(DeviceLinkServices services);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // --- discovery and hot-plug
    // The fields to their start values and the pending writes cleared. The
    // notifications come from whoever owns the monitor (UdevHotPlugMonitor,
    // or the simulator's change sink): it hands each one to OnDeviceChange on
    // the UI thread.
    void InitDeviceLink();
    void ProbeInterface(int index);
    void FindKeyboard();
    void OpenFeatureInterface();
    void OnDeviceChange(DeviceChange change);

    // --- reads: fetched by the worker, handed to the sink on the UI thread
    // What the answers become; none drops them. It must outlive the link.
    void SetReadSink(KeyboardReadSink* sink) { m_sink = sink; }
    KeyboardReadSink* ReadSink() const { return m_sink; }
    // The report that gives the keyboard the G key's macro; nothing when the
    // G key names no macro of the first macro set.
    std::optional<MacroReportBytes> BuildGKeyMacroReport(int slot, int gIndex) const;
    // Queues the read-back on the worker (see ReadBackJob).
    void ReadBackAll();
    // The window or the keyboard chose a profile: a read-back under way
    // leaves it chosen.
    void NoteProfileChosen();
    // The model holds the part newer than the keyboard: it is pending, or in
    // a plan queued and not yet started.
    bool HoldsNewer(const PendingPart& part) const;
    // The G keys whose macros a read-back asks for: those that hold a macro
    // the model does not hold newer, in order.
    std::vector<std::pair<int, int>> MacroGKeysToRead() const;
    // Plans the pending on-board writes (their flags cleared now) and queues
    // them on the worker.
    void FlushPendingWrites();

    // --- write plans: encoded now from the model, sent later by the worker
    // Tags of the jobs that stand for all of their kind (DeviceWorker::Post):
    // a profile switch, and the import of one G key's macro.
    static constexpr uint32_t kProfileSwitchTag = 1;
    static constexpr uint32_t MacroImportTag(int slot, int gIndex) {
        return 0x100 + static_cast<uint32_t>(slot * kGKeyCount + gIndex);
    }
    void AddCurrentProfileWrite(WritePlan& plan, uint8_t value) const;
    // UI thread, when the step runs: `choose` gives the value to send.
    static void AddCurrentProfileWriteAtStep(WritePlan& plan,
                                             std::function<std::optional<uint8_t>()> choose);
    void AddLightingWrite(WritePlan& plan, int slot) const;
    void AddKeyTableWrite(WritePlan& plan, int slot) const;
    // Nothing when the G key names no macro of the first macro set.
    void AddGKeyMacroWrite(WritePlan& plan, int slot, int gIndex) const;
    void AddResetWrite(WritePlan& plan, int slot) const;
    static void AddPause(WritePlan& plan, uint32_t pauseMs);
    // The pending on-board writes, their flags cleared.
    WritePlan PlanPendingWrites();
    // Queues the plan on the worker, for the keyboard's present connection;
    // a tag as DeviceWorker::Post takes it. `onComplete` learns on the UI
    // thread whether every report went; an empty plan makes no job.
    void Execute(WritePlan plan, uint32_t tag = 0,
                 std::function<void(bool allSent)> onComplete = nullptr);
    // Sets the pending flags of the parts again; a G key that holds no macro
    // any more has no macro to send.
    void RestorePending(const std::vector<PendingPart>& parts);
    DeviceWorker& Worker();
    // Runs the worker to idle (see DeviceWorker::RunToIdle).
    bool RunToIdle();

    // --- the input listener
    // Starts the listener thread unless one runs.
    void StartListener();
    // Shutdown: clears listenerRun and lets a listener blocked in its read go.
    // Waits for the thread when its read can be interrupted; otherwise the
    // thread is left to end with the process, touching nothing of the link.
    void StopListener();
    // Exit: the running read ends after its exchange in flight, and every
    // read queued or posted from now on is dropped.
    void GiveUpReads();
    // Closes the feature handle (under the handle lock).
    void CloseFeatureHandle();

    // --- fields of the link
    bool Found() const { return m_found; }
    // The last scan met the keyboard but could not open it for want of permission.
    bool AccessDenied() const { return !m_deniedPath.empty(); }
    bool NeedReadBack() const { return m_needReadBack; }
    int ListenerInterface() const;
    int FeatureInterface() const { return m_featureInterface; }
    bool HasFeatureHandle() const;
    int CurrentProfile() const;   // any thread
    bool ListenerRun() const;     // any thread
    bool ListenerActive() const;  // any thread: a listener body is running
    // Any thread: the input reports the listener has read and acted on (the
    // jobs they ask for are queued by then).
    uint64_t EventsHandled() const;
    bool LibraryChanged() const { return m_libraryChanged; }
    void SetLibraryChanged(bool changed) { m_libraryChanged = changed; }
    PendingWrites& Pending() { return m_services.model->pending; }

    struct Shared;  // what the listener thread shares with the link

private:
    // The keyboard went away: the rest of what runs on the worker is given
    // up, and the window says so once the running job has ended.
    void LoseConnection();

    std::shared_ptr<Shared> m_shared;
    DeviceLinkServices& m_services;  // the shared copy
    std::thread m_listener;

    bool m_found = false;
    int m_featureInterface = 0;
    bool m_needReadBack = true;
    bool m_libraryChanged = false;
    KeyboardReadSink* m_sink = nullptr;
    // The read-backs asked for; those still alive may yet take a profile.
    std::vector<std::weak_ptr<ReadBackJob>> m_readBacks;
    // The keyboard's first interface the last scan could not open for want
    // of permission, and whether the window has been told of one.
    std::string m_deniedPath;
    bool m_deniedReported = false;
};

}  // namespace lumbra
