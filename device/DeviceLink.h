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
#include "device/DeviceLinkWindow.h"
#include "device/HidBackend.h"
#include "device/ProgramLauncher.h"
#include "device/Reports.h"
#include "model/KeyboardModel.h"
#include "model/MacroLibrary.h"

namespace lumbra {

class DeviceWorker;

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

// The keyboard as the main window sees it: discovery and hot-plug, the
// feature-report protocol and the input listener.
//
// Threads: everything here is for the UI thread unless its comment says
// otherwise. Every exchange with the keyboard runs on the link's worker
// thread. Writes are planned here from the model and executed there; reads
// are fetched there and handed back to the UI thread, which decodes them into
// the model, writes the files and refreshes. The listener thread does only
// its blocking reads; the macro import an event asks for is a worker job, and
// every change of the model, file write, refresh and launch reaches the UI
// thread through the dispatcher. The handle lock guards the handle's
// replacement and each single call on it.
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
    // wParam: 0x8000 arrival, 0x8004 removal complete; anything else is ignored.
    void OnDeviceChange(uint32_t wParam);
    void OnDeviceChange(DeviceChange change) { OnDeviceChange(static_cast<uint32_t>(change)); }

    // --- the feature-report protocol; results 1 success, 0 failure
    // These run one exchange on the worker and wait for it, running the
    // dispatcher meanwhile: for tests and tools, never for the window.
    int ReadCurrentProfile();  // -1 without a handle or when the get fails
    int WriteCurrentProfile(uint8_t value);
    int ReadLighting(int slot);
    int WriteLighting(int slot);
    int ReadKeyTable(int slot);
    int WriteKeyTable(int slot);
    int ReadGKeyMacro(int slot, int gIndex);
    int WriteGKeyMacro(int slot, int gIndex);
    int ResetOnBoardProfile(int slot);
    // The worker. Select, get and their pauses; a failed select fails the
    // fetch without a get.
    bool FetchMacroReport(int slot, int gIndex, MacroReportBytes& answer);
    void MergeMacroReport(int slot, int gIndex, MacroReportView answer, bool writeBack);
    // The merge without any report: names the G key, finds or adds the macro
    // in the first macro set and fills it. Tells whether the name was made up.
    bool ApplyMacroReport(int slot, int gIndex, MacroReportView answer);
    // The report WriteGKeyMacro would send; nothing when the G key names no
    // macro of the first macro set.
    std::optional<MacroReportBytes> BuildGKeyMacroReport(int slot, int gIndex) const;
    // Queues the read-back on the worker; the model, the files and the
    // window follow on the UI thread as the answers come in.
    void ReadBackAll();
    // The window or the keyboard chose a profile: a read-back under way
    // leaves it chosen.
    void NoteProfileChosen() { ++m_profileChoices; }
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
    // a tag as DeviceWorker::Post takes it.
    void Execute(WritePlan plan, uint32_t tag = 0);
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
    // Exit: the running read ends after its exchange in flight, and no read
    // queued or posted from now on exchanges anything.
    void GiveUpReads();
    // Closes the feature handle (under the handle lock).
    void CloseFeatureHandle();

    // --- fields of the link
    bool Found() const { return m_found; }
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
    // Queues the plan; `result` learns whether every report went.
    void QueuePlan(WritePlan plan, std::shared_ptr<std::atomic<bool>> result, uint32_t tag = 0);
    // The keyboard went away: the rest of what runs on the worker is given
    // up, and the window says so once the running job has ended.
    void LoseConnection();
    // Runs the plan on the worker and waits for it: whether every report went.
    bool ExecuteAndWait(WritePlan plan);
    // Fetches on the worker and waits: whether the answer came.
    bool FetchAndWait(int slot, int gIndex, std::span<uint8_t> answer);
    void RefreshWindow();

    std::shared_ptr<Shared> m_shared;
    DeviceLinkServices& m_services;  // the shared copy
    std::thread m_listener;

    bool m_found = false;
    int m_featureInterface = 0;
    bool m_needReadBack = true;
    bool m_libraryChanged = false;
    uint64_t m_profileChoices = 0;
    // The keyboard's first interface the last scan could not open for want
    // of permission, and whether the window has been told of one.
    std::string m_deniedPath;
    bool m_deniedReported = false;
};

}  // namespace lumbra
