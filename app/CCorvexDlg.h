// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/KeyboardSession.h"
#include "app/MainWindowCommands.h"
#include "app/MainWindowControls.h"
#include "app/MainWindowLayout.h"
#include "app/MainWindowServices.h"
#include "base/LifeToken.h"
#include "device/DeviceLink.h"
#include "device/DeviceLinkWindow.h"
#include "platform/Timer.h"
#include "ui/CDlgBase.h"

namespace lumbra {

class CComboButton;
struct ChoiceRecord;
class CKeyboardButton;
class CProgressStrip;
class CTabControl;
class EditBox;
class KeyAssignmentPart;
class MacroPagePart;

// The main window: four pages over one skinned background, its controls and
// menus, the tray icon, and the keyboard's progress. It shows and forwards:
// what a click or a menu item does is a command of MainWindowCommands. Start-up
// runs in OnInitDialog, the goodbye to the keyboard when the window is
// destroyed.
class CCorvexDlg : public CDlgBase, public DeviceLinkWindow, private MainWindowView {
public:
    static constexpr int kTemplateId = 102;
    static constexpr std::string_view kTrayTip = "Lumbra";
    static constexpr std::string_view kAttentionTitle = MainWindowCommands::kAttentionTitle;
    static constexpr std::string_view kAccessDeniedMessage =
        "The keyboard is attached, but you may not open it.\n"
        "Install the udev rule 60-lumbra.rules,\n"
        "then unplug the keyboard and plug it in again.";

    explicit CCorvexDlg(MainWindowServices services);
    ~CCorvexDlg() override;

    // CDlgBase
    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override;
    void OnPaint(Surface& surface, const Rect& client) override;
    bool OnCloseRequest() override { return m_commands.Exiting().OnCloseRequest(HasTray()); }
    void OnWindowDestroyed() override { Shutdown(); }
    void OnRButtonUp(uint32_t flags, int x, int y) override;
    // Shift+F10 and the Menu key open the background's menu at the focused
    // control, or at the window's centre.
    bool OnNavKey(const NavKeyPress& press) override;
    void OnMouseWheel(uint32_t flags, int delta, int x, int y) override;
    void OnLButtonDown(uint32_t flags, int x, int y) override;

    // DeviceLinkWindow
    // Work the worker hands over while the goodbye waits finds the window gone.
    void RefreshWindow() override {
        if (!IsShutDown()) Refresh();
    }
    void ShowDisconnectedMessage(std::string_view text) override;
    void ShowAccessDeniedMessage(std::string_view path) override;
    void OnKeyboardNotice(int notice) override;

    // The progress strip's captions.
    static constexpr std::string_view kWritingCaption = kWorkerWritingCaption;
    static constexpr std::string_view kReadingCaption = kWorkerReadingCaption;

    // Ends the program as the tray's "Exit" does (ExitController).
    void Exit() { m_commands.Exit(); }
    // A hot-plug notification, on the UI thread.
    void OnDeviceChange(DeviceChange change) { m_commands.OnDeviceChange(change); }

    // The worker's progress: the strip shown while it runs; OK, Apply, the
    // resets and the profile tabs disabled while it sends a plan, the key,
    // G-key and lighting buttons while it reads the keyboard back.
    void ShowProgress(const DeviceProgress& progress);
    bool IsBusy() const;
    // What the window says of its state now.
    WindowStateShown StateShown() const;
    CProgressStrip* ProgressStrip() const { return m_controls.progressStrip; }

    MainWindowCommands& Commands() { return m_commands; }
    KeyboardModel& Model() { return *m_services.model; }
    void ShowPage(int page);
    void Refresh() override;
    // The desktop's active window changed (ProgramFollowing).
    void FollowActiveWindow(const ActiveWindow& window) { m_commands.FollowActiveWindow(window); }
    // Finding the keyboard and reading it back, posted to run after the
    // window's first paint.
    void PostKeyboardStart();
    void StartKeyboard();

