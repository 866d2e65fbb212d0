// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/KeyboardSession.h"
#include "device/DeviceLink.h"
#include "device/DeviceWorker.h"
#include "sim/KeyboardSimulator.h"
#include "sim/SimOptions.h"
#include "sim/SimTrace.h"

namespace lumbra::test {

// One ordered record of what went to the keyboard and every pause, in the
// trace's words without the time: "set 04 00 00", "sleep 8".
class ExchangeLog {
public:
    void Add(std::string line) {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(std::move(line));
    }
    std::vector<std::string> Take() {
        std::lock_guard lock(m_mutex);
        std::vector<std::string> lines;
        lines.swap(m_lines);
        return lines;
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// Records each pause and moves its time on instead of sleeping. With
// `uiThread` the thread that makes it plays the UI thread, which never waits
// for the keyboard: a pause taken there fails the test.
class RecordingClock final : public Clock {
public:
    explicit RecordingClock(ExchangeLog* log, bool uiThread = false)
        : m_log(log), m_uiThread(uiThread ? std::this_thread::get_id() : std::thread::id()) {}
    void SleepMs(uint32_t ms) override {
        if (m_uiThread != std::thread::id() && std::this_thread::get_id() == m_uiThread)
            ADD_FAILURE() << "a pause of " << ms << " ms on the UI thread";
        {
            std::lock_guard lock(m_mutex);
            m_now += ms;
        }
        if (m_log) m_log->Add("sleep " + std::to_string(ms));
    }
    uint64_t NowMs() override {
        std::lock_guard lock(m_mutex);
        return m_now;
    }

private:
    ExchangeLog* m_log;
    const std::thread::id m_uiThread;
    std::mutex m_mutex;
    uint64_t m_now = 0;
};

class FakeWindow final : public DeviceLinkWindow {
public:
    void RefreshWindow() override { ++refreshes; }
    void ShowDisconnectedMessage(std::string_view text) override { messages.emplace_back(text); }
    void ShowAccessDeniedMessage(std::string_view path) override { denied.emplace_back(path); }
    void OnKeyboardNotice(int notice) override { notices.push_back(notice); }
    int refreshes = 0;
    std::vector<std::string> messages;
    std::vector<std::string> denied;
    std::vector<int> notices;
};

class FakeLauncher final : public ProgramLauncher {
public:
    void Open(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

inline std::string WithoutTime(const std::string& line) { return line.substr(line.find(' ') + 1); }

// A temporary application directory, removed at the end.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumbra-device-XXXXXX").string();
        path = mkdtemp(pattern.data());
        path += '/';
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string path;
};

// A simulator session's options with its state file ("kb.state"), trace
// ("trace.txt") and control pipe ("control") in `dir`.
inline SimOptions SimOptionsIn(const std::string& dir) {
    SimOptions options;
    options.simulate = true;
    options.stateFile = dir + "kb.state";
    options.traceFile = dir + "trace.txt";
    options.controlFifo = dir + "control";
    return options;
}

// A simulated keyboard, a link to it on a test-owned model with the session
// that merges and saves what the keyboard answers, and a log of the exchanges
// and pauses. The test thread plays the UI thread.
struct LinkRig {
    ExchangeLog log;
    std::shared_ptr<RecordingClock> clock = std::make_shared<RecordingClock>(&log, true);
    std::shared_ptr<KeyboardSimulator> sim = std::make_shared<KeyboardSimulator>();
    UiDispatcher dispatcher;
    KeyboardModel model;
    MacroLibrary library;
    FakeWindow window;
    FakeLauncher launcher;
    TempDir dir;
    std::unique_ptr<KeyboardSession> session;
    DeviceLink* link = nullptr;  // the session's

    explicit LinkRig(std::shared_ptr<HidBackend> backend = nullptr) {
        model.settings.ResetDefaults(dir.path);
        for (int s = 0; s < kProfileSlotCount; ++s)
            model.profiles[static_cast<size_t>(s)].ResetDefaults(s);
        library.ResetToDefault();
        sim->SetObserver(
            [this](const SimExchange& e) { log.Add(WithoutTime(FormatTraceLine(0, e))); });
        DeviceLinkServices services;
        services.backend = backend ? backend : sim;
        services.clock = clock;
        services.dispatcher = &dispatcher;
        services.model = &model;
        services.library = &library;
        services.window = &window;
        services.launcher = &launcher;
        services.appDirectory = dir.path;
        session = std::make_unique<KeyboardSession>(services);
        session->OpenLink();
        link = session->Link();
    }
    ~LinkRig() {
        session.reset();
        sim->SetObserver(nullptr);
    }

    // The start-up of the main window against the keyboard.
    void Start() {
        link->InitDeviceLink();
        link->FindKeyboard();
        if (link->Found()) WaitFor([&] { return link->ListenerRun(); });
        link->ReadBackAll();
        Idle();
    }

    // Runs the worker until nothing is queued or running, playing the UI
    // thread meanwhile.
    void Idle() { EXPECT_TRUE(link->RunToIdle()); }

    // Sends the plan `add` makes and waits for it: whether every report went.
    bool Send(const std::function<void(WritePlan&)>& add) {
        WritePlan plan;
        add(plan);
        bool allSent = false;
        link->Execute(std::move(plan), 0, [&](bool all) { allSent = all; });
        Idle();
        return allSent;
    }

    // Plays the UI thread until the condition holds (or gives up after 60 s,
    // which the caller's expectation then reports).
    bool WaitFor(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            dispatcher.RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        dispatcher.RunPending();
        return true;
    }
};

// Hex text "05 03 00" as bytes.
inline std::vector<uint8_t> Bytes(const std::string& hex) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < hex.size(); i += 3) {
        out.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

}  // namespace lumbra::test
