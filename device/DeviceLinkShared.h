// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>

#include "device/DeviceLink.h"
#include "device/DeviceWorker.h"

namespace lumbra {

// The part of the link the listener thread may use. The thread keeps it alive
// by its own reference; the services' model, library, window and launcher are
// used only by closures that run on the UI thread while `link` is set.
struct DeviceLink::Shared {
    explicit Shared(DeviceLinkServices s) : services(std::move(s)) {}

    // The link's services, with the defaults filled in; the link reads them
    // here too.
    DeviceLinkServices services;

    // The one thread that exchanges reports; set by the link, stopped when
    // the link goes.
    std::unique_ptr<DeviceWorker> worker;

    // The feature handle and the lock of its replacement and of each call on it.
    std::mutex featureMutex;
    std::unique_ptr<HidHandle> feature;
    uint64_t handleGeneration = 0;  // counts the replacements
    // Counts the keyboard's connections: a new one begins when the keyboard
    // is found after it was absent, or found to have been unplugged. A
    // handle replaced while the keyboard stayed keeps the connection.
    // Changed under featureMutex.
    std::atomic<uint64_t> connection{0};

    // Parts of the plans queued and not yet started, per part: the model
    // holds them newer than the keyboard, as it holds what is pending.
    struct QueuedParts {
        std::array<std::atomic<int>, kOnBoardProfileCount> lighting{};
        std::array<std::atomic<int>, kOnBoardProfileCount> keyTable{};
        std::array<std::array<std::atomic<int>, kGKeyCount>, kOnBoardProfileCount> macro{};
        // The counter of a part; nothing for a part of no on-board profile.
        std::atomic<int>* Of(const PendingPart& part);
        void Add(const PendingPart& part, int n) {
            if (std::atomic<int>* c = Of(part)) *c += n;
        }
    };
    QueuedParts queuedParts;

    std::atomic<int> currentProfile{-1};
    std::atomic<int> listenerInterface{0};
    std::atomic<bool> listenerRun{false};
    std::atomic<bool> guard{false};  // a listener body runs
    std::atomic<bool> stopping{false};
    std::atomic<uint64_t> eventsHandled{0};  // input reports the listener has handled
    // A start came while a listener was still ending (a quick replug): the
    // ending listener hands a new start to the UI thread.
    std::atomic<bool> restartWanted{false};
    // Per G key: a quick launch is on its way to the UI thread, which starts it.
    std::array<std::atomic<bool>, kGKeyCount> launchStarting{};

    // The listener's open handle, for interrupting its read, and the signal
    // its hand-overs wait on.
    std::mutex listenerMutex;
    std::condition_variable listenerSignal;
    HidHandle* listenerHandle = nullptr;

    // UI thread only: the link, or nothing once it is gone.
    DeviceLink* link = nullptr;

    // The worker. Each runs one whole exchange with its pauses; without a
    // handle nothing is sent, nothing paused, and the result is false. With a
    // connection, nothing goes to another one.
    static constexpr uint64_t kAnyConnection = ~uint64_t{0};
    bool Set(std::span<const uint8_t> report, uint32_t pauseMs,
             uint64_t onConnection = kAnyConnection);
    bool Get(std::span<uint8_t> buffer, uint32_t pauseMs, uint64_t onConnection = kAnyConnection);
    bool SelectAndGet(int slot, int gIndex, std::span<uint8_t> buffer,
                      uint64_t onConnection = kAnyConnection);
    // How one report of a write plan went: sent, refused by the keyboard, or
    // never reaching the keyboard it was meant for (absent, unplugged, or
    // another connection by now).
    enum class SetResult : uint8_t { kSent, kFailed, kNotDelivered };
    // Set on the plan's connection.
    SetResult SetOn(uint64_t onConnection, std::span<const uint8_t> report, uint32_t pauseMs);
    // Any thread: the connection is not the current one any more, or its
    // handle belongs to a keyboard that went away.
    bool ConnectionLost(uint64_t onConnection);
    // UI thread: a new connection begins.
    void NewConnection();
    bool HasHandle();
    void ReplaceHandle(std::unique_ptr<HidHandle> handle);
    uint64_t HandleGeneration();
    // Closes the handle unless it has been replaced since `generation`.
    void CloseHandleOf(uint64_t generation);

    // Runs a closure on the UI thread while the link exists.
    template <typename F>
    void PostToUi(std::shared_ptr<Shared> self, F work) {
        services.dispatcher->Post([self = std::move(self), work = std::move(work)]() mutable {
            if (self->link != nullptr) work(*self->link, *self);
        });
    }
};

// The listener thread's procedure.
void RunInputListener(std::shared_ptr<DeviceLink::Shared> shared);

}  // namespace lumbra