    // The later parts of the window; null leaves their messages unhandled.
    void SetKeyAssignmentPart(MainWindowPart* part) { m_keyPart = part; }
    void SetMacroPagePart(MainWindowPart* part) { m_macroPart = part; }
    // The window's own parts, created by OnInitDialog where none was set.
    KeyAssignmentPart* OwnKeyAssignmentPart() const { return m_ownKeyPart.get(); }
    MacroPagePart* OwnMacroPagePart() const { return m_ownMacroPart.get(); }

    // State, for owners and tests.
    DeviceLink& Link() { return *m_session->Link(); }
    KeyboardSession& Session() { return *m_session; }
    int CurrentProfileNumber() const { return m_currentProfile; }
    MainPage PageShown() const { return m_page; }
    int LightingModeShown() const { return m_lightingMode; }
    int CalloutBitmap() const { return m_calloutBitmap; }
    void SetCalloutBitmap(int id) { m_calloutBitmap = id; }
    bool HasTray() const override { return m_services.tray != nullptr; }
    bool IsShutDown() const { return m_commands.Exiting().IsShutDown(); }
    EditBox* LoopCountEdit() const { return m_loopCountEdit.get(); }
    const std::string& AppDirectory() const { return m_services.appDirectory; }

private:
    // MainWindowView
    int ShownProfile() const override { return m_currentProfile; }
    void PutAway() override;
    void BringBack() override;
    void Hide() override {
        if (Window()) Window()->Hide();
    }
    void PostClose() override {
        if (Window()) Window()->PostClose();
    }
    HostWindow* DialogOwner() override { return Window(); }
    void OpenMacroManager() override {
        if (m_macroPart) m_macroPart->OpenMacroManager();
    }
    void ShowApplyEnded(bool allSent) override;

    void Shutdown();
    // The background's menu at a client point; its command runs.
    void OpenContextMenu(Point at);
    // Repaints when the state shown has changed since it was last drawn.
    void ShowStateChange();
    // The progress strip for the worker's progress, kept up for a while after a short job.
    void ShowStripFor(const DeviceProgress& progress);
    // Each control of the layout runs OnControlClicked; the parts rewire theirs.
    void WireControls();
    void OnControlClicked(uint32_t id);
    void ChooseLighting(uint32_t buttonId, const ChoiceRecord& choice);
    void AddTrayIcon();
    void CreateLoopCountEdit();
    void CreateParts();
    MainWindowDialogs& Dialogs();

    std::unique_ptr<MainWindowDialogs> m_ownDialogs;
    MainWindowServices m_services;
    std::unique_ptr<KeyboardSession> m_session;
    LifeToken m_life;  // posted work and notifications check it
    std::unique_ptr<EditBox> m_loopCountEdit;
    MainWindowControlSet m_controls;  // the layout's controls that show the model
    std::unique_ptr<KeyAssignmentPart> m_ownKeyPart;
    std::unique_ptr<MacroPagePart> m_ownMacroPart;
    MainWindowPart* m_keyPart = nullptr;
    MainWindowPart* m_macroPart = nullptr;
    Image m_icon;
    MainPage m_page = MainPage::kKeyboard;
    int m_currentProfile = 0;
    bool m_disconnectMessageOpen = false;
    int m_lightingMode = 1;
    int m_calloutBitmap = 0;
    bool m_trayAdded = false;
    bool m_keyboardWaitsForPaint = false;  // the keyboard is asked after the first paint
    Timer m_keyboardFallback;              // or after a while without one
    bool m_sentShown = false;              // the line that confirms a write shows
    Timer m_sentTimer;                     // and goes after kSentLineMs
    bool m_pendingDrawn = false;
    uint64_t m_stripShownAtMs = 0;
    bool m_stripShowsWrite = false;
    Timer m_stripHide;
    // Last, so that it goes first: the active window's reports reach the window.
    MainWindowCommands m_commands;
};

}  // namespace lumbra
