// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/Clock.h"
#include "device/DeviceLink.h"
#include "device/DeviceLinkWindow.h"
#include "device/DeviceWorker.h"
#include "device/HidBackend.h"
#include "device/KeyboardReadSink.h"
#include "device/ProgramLauncher.h"
#include "storage/TextFile.h"

namespace lumbra {

class KeyboardModel;
class MacroLibrary;
class UiDispatcher;

// What a session works on: what its link talks to, handed on to the link
// whole. Every pointer must outlive the session.
using KeyboardSessionServices = DeviceLinkServices;

// The files a save could not write, each with its reason; empty when every
// file was written.
using SaveFailures = std::vector<WriteFailure>;

// The keyboard and the files behind the main window: start-up loading, the
// read-back, Apply, the two resets, the profile files and the goodbye. The
// window keeps the view; it calls these on the UI thread and refreshes. The
// commands plan their reports from the model at once and leave the sending
// to the link's worker, so none of them waits for the keyboard. It is the
// link's read sink: what the keyboard answers is merged into the model and
// saved here.
class KeyboardSession final : public KeyboardReadSink {
public:
    static constexpr int kGoodbyeProfile = 7;
    static constexpr uint32_t kGoodbyePauseMs = 10;
    // How long the goodbye may wait for the report being sent and its own.
    static constexpr std::chrono::milliseconds kGoodbyeLimit{2000};

    explicit KeyboardSession(KeyboardSessionServices services);
    ~KeyboardSession();
    KeyboardSession(const KeyboardSession&) = delete;
    KeyboardSession& operator=(const KeyboardSession&) = delete;

    // The macro library, the settings and every profile file. Files first:
    // when the keyboard is present, its state wins over them.
    void LoadFiles();
    // Creates the link with its fields at their start values.
    void OpenLink();
    // Looks for the keyboard and reads it back.
    void Connect();
    void OnDeviceChange(DeviceChange change);

    // Apply: the pending writes, the profile being edited, then every file.
    // `onSent` learns on the UI thread whether every report went.
    SaveFailures Commit(int currentProfile, std::function<void(bool allSent)> onSent = nullptr);
    // The model's profile to its defaults, its file, and for an on-board
    // profile its reports; its pending writes are dropped.
    void ResetProfile(int profile);
    // Every setting and on-board profile to its defaults, on the PC and on
    // the keyboard; every pending write is dropped.
    void ResetAll();
    // Only the keyboard's current profile, as a plan of its own that replaces
    // one still waiting; the settings file takes it when it is sent.
    void SendCurrentProfile(int profile, std::function<void(bool sent)> onSent = nullptr);
    // The profile's file under a new path (Save Profile as...). The slot moves
    // to the path, and the settings say so, only once the profile is written
    // there; a failure changes nothing.
    SaveFailures SaveProfileAs(int profile, const std::string& path);
    // The profile read from a file the user chose (Load Profile from...);
    // false, with nothing changed, when the file is no profile.
    bool LoadProfileFrom(int profile, const std::string& path);
    // Marks every part of an on-board profile to be sent with the next commit.
    void MarkProfilePending(int profile);
    // The keyboard is attached and opened; attached but refused to this user.
    bool Connected() const { return m_link && m_link->Found(); }
    bool AccessDenied() const { return m_link && !m_link->Found() && m_link->AccessDenied(); }
    // The program is about to end: the listener stops, what is queued for
    // the keyboard is dropped and a running read ends after its current
    // exchange; a running plan goes on (the caller bounds how long it waits
    // for it).
    void PrepareExit();
    // The listener stops, whatever still runs on the worker is given up after
    // its current report, and the keyboard is told the program ends.
    void Goodbye();

    // --- the worker, as the window sees it
    // A job is queued or running.
    bool Busy() const;
    // The last progress handed to the UI thread.
    const DeviceProgress& Progress() const { return m_progress; }
    // Called on the UI thread with each progress handed over.
    void SetProgressListener(std::function<void(const DeviceProgress&)> listener) {
        m_onProgress = std::move(listener);
    }
    // Runs `then` once the worker has nothing left; at once when it is idle.
    void WhenIdle(std::function<void()> then);
    // Drops the queued jobs and ends the running one after its current report.
    void Abort();
    // Waits for the worker, running the UI thread's posted work (tests).
    bool RunToIdle();

    // --- the keyboard's answers (KeyboardReadSink), on the UI thread
    void OnReadBackProfiles(const ReadBackAnswers& answers) override;
    // Merges, and for an import saves the library and the profile.
    bool OnMacroAnswer(int slot, int gIndex, const MacroReportBytes* answer,
                       MacroAnswerRule rule) override;
    void OnReadBackDone(bool readMacros) override;
    void OnKeyboardChange(const KeyboardChange& change) override;
    // The one merge of a macro answer into the G key and the library's first
    // macro set; whether the keyboard must be given the macro back. A
    // read-back leaves a G key the model holds newer alone and writes back
    // only a name it made up; an import makes the G key a macro key and
    // always writes back.
    bool MergeMacroAnswer(int slot, int gIndex, const MacroReportBytes* answer,
                          MacroAnswerRule rule);

    DeviceLink* Link() { return m_link.get(); }
    bool LibraryChanged() const { return m_link && m_link->LibraryChanged(); }
    void SetLibraryChanged(bool changed) {
        if (m_link) m_link->SetLibraryChanged(changed);
    }

private:
    KeyboardModel& Model() { return *m_services.model; }
    SaveFailures WriteAllFiles();
    // The settings file as it is on disk with only the current profile changed.
    void StoreCurrentProfile(int profile);
    void OnProgress(const DeviceProgress& progress);
    void Refresh();

    KeyboardSessionServices m_services;
    std::unique_ptr<DeviceLink> m_link;
    DeviceProgress m_progress;
    std::function<void(const DeviceProgress&)> m_onProgress;
    std::vector<std::function<void()>> m_whenIdle;
};

}  // namespace lumbra
