// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceLink.h"

#include "device/DeviceLinkShared.h"

namespace lumbra {

// Only the worker exchanges reports, so the lock is held for one call on the
// handle and never through a pause: replacing the handle waits for a call at
// most.
DeviceLink::Shared::SetResult DeviceLink::Shared::SetOn(uint64_t onConnection,
                                                        std::span<const uint8_t> report,
                                                        uint32_t pauseMs) {
    bool sent = false;
    {
        std::lock_guard lock(featureMutex);
        // No keyboard, or another connection: the report cannot reach the
        // keyboard it was meant for.
        if (!feature) return SetResult::kNotDelivered;
        if (onConnection != kAnyConnection && onConnection != connection)
            return SetResult::kNotDelivered;
        sent = feature->SendFeatureReport(report);
        // Unplugged: whatever comes next would reach another connection.
        if (!sent && feature->Gone()) return SetResult::kNotDelivered;
    }
    // Never under the lock: a new handle must not wait for a pause.
    services.clock->SleepMs(pauseMs);
    return sent ? SetResult::kSent : SetResult::kFailed;
}

bool DeviceLink::Shared::Set(std::span<const uint8_t> report, uint32_t pauseMs,
                             uint64_t onConnection) {
    return SetOn(onConnection, report, pauseMs) == SetResult::kSent;
}

bool DeviceLink::Shared::Get(std::span<uint8_t> buffer, uint32_t pauseMs, uint64_t onConnection) {
    bool ok = false;
    {
        std::lock_guard lock(featureMutex);
        if (!feature) return false;
        if (onConnection != kAnyConnection && onConnection != connection) return false;
        ok = feature->GetFeatureReport(buffer);
    }
    if (pauseMs != 0) services.clock->SleepMs(pauseMs);
    return ok;
}

bool DeviceLink::Shared::SelectAndGet(int slot, int gIndex, std::span<uint8_t> buffer,
                                      uint64_t onConnection) {
    // After a failed select the keyboard would answer for whatever it had
    // selected before; such an answer must not reach the model.
    const SelectReportBytes select = EncodeSelectReport(slot, gIndex);
    if (!Set(select, kPauseAfterSelectOrGetMs, onConnection)) return false;
    bool ok = false;
    {
        std::lock_guard lock(featureMutex);
        // Gone since the select: nothing asked, nothing waited.
        if (!feature) return false;
        if (onConnection != kAnyConnection && onConnection != connection) return false;
        ok = feature->GetFeatureReport(buffer);
    }
    services.clock->SleepMs(kPauseAfterSelectOrGetMs);
    return ok;
}

bool DeviceLink::Shared::ConnectionLost(uint64_t onConnection) {
    std::lock_guard lock(featureMutex);
    if (onConnection != kAnyConnection && onConnection != connection) return true;
    return feature && feature->Gone();
}

void DeviceLink::Shared::NewConnection() {
    std::lock_guard lock(featureMutex);
    ++connection;
}

bool DeviceLink::Shared::HasHandle() {
    std::lock_guard lock(featureMutex);
    return feature != nullptr;
}

void DeviceLink::Shared::ReplaceHandle(std::unique_ptr<HidHandle> handle) {
    std::unique_ptr<HidHandle> old;
    {
        std::lock_guard lock(featureMutex);
        old = std::move(feature);
        feature = std::move(handle);
        ++handleGeneration;
    }
}

uint64_t DeviceLink::Shared::HandleGeneration() {
    std::lock_guard lock(featureMutex);
    return handleGeneration;
}

void DeviceLink::Shared::CloseHandleOf(uint64_t generation) {
    std::unique_ptr<HidHandle> old;
    {
        std::lock_guard lock(featureMutex);
        if (generation != handleGeneration) return;
        old = std::move(feature);
        ++handleGeneration;
    }
}

void FillDefaults(DeviceLinkServices& services) {
    if (!services.clock) services.clock = std::shared_ptr<Clock>(&TheRealClock(), [](Clock*) {});
    if (!services.dispatcher) services.dispatcher = &TheUiDispatcher();
    if (!services.model) services.model = &TheKeyboardModel();
    if (!services.library) services.library = &TheMacroLibrary();
}

namespace {

DeviceLinkServices WithDefaults(DeviceLinkServices services) {
    FillDefaults(services);
    return services;
}

}  // namespace

DeviceLink::DeviceLink(DeviceLinkServices services)
    : m_shared(std::make_shared<Shared>(WithDefaults(std::move(services)))),
      m_services(m_shared->services) {
    m_shared->worker = std::make_unique<DeviceWorker>(*m_services.dispatcher);
    m_shared->link = this;
}

DeviceLink::~DeviceLink() {
    StopListener();
    m_shared->worker->Stop();
    m_shared->link = nullptr;
    CloseFeatureHandle();
}

int DeviceLink::ListenerInterface() const { return m_shared->listenerInterface; }
bool DeviceLink::HasFeatureHandle() const { return m_shared->HasHandle(); }
int DeviceLink::CurrentProfile() const { return m_shared->currentProfile; }
bool DeviceLink::ListenerRun() const { return m_shared->listenerRun; }
bool DeviceLink::ListenerActive() const { return m_shared->guard; }
uint64_t DeviceLink::EventsHandled() const { return m_shared->eventsHandled; }

void DeviceLink::CloseFeatureHandle() { m_shared->ReplaceHandle(nullptr); }

void DeviceLink::InitDeviceLink() {
    m_found = false;
    m_shared->listenerInterface = 0;
    m_featureInterface = 0;
    CloseFeatureHandle();
    m_shared->listenerRun = false;
    m_needReadBack = true;
    m_shared->currentProfile = -1;
    m_libraryChanged = false;
    m_services.model->pending.Clear();
    // The guard belongs to a listener that may still run; a fresh link has
    // none, and a running one clears its own guard when it ends.
    if (!m_listener.joinable()) m_shared->guard = false;
}

void DeviceLink::ProbeInterface(int index) {
    if (!m_services.backend || index < 0) return;
    const std::vector<HidInterfaceInfo> interfaces = m_services.backend->Enumerate();
    if (static_cast<size_t>(index) >= interfaces.size()) return;
    const HidInterfaceInfo& info = interfaces[static_cast<size_t>(index)];
    const bool keyboard =
        info.vendorId == kKeyboardVendorId && info.productId == kKeyboardProductId;
    if (!m_services.backend->OpenPath(info.path)) {
        if (keyboard && m_deniedPath.empty() && m_services.backend->AccessDenied(info.path))
            m_deniedPath = info.path;
        return;
    }
    if (!keyboard) return;
    if (info.usagePage == kListenerUsagePage) {
        m_shared->listenerInterface = index;
        m_found = true;
    } else if (info.usagePage == kFeatureUsagePage) {
        m_featureInterface = index;
        m_found = true;
    }
}

void DeviceLink::FindKeyboard() {
    const bool wasFound = m_found;
    m_found = false;
    m_deniedPath.clear();
    for (int index = 0; index < kScannedInterfaces; ++index) ProbeInterface(index);
    if (m_found) {
        // Before the new handle is in place: nothing meant for an earlier
        // connection may reach it.
        if (!wasFound) m_shared->NewConnection();
        StartListener();
        CloseFeatureHandle();
        OpenFeatureInterface();
    } else if (!m_shared->worker->Busy()) {
        // A job still running keeps its handle to the end (see OnDeviceChange).
        CloseFeatureHandle();
    }
    // Without this the keyboard would look absent: the rule that grants the
    // user its nodes is missing or the keyboard was not replugged since.
    if (!m_deniedPath.empty() && !m_deniedReported && m_services.window) {
        m_deniedReported = true;
        m_services.window->ShowAccessDeniedMessage(m_deniedPath);
    }
}

void DeviceLink::OpenFeatureInterface() {
    if (!m_services.backend) return;
    const std::vector<HidInterfaceInfo> interfaces = m_services.backend->Enumerate();
    if (m_featureInterface < 0 || static_cast<size_t>(m_featureInterface) >= interfaces.size())
        return;
    const HidInterfaceInfo& info = interfaces[static_cast<size_t>(m_featureInterface)];
    std::unique_ptr<HidHandle> handle = m_services.backend->OpenPath(info.path);
    // A failed open leaves no handle: every exchange then fails before it
    // reaches the device, and nothing reads a zeroed answer as profile 0.
    if (handle && (info.vendorId != kKeyboardVendorId || info.productId != kKeyboardProductId)) {
        handle.reset();
    }
    m_shared->ReplaceHandle(std::move(handle));
}

void DeviceLink::OnDeviceChange(DeviceChange change) {
    if (change == DeviceChange::kArrival) {
        if (m_found) return;
        FindKeyboard();
        ReadBackAll();
    } else if (change == DeviceChange::kRemoveComplete) {
        if (!m_found) return;
        // A keyboard unplugged and plugged in again before this notice is
        // found by the scan as if it had stayed; the handle of the old
        // connection tells. Nothing of the old one may go to the new one.
        const bool unplugged = m_shared->ConnectionLost(Shared::kAnyConnection);
        if (unplugged) m_shared->NewConnection();
        FindKeyboard();
        if (m_found && !unplugged) return;  // another device went
        if (!unplugged) m_shared->NewConnection();
        LoseConnection();
    }
}

void DeviceLink::LoseConnection() {
    m_needReadBack = true;
    // What was queued for the keyboard has nowhere to go; its plans are
    // pending again. A running job ends at its next exchange. Then the
    // handle closes, unless the keyboard is back by then, and the window
    // says what happened, once for each time the keyboard went.
    DeviceWorker& worker = *m_shared->worker;
    worker.CancelQueued();
    if (m_found) ReadBackAll();
    if (!worker.Busy()) {
        if (!m_found) CloseFeatureHandle();
        if (m_services.window) m_services.window->ShowDisconnectedMessage(kDisconnectedMessage);
        return;
    }
    std::weak_ptr<Shared> weak = m_shared;
    const uint64_t generation = m_found ? ~uint64_t{0} : m_shared->HandleGeneration();
    worker.Post(DeviceJobKind::kWrite, 0, [weak, generation] {
        const std::shared_ptr<Shared> s = weak.lock();
        if (!s) return;
        s->CloseHandleOf(generation);
        s->PostToUi(s, [](DeviceLink&, Shared& shared) {
            if (shared.services.window)
                shared.services.window->ShowDisconnectedMessage(kDisconnectedMessage);
        });
    });
}

}  // namespace lumbra
