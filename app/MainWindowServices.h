// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Autostart.h"
#include "app/KeyboardSession.h"
#include "device/Clock.h"
#include "device/HidBackend.h"
#include "device/ProgramLauncher.h"
#include "platform/DesktopFocus.h"
#include "platform/Geometry.h"
#include "platform/PopupMenu.h"
#include "storage/ProfileFile.h"

namespace lumbra {

class CDlgBase;
class HostWindow;

// The notification-area icon as the main window uses it.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    // Adds the icon with its tip and menu; activations and menu commands
    // arrive through the callbacks on the UI thread.
    virtual void Add(const std::string& tip, std::function<void(intptr_t mouseMessage)> notify,
                     std::function<void(uint32_t command)> command) = 0;
    virtual void Remove() = 0;
};

// The answers to the question asked at Exit while changes are pending.
enum class ExitAnswer { kSend, kDiscard, kCancel };

// The modal dialogs the main window runs. Each returns DialogResult::kOk or DialogResult::kCancel.
class MainWindowDialogs {
public:
    virtual ~MainWindowDialogs() = default;
    virtual int Message(HostWindow* owner, const std::string& title, const std::string& text) = 0;
    virtual int ConfirmReset(HostWindow* owner, int pictureId) = 0;
    // name and programs in and, on OK, out.
    // `coverage` is what following programs sees on this desktop.
    virtual int EditProfile(HostWindow* owner, std::string& name, ProfilePrograms& programs,
                            FollowCoverage coverage = FollowCoverage::kNothing) = 0;
    virtual std::optional<std::string> ChooseProfileToSave(HostWindow* owner,
                                                           const std::string& suggested) = 0;
    virtual std::optional<std::string> ChooseProfileToLoad(HostWindow* owner) = 0;
    // Whether to send the pending changes before exiting.
    virtual ExitAnswer AskSendBeforeExit(HostWindow* owner) = 0;
    // A context menu at a screen position: the chosen command or 0.
    virtual int TrackMenu(HostWindow* owner, Point screenPos,
                          const std::vector<MenuItem>& items) = 0;
};

// A part of the main window that a later piece of the program supplies: key
// assignment (key buttons, the G-key function menus and their dialogs) or the
// macro page (its controls, the loop-count edit, the keyboard hook, the wheel
// and its timer). A part sets the handlers of the controls it owns when it is
// made; the window tells it what no control of its own reports. While no part
// is installed these do nothing.
class MainWindowPart {
public:
    virtual ~MainWindowPart() = default;
    // The window's refresh ran (current profile shown again).
    virtual void OnRefresh() {}
    // A page was selected.
    virtual void OnPageShown(int page) { (void)page; }
    virtual void OnMouseWheel(uint32_t flags, int delta, int x, int y) {
        (void)flags, (void)delta, (void)x, (void)y;
    }
    // A left-button press in the window, before the window routes it.
    virtual void OnLButtonDown(int x, int y) { (void)x, (void)y; }
    // A key transition from the keyboard hook (virtual-key code, bit 31
    // release | time stamp).
    virtual void OnHookKey(uint32_t virtualKey, uint32_t flags) { (void)virtualKey, (void)flags; }
    // The context menu's "Macro Manager...".
    virtual void OpenMacroManager() {}
};

// What the main window is built on: the session's services (the model, the
// library and the dispatcher are the program's own and the clock the real one
// when unset; the window is the main window) and the window's own. Every
// pointer must outlive the window.
struct MainWindowServices : KeyboardSessionServices {
    // Registers for the keyboard's arrival and removal; the sink may be called
    // on any thread. Unset: no hot-plug.
    std::function<void(DeviceChangeSink sink)> watchDevices;
    // Null when the desktop has no notification area.
    TrayHost* tray = nullptr;
    // Null: the real modal dialogs.
    MainWindowDialogs* dialogs = nullptr;
    // Runs a modal dialog of the window (key setting, shortcut, quick launch,
    // macro manager) and returns its code. Unset: the dialog's own DoModal.
    std::function<int(CDlgBase& dialog)> runModal;
    // Asks for a program to launch (quick launch) and for a macro file to
    // import or export; nullopt when the user cancels. Unset: the system's
    // file dialogs.
    std::function<std::optional<std::string>(HostWindow* dialog)> chooseProgram;
    std::function<std::optional<std::string>()> chooseMacroFileToOpen;
    std::function<std::optional<std::string>()> chooseMacroFileToSave;
    // Start in the notification area (minimised without one) instead of showing the window.
    bool startHidden = false;
    // The user's autostart entry behind "Start at login". No file: the one
    // the environment names.
    AutostartEntry autostart;
    // Called after the first picture of the window has been painted.
    std::function<void()> onFirstPaint;
    // Called once the window has been destroyed and told the keyboard goodbye.
    std::function<void()> onClosed;
};

// The services with what the caller left unset filled in; the real modal
// dialogs, where none are given, are made into `own`.
MainWindowServices WithDefaults(MainWindowServices services,
                                std::unique_ptr<MainWindowDialogs>& own);

}  // namespace lumbra
