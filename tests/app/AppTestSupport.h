// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../platform/MouseEvents.h"
#include "app/CCorvexDlg.h"
#include "app/MainWindowMessages.h"
#include "platform/Application.h"
#include "sim/KeyboardSimulator.h"
#include "sim/SimTrace.h"
#include "storage/TextFile.h"
#include "ui/CWndPopup.h"
#include "ui/ControlMessages.h"

namespace lumbra::test {

// Everything that reaches the keyboard, the pauses, the closing of handles
// and the tray, in order: "set 05 03 00", "sleep 15", "close config", "tray removed".
class EventLog {
public:
    void Add(std::string line) {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(std::move(line));
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }
    // The sets only, without their pauses and reads: what changed the keyboard.
    std::vector<std::string> Sets() {
        std::vector<std::string> out;
        for (const std::string& l : Lines())
            if (l.starts_with("set ")) out.push_back(l);
        return out;
    }
    // Lines starting with a prefix.
    int Count(const std::string& prefix) {
        int n = 0;
        for (const std::string& l : Lines())
            if (l.starts_with(prefix)) ++n;
        return n;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// Pauses are recorded, not slept. The thread that makes the clock is the UI
// thread, which must never wait for the keyboard: a pause there fails the test.
class LoggingClock final : public Clock {
public:
    explicit LoggingClock(EventLog* log) : m_log(log) {}
    void SleepMs(uint32_t ms) override {
        if (std::this_thread::get_id() == m_uiThread)
            ADD_FAILURE() << "a pause of " << ms << " ms on the UI thread";
        m_log->Add("sleep " + std::to_string(ms));
        std::unique_lock lock(m_mutex);
        m_signal.wait(lock, [&] { return !m_held || m_let > 0; });
        if (m_held) --m_let;
    }
    uint64_t NowMs() override { return 0; }
    // While held, every pause lasts until the hold is let go: the worker
    // stays in the middle of its job.
    void Hold(bool held) {
        std::lock_guard lock(m_mutex);
        m_held = held;
        m_let = 0;
        m_signal.notify_all();
    }
    // While held, lets that many more pauses end.
    void Let(int pauses) {
        std::lock_guard lock(m_mutex);
        m_let += pauses;
        m_signal.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_signal;
    bool m_held = false;
    int m_let = 0;
    EventLog* m_log;
    const std::thread::id m_uiThread = std::this_thread::get_id();
};

// The simulator behind a backend that notes when a handle is closed.
class ClosingLogBackend final : public HidBackend {
public:
    ClosingLogBackend(std::shared_ptr<KeyboardSimulator> sim, EventLog* log)
        : m_sim(std::move(sim)), m_log(log) {}
    std::vector<HidInterfaceInfo> Enumerate() override { return m_sim->Enumerate(); }
    std::unique_ptr<HidHandle> OpenPath(const std::string& path) override {
        if (denyKeyboard) return nullptr;
        auto inner = m_sim->OpenPath(path);
        if (!inner) return nullptr;
        const std::string name = path == KeyboardSimulator::kConfigPath ? "config" : "events";
        return std::make_unique<Handle>(std::move(inner), m_log, name);
    }

    bool AccessDenied(const std::string&) override { return denyKeyboard; }
    // As without the rule that lets the user open the keyboard's nodes.
    bool denyKeyboard = false;

private:
    struct Handle final : HidHandle {
        Handle(std::unique_ptr<HidHandle> inner, EventLog* log, std::string name)
            : inner(std::move(inner)), log(log), name(std::move(name)) {}
        ~Handle() override { log->Add("close " + name); }
        bool SendFeatureReport(std::span<const uint8_t> r) override {
            return inner->SendFeatureReport(r);
        }
        bool GetFeatureReport(std::span<uint8_t> b) override { return inner->GetFeatureReport(b); }
        int Read(std::span<uint8_t> b) override { return inner->Read(b); }
        bool InterruptRead() override { return inner->InterruptRead(); }
        bool Gone() override { return inner->Gone(); }
        std::unique_ptr<HidHandle> inner;
        EventLog* log;
        std::string name;
    };
    std::shared_ptr<KeyboardSimulator> m_sim;
    EventLog* m_log;
};

class FakeTray final : public TrayHost {
public:
    explicit FakeTray(EventLog* log) : m_log(log) {}
    void Add(const std::string& tip, std::function<void(intptr_t)> notify,
             std::function<void(uint32_t)> command) override {
        this->tip = tip;
        this->notify = std::move(notify);
        this->command = std::move(command);
        present = true;
        m_log->Add("tray added");
    }
    void Remove() override {
        present = false;
        m_log->Add("tray removed");
    }
    std::string tip;
    std::function<void(intptr_t)> notify;
    std::function<void(uint32_t)> command;
    bool present = false;

private:
    EventLog* m_log;
};

// Dialogs that answer as the test says and remember what they were asked.
class ScriptedDialogs final : public MainWindowDialogs {
public:
    int Message(HostWindow*, const std::string& title, const std::string& text) override {
        messages.push_back(title + "|" + text);
        // What happens while the message is open (its modal run keeps
        // handling events).
        if (whileMessageOpen) whileMessageOpen();
        return DialogResult::kOk;
    }
    int ConfirmReset(HostWindow*, int pictureId) override {
        resetPictures.push_back(pictureId);
        return resetAnswer;
    }
    int EditProfile(HostWindow*, std::string& name, ProfilePrograms& programs,
                    FollowCoverage) override {
        editedName = name;
        if (editAnswer != DialogResult::kOk) return editAnswer;
        name = newName;
        programs = newPrograms;
        return DialogResult::kOk;
    }
    std::optional<std::string> ChooseProfileToSave(HostWindow*, const std::string&) override {
        return savePath;
    }
    std::optional<std::string> ChooseProfileToLoad(HostWindow*) override { return loadPath; }
    ExitAnswer AskSendBeforeExit(HostWindow*) override {
        ++exitQuestions;
        if (whileExitQuestionOpen) whileExitQuestionOpen();
        return exitAnswer;
    }
    int TrackMenu(HostWindow*, Point, const std::vector<MenuItem>& items) override {
        menus.push_back(items);
        return menuAnswer;
    }

    std::vector<std::string> messages;
    std::function<void()> whileMessageOpen;
    std::vector<int> resetPictures;
    int resetAnswer = DialogResult::kOk;
    int editAnswer = DialogResult::kOk;
    std::string editedName;
    std::string newName;
    ProfilePrograms newPrograms;
    std::optional<std::string> savePath;
    std::optional<std::string> loadPath;
    std::vector<std::vector<MenuItem>> menus;
    int menuAnswer = 0;
    int exitQuestions = 0;
    ExitAnswer exitAnswer = ExitAnswer::kDiscard;
    std::function<void()> whileExitQuestionOpen;
};

// A temporary folder, removed at the end; ends with '/'.
struct TempFolder {
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumbra-app-XXXXXX").string();
        path = mkdtemp(pattern.data());
        path += '/';
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string path;
};

inline std::string ReadText(const std::string& path) { return ReadWholeFile(path).value_or(""); }

// The real main window on a simulated keyboard, a model of its own and
// scripted dialogs; the test thread is the UI thread.
struct MainWindowRig {
    EventLog log;
    TempFolder dir;
    std::shared_ptr<KeyboardSimulator> sim = std::make_shared<KeyboardSimulator>();
    std::shared_ptr<LoggingClock> clock = std::make_shared<LoggingClock>(&log);
    KeyboardModel model;
    MacroLibrary library;
    FakeTray tray{&log};
    ScriptedDialogs dialogs;
    DeviceChangeSink sink;
    bool closed = false;
    bool withTray = true;
    bool denyKeyboard = false;
    bool startHidden = false;
    // Modal dialogs are created without a loop of their own and handed to
    // onModal, which drives them with pointer and key events and returns the
    // code; unset, they are left as they opened (a cancel).
    std::function<int(CDlgBase&)> onModal;
    int modalRuns = 0;
    ProgramLauncher* launcher = nullptr;
    // Never the user's own autostart folder: Start() fills in the file.
    AutostartEntry autostart{"", "lumbra --hidden", ""};
    std::optional<std::string> programChoice;
    std::optional<std::string> macroFileToOpen;
    std::optional<std::string> macroFileToSave;
    std::unique_ptr<CCorvexDlg> dlg;

    MainWindowRig() {
        sim->SetObserver([this](const SimExchange& e) {
            const std::string line = FormatTraceLine(0, e);
            log.Add(line.substr(line.find(' ') + 1));
        });
        sim->SetChangeSink([this](DeviceChange c) {
            if (sink) sink(c);
        });
    }
    ~MainWindowRig() {
        dlg.reset();
        Application::ProcessEvents();
        sim->SetObserver(nullptr);
        sim->SetChangeSink(nullptr);
    }

    std::string Config(const std::string& name) const { return dir.path + "config/" + name; }

    // settle: let the first paint and the keyboard's read-back happen.
    void Start(bool settle = true) {
        MainWindowServices s;
        s.appDirectory = dir.path;
        auto backend = std::make_shared<ClosingLogBackend>(sim, &log);
        backend->denyKeyboard = denyKeyboard;
        s.backend = backend;
        s.clock = clock;
        s.model = &model;
        s.library = &library;
        s.watchDevices = [this](DeviceChangeSink change) { sink = std::move(change); };
        s.tray = withTray ? &tray : nullptr;
        s.startHidden = startHidden;
        s.autostart = autostart;
        s.autostart.file = dir.path + "autostart/lumbra.desktop";
        s.launcher = launcher;
        s.dialogs = &dialogs;
        s.onClosed = [this] { closed = true; };
        s.runModal = [this](CDlgBase& d) {
            ++modalRuns;
            d.Create();
            const int code = onModal ? onModal(d) : DialogResult::kCancel;
            Application::ProcessEvents();
            return code;
        };
        s.chooseProgram = [this](HostWindow*) { return programChoice; };
        s.chooseMacroFileToOpen = [this] { return macroFileToOpen; };
        s.chooseMacroFileToSave = [this] { return macroFileToSave; };
        dlg = std::make_unique<CCorvexDlg>(std::move(s));
        dlg->Create();
        if (settle) Settle();
    }
    // Lets the listener start and everything posted run, the worker's jobs
    // included.
    void Settle() {
        for (int i = 0; i < 20; ++i) Application::ProcessEventsFor(5);
        Idle();
    }
    // Runs the keyboard's worker until it has nothing left, and the events
    // its hand-overs caused.
    void Idle() {
        if (!dlg || !dlg->Window()) return;
        EXPECT_TRUE(dlg->Session().RunToIdle());
        Application::ProcessEvents();
    }
    HostWindow& W() { return *dlg->Window(); }
    void Click(int x, int y) {
        test::Click(W(), x, y);
        Application::ProcessEvents();
        Idle();
    }
    // The centre of a control of the layout, by id (the first one with it).
    void ClickControl(uint32_t id) {
        CControlBase* c = dlg->FindControl(id);
        ASSERT_NE(c, nullptr) << id;
        const Rect r = c->GetRect();
        Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // The same while the worker is held: the click and its events only.
    void ClickControlWithoutIdle(uint32_t id) {
        CControlBase* c = dlg->FindControl(id);
        ASSERT_NE(c, nullptr) << id;
        const Rect r = c->GetRect();
        test::Click(W(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Application::ProcessEvents();
    }
    // Clicks the item of an open popup that shows this text.
    void ClickPopupItem(CWndPopup* popup, const std::string& text) {
        ASSERT_NE(popup, nullptr);
        for (const PopupItem& item : popup->Items()) {
            if (item.text != text) continue;
            const int x = (item.rect.left + item.rect.right) / 2;
            const int y = (item.rect.top + item.rect.bottom) / 2;
            test::Click(*popup->Window(), x, y);
            Application::ProcessEvents();
            Idle();
            return;
        }
        FAIL() << "no item " << text;
    }
};

}  // namespace lumbra::test
