// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <vector>

#include "device/DeviceJobs.h"
#include "device/DeviceLink.h"
#include "device/DeviceLinkShared.h"
#include "device/DeviceWorker.h"
#include "device/Reports.h"

namespace lumbra {

namespace {

constexpr int kBreathingBrightness = 24;

using SharedPtr = std::shared_ptr<DeviceLink::Shared>;

void PostChange(const SharedPtr& shared, const KeyboardChange& change) {
    shared->PostToUi(shared, [change](DeviceLink& link, DeviceLink::Shared&) {
        // Newer than whatever a read-back still on its way will say.
        if (change.kind == KeyboardChange::Kind::kProfile) link.NoteProfileChosen();
        if (KeyboardReadSink* sink = link.ReadSink()) sink->OnKeyboardChange(change);
    });
}

void PostNotice(const SharedPtr& shared, int notice) {
    shared->PostToUi(shared, [notice](DeviceLink&, DeviceLink::Shared& s) {
        if (s.services.window) s.services.window->OnKeyboardNotice(notice);
    });
}

// The keyboard recorded a macro on one of its G keys: a job of the worker
// (see MacroImportJob). The listener goes back to its read at once.
void ImportGKeyMacro(const SharedPtr& shared, int gIndex) {
    const int slot = shared->currentProfile;
    // Until the keyboard has told its profile there is no profile to select;
    // the macro stays on the keyboard for the next read-back.
    if (slot < 0) return;
    shared->worker->Post(std::make_shared<MacroImportJob>(shared.get(), slot, gIndex));
}

void HandleEvent(const SharedPtr& shared, uint8_t code, uint8_t argument) {
    const int slot = shared->currentProfile;
    switch (code) {
        case InputEvent::kMacroChanged:
            if (argument >= 1 && argument <= kGKeyCount) ImportGKeyMacro(shared, argument - 1);
            break;
        case InputEvent::kLightMode:
            PostChange(shared,
                       {KeyboardChange::Kind::kLighting, slot, SwapLightMode(argument), {}});
            break;
        case InputEvent::kNoticeA:
            PostNotice(shared, argument == 0 ? 4 : 5);
            break;
        case InputEvent::kQuickLaunch: {
            if (argument < 1 || argument > kGKeyCount) break;
            // A press while the program of the last one is still being
            // started asks for what is already on its way.
            std::atomic<bool>& starting = shared->launchStarting[argument - 1];
            if (starting.exchange(true)) break;
            shared->PostToUi(shared, [slot, argument](DeviceLink&, DeviceLink::Shared& s) {
                const GKeySlot* g = s.services.model->Profile(slot).GKey(argument - 1);
                if (g != nullptr && s.services.launcher != nullptr)
                    s.services.launcher->Open(g->launchPath);
                s.launchStarting[argument - 1] = false;
            });
            break;
        }
        case InputEvent::kProfile: {
            if (argument < 1 || argument > kGKeyCount) break;
            const int profile = argument - 1;
            shared->currentProfile = profile;
            PostChange(shared, {KeyboardChange::Kind::kProfile, profile, {}, {}});
            if (argument <= kOnBoardProfileCount) PostNotice(shared, argument);
            break;
        }
        case InputEvent::kBreathing:
            if (argument == 0)
                PostChange(shared, {KeyboardChange::Kind::kLighting, slot, 1, 8});
            else
                PostChange(shared,
                           {KeyboardChange::Kind::kLighting, slot, {}, kBreathingBrightness});
            break;
        case InputEvent::kBrightness:
            PostChange(shared, {KeyboardChange::Kind::kLighting, slot, {}, argument});
            break;
        case InputEvent::kNoticeB:
            PostNotice(shared, argument == 0 ? 6 : 7);
            break;
        default:
            break;
    }
}

// The nearest thing to time-critical that an unprivileged process may have is
// nothing at all; with the right to raise it, the thread gets a better nice value.
void RaiseThreadPriority() {
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, tid, -10);
}

void ListenerBody(const SharedPtr& shared) {
    if (!shared->services.backend) return;
    const std::vector<HidInterfaceInfo> interfaces = shared->services.backend->Enumerate();
    const int index = shared->listenerInterface;
    if (index < 0 || static_cast<size_t>(index) >= interfaces.size()) return;
    const HidInterfaceInfo& info = interfaces[static_cast<size_t>(index)];
    std::unique_ptr<HidHandle> handle = shared->services.backend->OpenPath(info.path);
    if (!handle) return;
    if (info.vendorId != kKeyboardVendorId || info.productId != kKeyboardProductId) return;

    std::vector<uint8_t> buffer(std::max(info.inputReportLength, InputEvent::kMinimumLength), 0xFF);
    buffer[0] = 0;
    {
        std::lock_guard lock(shared->listenerMutex);
        if (shared->stopping) return;
        shared->listenerHandle = handle.get();
    }
    shared->listenerRun = true;
    for (;;) {
        const int length = handle->Read(buffer);
        if (length < 0 || shared->stopping) break;
        // A report too short to hold an event says nothing; the bytes left in
        // the buffer by an earlier report must not be taken for one.
        if (static_cast<size_t>(length) >= InputEvent::kMinimumLength) {
            HandleEvent(shared, buffer[InputEvent::kCodeOffset],
                        buffer[InputEvent::kArgumentOffset]);
        }
        ++shared->eventsHandled;
        if (!shared->listenerRun) break;
    }
    std::lock_guard lock(shared->listenerMutex);
    shared->listenerHandle = nullptr;
}

}  // namespace

void RunInputListener(std::shared_ptr<DeviceLink::Shared> shared) {
    RaiseThreadPriority();
    ListenerBody(shared);
    bool restart = false;
    {
        std::lock_guard lock(shared->listenerMutex);
        shared->guard = false;
        restart = shared->restartWanted.exchange(false) && !shared->stopping;
    }
    if (restart) {
        shared->PostToUi(shared,
                         [](DeviceLink& link, DeviceLink::Shared&) { link.StartListener(); });
    }
}

void DeviceLink::StartListener() {
    {
        std::lock_guard lock(m_shared->listenerMutex);
        if (m_shared->guard) {
            m_shared->restartWanted = true;
            return;
        }
        m_shared->guard = true;
        m_shared->restartWanted = false;
        m_shared->stopping = false;
    }
    // The guard was clear, so an earlier thread has finished its body.
    if (m_listener.joinable()) m_listener.join();
    m_listener = std::thread(RunInputListener, m_shared);
}

void DeviceLink::StopListener() {
    m_shared->listenerRun = false;
    bool interrupted = true;
    {
        std::lock_guard lock(m_shared->listenerMutex);
        m_shared->stopping = true;
        m_shared->listenerSignal.notify_all();
        if (m_shared->listenerHandle != nullptr) {
            interrupted = m_shared->listenerHandle->InterruptRead();
        }
    }
    if (!m_listener.joinable()) return;
    if (interrupted) {
        m_listener.join();
    } else {
        m_listener.detach();
    }
}

}  // namespace lumbra
