// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ExitController.h"
#include "app/KeyboardSession.h"
#include "app/MainWindowServices.h"
#include "app/ProgramFollowing.h"
#include "device/DeviceWorker.h"
#include "platform/PopupMenu.h"

namespace lumbra {

class HostWindow;

// What the commands need of the window that shows them. A test or another
// front end (the session bus) may stand in for it without pixels.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    // Shows the model again: captions, key buttons, a repaint.
    virtual void Refresh() = 0;
    // The profile the window shows, as of its last refresh.
    virtual int ShownProfile() const = 0;
    // Into the tray, or minimised where there is none.
    virtual void PutAway() = 0;
    virtual void BringBack() = 0;
    virtual void Hide() = 0;
    // Closes the window once the handler that asks has returned.
    virtual void PostClose() = 0;
    virtual bool HasTray() const = 0;
    // The owner of the modal dialogs the commands open; may be null.
    virtual HostWindow* DialogOwner() = 0;
    virtual void OpenMacroManager() = 0;
    // A plan of Apply or OK has ended; `allSent`: every report reached the keyboard.
    virtual void ShowApplyEnded(bool allSent) { (void)allSent; }
};

// Every user command of the main window, called alike by its controls, its
// context menu, the tray and the session bus. The commands change the model
// and hand the keyboard's work to the session; the view only shows.
//
// While the keyboard is read back, the commands that plan from the model wait
// and run on what was read (they are planned when they start); Exit runs them
// without sending.
class MainWindowCommands {
public:
    static constexpr std::string_view kAttentionTitle = "Attention!";
    static constexpr std::string_view kSendBeforeExitQuestion =
        "Send the changes to the keyboard before exiting?";

    MainWindowCommands(MainWindowView& view, MainWindowServices& services);
    void SetSession(KeyboardSession* session) { m_session = session; }

    // What became of an Apply: the files it could not save, and whether every
    // report reached the keyboard.
    struct Applied {
        SaveFailures failures;
        bool sent = false;
    };
    using AppliedFn = std::function<void(const Applied&)>;

    // --- the commands
    void Ok() { Commit(true); }
    void Apply() { Commit(false); }
    // Apply for a caller that says a failure itself: no message is shown, and
    // `done` learns of the sending once it has ended.
    void Apply(AppliedFn done) { Commit(false, std::move(done)); }
    void Cancel() { m_view.PutAway(); }
    // The window's close button: into the tray where there is one.
    void Close();
    void SelectProfile(int profile);
    // A profile chosen from the context menu: also the one to return to
    // after a program's.
    void ChooseBaseProfile(int profile);
    // A profile chosen from outside the window (a followed program, a script):
    // an on-board one is sent to the keyboard at once, as a plan of its own, and
    // edits not yet applied stay pending. `sent` learns whether it went (not
    // called for profiles 4 and 5, which live on the PC only).
    void SwitchProfile(int profile, std::function<void(bool sent)> sent = nullptr);
    void ResetProfile();
    void ResetAll();
    void SetLightMode(int mode);
    void SetLightBrightness(int level);
    void EditProfile();
    void SaveProfile();
    void LoadProfile();
    // The current profile to or from a file the caller chose; the window's
    // commands above ask for it first. A file that is no profile is refused
    // and left as it is.
    SaveFailures SaveProfileFile(const std::string& path);
    bool LoadProfileFile(const std::string& path);
    void ToggleStartAtLogin();
    void ToggleFollowPrograms() { m_following.Toggle(); }
    bool FollowingPrograms() const;
    void ShowWindow() { m_view.BringBack(); }
    void OpenMacroManager() { m_view.OpenMacroManager(); }
    // Ends the program without a question (signals, scripts, the session's end).
    void Exit() { m_exit.Exit(); }
    // The user's Exit (the tray's menu, the close button without a tray):
    // with changes pending it asks whether to send them first.
    void ExitAsked() { m_exit.ExitAsked(); }
    // Edits made in the window that neither reached the keyboard nor were saved.
    bool ChangesPending() const;

    // --- the menus, whose items carry command ids
    std::vector<MenuItem> ContextMenuItems() const;
    static std::vector<MenuItem> TrayMenuItems();
    // Runs the command of a menu item; false for an id of no command.
    bool RunMenuCommand(uint32_t id);
    // Runs the command of a clicked button of the layout; false for an id of
    // no command.
    bool RunClick(uint32_t id);
    // The tray icon's notification (icon id, mouse message); a right click
    // opens its menu at the cursor.
    intptr_t OnTrayNotify(uintptr_t iconId, intptr_t mouseMessage, Point cursor);

    // --- what the window hears of the keyboard and the desktop
    // The keyboard's own profile key chose profile 1..3.
    void KeyboardChoseProfile(int profile) { m_following.SetBase(profile); }
    void ConnectKeyboard();
    // The keyboard has been asked for once the window is up: commands from
    // outside the window wait until then.
    bool KeyboardStarted() const { return m_keyboardStarted; }
    KeyboardSession* Session() { return m_session; }
    // Called (on the UI thread) whenever what the window shows or the keyboard
    // holds may have changed: a refresh, the worker's progress, a device, a menu.
    void SetStateListener(std::function<void()> listener) { m_onState = std::move(listener); }
    void NoteStateChanged() {
        if (m_onState) m_onState();
    }
    void OnDeviceChange(DeviceChange change);
    // The worker's progress; the deferred commands run once a read-back ends.
    void OnProgress(const DeviceProgress& progress);
    bool ReadingBack() const { return m_readingBack; }
    // Whether a control of the layout waits (is disabled) while the worker
    // writes or reads back; nothing for a control that never waits.
    static std::optional<bool> ControlWaits(uint32_t id, bool writing, bool reading);
    void FollowActiveWindow(const ActiveWindow& window) { m_following.Follow(window); }
    // A window a desktop's own part (over the session bus) reports active.
    void FollowReportedWindow(const ActiveWindow& window) { m_following.FollowReported(window); }
    void StartFollowing() { m_following.StartWatching(); }

    ExitController& Exiting() { return m_exit; }
    const ExitController& Exiting() const { return m_exit; }
    // The window is gone: nothing more is followed or waited for.
    bool ShutDown();

private:
    void Commit(bool hideAfter, AppliedFn done = nullptr);
    // Runs the command now, or once a read-back under way has ended.
    void AfterReadBack(std::function<void()> command);
    // Runs the commands that waited for the read-back, as it ends or at Exit.
    void RunCommandsAfterReadBack();
    void ShowMessage(const std::string& text);
    // The question asked at the user's Exit; false stays.
    bool ConfirmExit();
    KeyboardModel& Model() { return *m_services.model; }
    MainWindowDialogs& Dialogs() { return *m_services.dialogs; }

    MainWindowView& m_view;
    MainWindowServices& m_services;
    KeyboardSession* m_session = nullptr;
    bool m_readingBack = false;  // the worker reads the keyboard back
    bool m_keyboardStarted = false;
    std::function<void()> m_onState;
    std::vector<std::function<void()>> m_afterReadBack;  // commands given meanwhile
    ExitController m_exit;
    ProgramFollowing m_following;
};

}  // namespace lumbra
