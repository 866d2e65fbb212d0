// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CCorvexDlg.h"

#include <algorithm>
#include <cstdio>

#include "app/KeyAssignmentPart.h"
#include "app/KeyboardSession.h"
#include "app/MacroPagePart.h"
#include "app/MainWindowLayout.h"
#include "app/MainWindowMessages.h"
#include "app/MainWindowSelections.h"
#include "app/ModalDialogs.h"
#include "keys/ButtonIds.h"
#include "keys/KeyMessages.h"
#include "macro/MacroPageIds.h"
#include "model/MacroLibrary.h"
#include "model/NameTables.h"
#include "platform/EditBox.h"
#include "platform/Resources.h"
#include "storage/ProfileFile.h"
#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CEditShowList.h"
#include "ui/CImageButton.h"
#include "ui/CImageShowList.h"
#include "ui/CKeyboardButton.h"
#include "ui/CLightBrightnessPopup.h"
#include "ui/CLightColorPopup.h"
#include "ui/CProgressStrip.h"
#include "ui/CTabControl.h"
#include "ui/CVScrollBar.h"
#include "ui/ChoiceRecord.h"
#include "ui/ControlMessages.h"
#include "ui/ImageRoutines.h"
#include "ui/Selections.h"

namespace lumbra {

namespace {

constexpr int kPageCount = 4;
constexpr int kKeyboardFallbackMs = 1000;
constexpr int kIconSize = 32;

// The function menu's requests, its sub-lists' choices and closings, and the
// shortcut and quick-launch dialogs' messages lie in one run.
constexpr IdRange kFunctionMenuMessages{kMsgComboPopupClosed, kMsgMacroLibraryPopupClosed};
static_assert(kFunctionMenuMessages.Contains(KeyMsg::kRunShortcutDialog) &&
              kFunctionMenuMessages.Contains(KeyMsg::kQuickLaunchChosen));
// The nested macro-set lists: open, close, lose activation.
constexpr IdRange kMacroSetPopupMessages{kMsgOpenMacroSetPopup, kMsgMacroSetPopupClosed};

// The messages that belong to key assignment and to the macro page.
bool IsKeyAssignmentMessage(uint32_t msg) {
    return MainId::kKeys.Contains(msg) || msg == KeyMsg::kGKeyButton || msg == kMsgComboPopup ||
           kFunctionMenuMessages.Contains(msg) || msg == kMsgMacroLibraryPopup ||
           msg == KeyMsg::kStoreKeyCode;
}

bool IsMacroPageMessage(uint32_t msg) {
    return MacroPageId::kAll.Contains(msg) || msg == kMsgHookKey || msg == kMsgKind6PopupClosed ||
           kMacroSetPopupMessages.Contains(msg) || msg == kMsgMacroSetPopup ||
           msg == kMsgOpenMacroManager || msg == MainCommand::kMacroManager;
}

}  // namespace

CCorvexDlg::CCorvexDlg(MainWindowServices services)
    : CDlgBase(kTemplateId, nullptr),
      m_services(std::move(services)),
      m_alive(std::make_shared<CCorvexDlg*>(this)) {
    RegisterMainWindowSelections();
    if (!m_services.model) m_services.model = &TheKeyboardModel();
    if (!m_services.library) m_services.library = &TheMacroLibrary();
    if (!m_services.dispatcher) m_services.dispatcher = &TheUiDispatcher();
    if (!m_services.clock)
        m_services.clock = std::shared_ptr<Clock>(&TheRealClock(), [](Clock*) {});
    if (m_services.autostart.file.empty())
        m_services.autostart = ResolveAutostartEntry(AutostartInputsFromEnvironment());
    if (!m_services.dialogs) {
        m_ownDialogs = std::make_unique<ModalDialogs>();
        m_services.dialogs = m_ownDialogs.get();
    }
    m_icon = LoadResourceImage(ResourceKind::kIcon, kIconId);
}

CCorvexDlg::~CCorvexDlg() {
    // The goodbye must run while this is still a CCorvexDlg.
    if (Window() && Window()->IsAlive()) Window()->Destroy();
    Shutdown();
    m_loopCountEdit.reset();
}

MainWindowDialogs& CCorvexDlg::Dialogs() { return *m_services.dialogs; }

bool CCorvexDlg::OnInitDialog() {
    KeyboardSessionServices session;
    session.appDirectory = m_services.appDirectory;
    session.backend = m_services.backend;
    session.clock = m_services.clock;
    session.dispatcher = m_services.dispatcher;
    session.model = m_services.model;
    session.library = m_services.library;
    session.launcher = m_services.launcher;
    session.window = this;
    m_session = std::make_unique<KeyboardSession>(std::move(session));
    m_session->SetProgressListener([this](const DeviceProgress& p) { ShowProgress(p); });
    m_session->LoadFiles();

    CDlgBase::OnInitDialog();
    // Started with the session: away at once, before anything is painted.
    if (m_services.startHidden) PutAway();
    SetWindowRegionFromBitmap(kBackgroundBitmap);
    Window()->SetIcon(m_icon);
    AddTrayIcon();
    if (m_macroPart) m_macroPart->OnPageShown(PageSelection());
    // The whole window is drawn once before the keyboard is asked anything,
    // so the user sees it while the read-back runs.
    SetBackgroundBitmap(kBackgroundBitmap);
    Refresh();
    Window()->RepaintNow();

    m_session->OpenLink();
    if (m_services.watchDevices) {
        std::weak_ptr<CCorvexDlg*> alive = m_alive;
        UiDispatcher* dispatcher = m_services.dispatcher;
        m_services.watchDevices([alive, dispatcher](DeviceChange change) {
            dispatcher->Post([alive, change] {
                if (auto self = alive.lock(); self && *self) (*self)->OnDeviceChange(change);
            });
        });
    }
    // The keyboard is asked once the first picture is on the screen; a
    // hidden window asks at once.
    m_keyboardWaitsForPaint = !m_services.startHidden;
    if (m_services.startHidden) {
        PostKeyboardStart();
    } else {
        // A window that is never painted (iconified by the window manager)
        // still gets its keyboard.
        m_keyboardFallback.Start(kKeyboardFallbackMs, [this] {
            if (!m_keyboardWaitsForPaint) return;
            m_keyboardWaitsForPaint = false;
            PostKeyboardStart();
        });
    }
    return true;
}

void CCorvexDlg::PostKeyboardStart() {
    std::weak_ptr<CCorvexDlg*> alive = m_alive;
    m_services.dispatcher->Post([alive] {
        if (auto self = alive.lock(); self && *self) (*self)->StartKeyboard();
    });
}

void CCorvexDlg::StartKeyboard() {
    if (m_shutDown) return;
    // The pages' parts come with the edit box, which sets up the fonts; the
    // first frame has no text, so they wait for it like the keyboard.
    CreateParts();
    if (!m_session || !m_session->Link()) return;
    m_session->Connect();
    // Until the worker's first word the read-back it was given is under way.
    m_readingBack = m_session->Busy();
    SetBackgroundBitmap(kBackgroundBitmap);
    m_activeWindow = std::make_unique<ActiveWindowWatcher>(
        [this](const ActiveWindow& window) { FollowActiveWindow(window); });
}

void CCorvexDlg::CreateParts() {
    if (!m_loopCountEdit) CreateLoopCountEdit();
    if (!m_keyPart) {
        m_ownKeyPart = std::make_unique<KeyAssignmentPart>(
            *this, Model(), m_services.library, m_services.runModal, m_services.chooseProgram);
        m_keyPart = m_ownKeyPart.get();
    }
    if (!m_macroPart) {
        MacroPagePart::Services s;
        s.window = this;
        s.loopEdit = m_loopCountEdit.get();
        s.library = m_services.library;
        s.model = m_services.model;
        s.appDirectory = m_services.appDirectory;
        s.showMessage = [this](std::string_view text, std::string_view title) {
            Dialogs().Message(Window(), std::string(title), std::string(text));
        };
        s.libraryChanged = [this] { return m_session && m_session->LibraryChanged(); };
        s.setLibraryChanged = [this](bool changed) {
            if (m_session) m_session->SetLibraryChanged(changed);
        };
        s.chooseFileToOpen = m_services.chooseMacroFileToOpen;
        s.chooseFileToSave = m_services.chooseMacroFileToSave;
        s.runModal = m_services.runModal;
        m_ownMacroPart = std::make_unique<MacroPagePart>(std::move(s));
        m_macroPart = m_ownMacroPart.get();
    }
    m_keyPart->OnPageShown(PageSelection());
    m_macroPart->OnPageShown(PageSelection());
}

void CCorvexDlg::AddTrayIcon() {
    if (!m_services.tray) return;
    std::weak_ptr<CCorvexDlg*> alive = m_alive;
    m_services.tray->Add(
        std::string(kTrayTip),
        [alive](intptr_t mouse) {
            if (auto self = alive.lock(); self && *self && (*self)->Window())
                (*self)->Window()->Send(kMsgTrayNotify, kTrayIconId, mouse);
        },
        [alive](uint32_t command) {
            if (auto self = alive.lock(); self && *self && (*self)->Window())
                (*self)->Window()->Send(command, 0, 0);
        });
    m_trayAdded = true;
}

void CCorvexDlg::BuildControls(int left, int top, int, int) {
    HostWindow* w = Window();
    int gKeyTab = 0;
    for (const ControlLayout& c : MainWindowControls()) {
        const Rect r = Rect::FromSize(left + c.rect.x, top + c.rect.y, c.rect.width, c.rect.height);
        const auto id = static_cast<uint32_t>(c.id);
        switch (c.kind) {
            case ControlKind::kImageButton: {
                auto b = std::make_unique<CImageButton>(w, id, r, "", true, false);
                b->LoadImageStrip(c.png);
                AddControl(c.list, std::move(b));
                break;
            }
            case ControlKind::kTabControl: {
                auto t = std::make_unique<CTabControl>(w, id, r, "", true, false);
                t->LoadImageStrip(c.png);
                CTabControl* tab = AddControl(c.list, std::move(t));
                if (c.list == 1 && id == MainId::kPage2Tab && gKeyTab < 5)
                    m_gKeyTabs[static_cast<size_t>(gKeyTab++)] = tab;
                break;
            }
            case ControlKind::kKeyboardButton: {
                auto k = std::make_unique<CKeyboardButton>(w, id, r, "", true, false);
                k->LoadImageStrip(c.png);
                k->SetKeyInfo(std::string(c.keyName), c.keyCode, c.keyCode);
                m_keyButtons.push_back(AddControl(c.list, std::move(k)));
                break;
            }
            case ControlKind::kCheckButton: {
                auto k = std::make_unique<CCheckButton>(w, id, r, "", true, false);
                k->LoadImageStrip(c.png);
                AddControl(c.list, std::move(k));
                break;
            }
            case ControlKind::kComboButton: {
                auto k = std::make_unique<CComboButton>(w, id, r, "", true, false);
                k->LoadImageStrip(c.png);
                k->SetReleaseMessage(static_cast<uint32_t>(c.releaseMessage));
                k->SetDisplayText("Disable");
                k->SetDisplayText(std::string(c.displayText));
                CComboButton* combo = AddControl(c.list, std::move(k));
                if (id >= kFirstGKeyButtonId && id <= kLastGKeyButtonId)
                    m_gKeyButtons[id - kFirstGKeyButtonId] = combo;
                if (id == MainId::kLightColor) m_colorButton = combo;
                if (id == MainId::kLightBrightness) m_brightnessButton = combo;
                break;
            }
            case ControlKind::kImageShowList:
                AddControl(c.list, std::make_unique<CImageShowList>(w, id, r, "", true, false));
                break;
            case ControlKind::kEditShowList:
                AddControl(c.list, std::make_unique<CEditShowList>(w, id, r, "", true, false,
                                                                   m_services.library));
                break;
            case ControlKind::kVScrollBar:
                AddControl(c.list, std::make_unique<CVScrollBar>(w, id, r, "", true, false));
                break;
        }
    }
    auto strip = std::make_unique<CProgressStrip>(
        w, kProgressStripId,
        Rect::FromSize(left + kProgressStripRect.x, top + kProgressStripRect.y,
                       kProgressStripRect.width, kProgressStripRect.height),
        "", false, true);
    strip->LoadImageStrip(kProgressStripPicture);
    m_progressStrip = AddControl(0, std::move(strip));
    SetListVisible(1, true);
    for (int list = 2; list <= 4; ++list) SetListVisible(list, false);
}

void CCorvexDlg::CreateLoopCountEdit() {
    const Rect client = Window()->ClientRect();
    const LayoutRect e = kLoopCountEditRect;
    m_loopCountEdit = std::make_unique<EditBox>(
        *Window(), MacroPageId::kLoopCount,
        Rect::FromSize(client.left + e.x, client.top + e.y, e.width, e.height),
        PageSelection() == 1);
    m_loopCountEdit->SetNumbersOnly(true);
    m_loopCountEdit->OnTextChanged([this] {
        // The macro page owns the loop count; without it the edit does nothing.
        RouteToPart(MacroPageId::kLoopCount, 0, 0);
    });
}

void CCorvexDlg::DrawBackground(Surface& surface, const Rect& client) {
    DrawBackgroundBitmap(surface, client);
    const int page = PageSelection();
    if (page > 0 && page < kPageCount) {
        Image panel;
        if (LoadBitmapResource(kPagePanelBitmaps[page], panel))
            surface.Copy(panel, {0, 0, kPagePanelRect.width, kPagePanelRect.height},
                         kPagePanelRect.x, kPagePanelRect.y);
    }
    if (m_calloutBitmap != 0) {
        Image callout;
        if (LoadBitmapResource(m_calloutBitmap, callout)) {
            const int x = m_calloutBitmap > kCalloutRightThreshold ? kCalloutRightX : kCalloutLeftX;
            surface.Copy(callout, {0, 0, kCalloutWidth, kCalloutHeight}, x, kCalloutY);
        }
    }
    DrawControls(surface, client);
}

void CCorvexDlg::OnPaint(Surface& surface, const Rect& client) {
    if (Window() && Window()->IsMinimized()) {
        // Minimised: the icon, centred.
        surface.FillSolidRect(client, BackgroundColor());
        if (!m_icon.IsNull())
            surface.DrawImage(m_icon,
                              RectF{static_cast<float>((client.Width() - kIconSize + 1) / 2),
                                    static_cast<float>((client.Height() - kIconSize + 1) / 2),
                                    static_cast<float>(kIconSize), static_cast<float>(kIconSize)},
                              RectF{0, 0, static_cast<float>(m_icon.Width()),
                                    static_cast<float>(m_icon.Height())});
        return;
    }
    CDlgBase::OnPaint(surface, client);
    if (m_keyboardWaitsForPaint) {
        m_keyboardWaitsForPaint = false;
        PostKeyboardStart();
    }
    if (m_services.onFirstPaint) {
        auto firstPaint = std::move(m_services.onFirstPaint);
        m_services.onFirstPaint = nullptr;
        firstPaint();
    }
}

// ---- messages -------------------------------------------------------------

intptr_t CCorvexDlg::OnMessage(uint32_t msg, uintptr_t first, intptr_t second) {
    const bool clicked = second == ControlEvent::kClicked;
    switch (msg) {
        case MainId::kClose:
            if (clicked) {
                if (HasTray())
                    Window()->Hide();
                else
                    Exit();
            }
            return 0;
        case MainId::kMinimize:
            if (clicked) Window()->Minimize();
            return 0;
        case MainId::kPage0Tab:
            if (clicked) ShowPage(0);
            return 0;
        case MainId::kPage1Tab:
            if (clicked) ShowPage(1);
            return 0;
        case MainId::kPage2Tab:
            if (clicked) ShowPage(2);
            return 0;
        case MainId::kPage3Tab:
            if (clicked) ShowPage(3);
            return 0;
        case MainId::kResetProfile:
            if (clicked) ResetCurrentProfile();
            return 0;
        case MainId::kResetAll:
            if (clicked) ResetAllProfiles();
            return 0;
        case MainId::kOk:
            if (clicked) Commit(true);
            return 0;
        case MainId::kApply:
            if (clicked) Commit(false);
            return 0;
        case MainId::kCancel:
            if (clicked) PutAway();
            return 0;
        case MainId::kProfile1:
        case MainId::kProfile1 + 1:
        case MainId::kProfile1 + 2:
            if (clicked) SelectProfile(static_cast<int>(msg - MainId::kProfile1));
            return 0;
        case MainId::kProfile1 + 3:
        case MainId::kProfile5:
            if (!clicked) return 0;
            // Chosen from the context menu: the profile to return to after a program's.
            SelectProfile(static_cast<int>(msg - MainId::kProfile1));
            m_follower.SetBase(m_currentProfile);
            return 0;
        case kMsgOpenLightColor:
        case kMsgOpenLightBrightness:
            if (clicked) OpenLightingList(static_cast<uint32_t>(first));
            return 0;
        case kMsgLightColorPopupClosed:
            if (second == PopupKind::kLightColor) CloseLightingList(MainId::kLightColor);
            return 0;
        case kMsgLightBrightnessPopupClosed:
            if (second == PopupKind::kLightBrightness) CloseLightingList(MainId::kLightBrightness);
            return 0;
        case kMsgLightColorPopup:
            ChooseLighting(MainId::kLightColor, second);
            return 0;
        case kMsgLightBrightnessPopup:
            ChooseLighting(MainId::kLightBrightness, second);
            return 0;
        case kMsgTrayNotify:
            return OnTrayNotify(first, second);
        case MainCommand::kConfigKeyboard:
            BringBack();
            return 0;
        case MainCommand::kExit:
            Exit();
            return 0;
        case MainCommand::kEditProfile:
            EditProfile();
            return 0;
        case MainCommand::kSaveProfile:
            SaveProfile();
            return 0;
        case MainCommand::kLoadProfile:
            LoadProfile();
            return 0;
        case MainCommand::kFollowPrograms:
            ToggleFollowPrograms(Model(), m_services.appDirectory);
            return 0;
        case MainCommand::kStartAtLogin:
            ToggleStartAtLogin();
            return 0;
        case MainId::kNothing:
            return 0;
        default:
            break;
    }
    return RouteToPart(msg, first, second).value_or(0);
}

std::optional<intptr_t> CCorvexDlg::RouteToPart(uint32_t msg, uintptr_t first, intptr_t second) {
    if (m_keyPart && IsKeyAssignmentMessage(msg)) return m_keyPart->OnMessage(msg, first, second);
    if (m_macroPart && IsMacroPageMessage(msg)) return m_macroPart->OnMessage(msg, first, second);
    return std::nullopt;
}

void CCorvexDlg::OnMouseWheel(uint32_t flags, int delta, int x, int y) {
    if (m_macroPart) m_macroPart->OnMouseWheel(flags, delta, x, y);
}

void CCorvexDlg::OnLButtonDown(uint32_t flags, int x, int y) {
    // The macro page commits a name being typed before the click is routed.
    if (m_macroPart) m_macroPart->OnLButtonDown(x, y);
    CDlgBase::OnLButtonDown(flags, x, y);
}

void CCorvexDlg::OnRButtonUp(uint32_t, int x, int y) {
    // Only the background opens the menu; controls keep the right button to themselves.
    bool onControl = false;
    ForEachControl([&](CControlBase* c) {
        if (c->IsVisible() && c->Contains(x, y)) onControl = true;
    });
    if (onControl || !Window()) return;
    const int command =
        Dialogs().TrackMenu(Window(), Window()->ClientToScreen({x, y}), ContextMenuItems());
    if (command != 0) Window()->Send(static_cast<uint32_t>(command), 0, ControlEvent::kClicked);
}

std::vector<MenuItem> CCorvexDlg::ContextMenuItems() const {
    std::vector<MenuItem> items = {
        {"Profile 4", static_cast<int>(MainId::kProfile1 + 3)},
        {"Profile 5", static_cast<int>(MainId::kProfile5)},
        {"", 0},
        {"Edit Profile...", static_cast<int>(MainCommand::kEditProfile)},
        {"Save Profile as...", static_cast<int>(MainCommand::kSaveProfile)},
        {"Load Profile from...", static_cast<int>(MainCommand::kLoadProfile)},
        {"", 0},
        {"Macro Manager...", static_cast<int>(MainCommand::kMacroManager)},
        {"", 0},
        {"Start at login", static_cast<int>(MainCommand::kStartAtLogin),
         IsAutostartEnabled(m_services.autostart) ? MenuItem::Check::kChecked
                                                  : MenuItem::Check::kUnchecked},
    };
    // Offered only where the desktop tells which window is active.
    if (m_activeWindow && m_activeWindow->IsActive()) {
        items.insert(items.begin() + 4,
                     MenuItem{"Follow programs", static_cast<int>(MainCommand::kFollowPrograms),
                              FollowsPrograms(*m_services.model) ? MenuItem::Check::kChecked
                                                                 : MenuItem::Check::kUnchecked});
    }
    return items;
}

void CCorvexDlg::FollowActiveWindow(const ActiveWindow& window) {
    if (m_shutDown || !FollowsPrograms(Model())) return;
    const auto profile = m_follower.Decide(ProgramsOf(Model()), window,
                                           ReadProcessFacts(window.pid), m_currentProfile);
    if (!profile) return;
    // Only the profile changes: edits not yet applied stay pending.
    SelectProfile(*profile);
    if (*profile >= kOnBoardProfileCount) return;
    m_session->SendCurrentProfile(*profile);
}

void CCorvexDlg::ToggleStartAtLogin() {
    const AutostartEntry& entry = m_services.autostart;
    const bool enable = !IsAutostartEnabled(entry);
    if (enable && !entry.refusal.empty()) {
        Dialogs().Message(Window(), std::string(kAttentionTitle), entry.refusal);
        return;
    }
    if (!SetAutostartEnabled(entry, enable))
        std::fprintf(stderr, "lumbra: cannot %s the autostart entry %s\n",
                     enable ? "write" : "remove", entry.file.c_str());
}

// ---- pages, profiles, refresh ---------------------------------------------

void CCorvexDlg::ShowPage(int page) {
    if (page < 0 || page >= kPageCount) return;
    PageSelection() = page;
    for (int list = 1; list <= kPageCount; ++list) SetListVisible(list, list == page + 1);
    ClearHotControl();
    if (page == 0) {
        for (CTabControl* tab : m_gKeyTabs)
            if (tab) tab->SetState(CControlBase::kNormal);
    }
    if (m_loopCountEdit) m_loopCountEdit->SetVisible(page == 1);
    if (m_keyPart) m_keyPart->OnPageShown(page);
    if (m_macroPart) m_macroPart->OnPageShown(page);
    if (Window()) Window()->InvalidateAll();
}

void CCorvexDlg::SelectProfile(int profile) {
    if (m_session && m_session->Link()) m_session->Link()->NoteProfileChosen();
    Model().settings.SetCurrentProfile(profile);
    Refresh();
}

void CCorvexDlg::Refresh() {
    KeyboardModel& model = Model();
    // A profile number outside the five slots (a hand-edited config.ini) is
    // profile 0 here too, so it never reaches the keyboard.
    const int slot = model.CurrentSlot();
    m_currentProfile = slot;
    // The profile tabs show the profile being edited, also when the keyboard
    // or the start-up read-back chose it rather than a click on a tab.
    SubSelection() = slot;
    const ProfileCaptions captions = ShowProfileCaptions(model.Profile(slot));
    for (size_t g = 0; g < m_gKeyButtons.size(); ++g)
        if (m_gKeyButtons[g]) m_gKeyButtons[g]->SetDisplayText(captions.gkeyNames[g]);
    m_lightingMode = captions.shownMode;
    if (captions.modeCaption && m_colorButton)
        m_colorButton->SetDisplayText(std::string(*captions.modeCaption));
    if (captions.brightnessCaption && m_brightnessButton)
        m_brightnessButton->SetDisplayText(std::string(*captions.brightnessCaption));
    const auto codes = model.RefreshKeyButtons(slot);
    for (size_t i = 0; i < m_keyButtons.size() && i < codes.size(); ++i) {
        CKeyboardButton* key = m_keyButtons[i];
        key->SetKeyInfo(key->KeyName(), codes[i], key->DefaultCode());
    }
    if (m_keyPart) m_keyPart->OnRefresh();
    if (m_macroPart) m_macroPart->OnRefresh();
    if (Window()) Window()->InvalidateAll();
}

// ---- commit and resets ----------------------------------------------------

void CCorvexDlg::AfterReadBack(std::function<void()> command) {
    // The read-back replaces the model the command would be planned from:
    // it runs once the keyboard has been read, on what was read.
    if (m_readingBack)
        m_afterReadBack.push_back(std::move(command));
    else
        command();
}

void CCorvexDlg::RunCommandsAfterReadBack() {
    m_readingBack = false;
    std::vector<std::function<void()>> commands;
    commands.swap(m_afterReadBack);
    for (auto& command : commands) command();
}

void CCorvexDlg::Commit(bool hideAfter) {
    const bool deferred = m_readingBack;
    AfterReadBack([this, hideAfter, deferred] {
        const SaveFailures failures = m_session->Commit(m_currentProfile);
        m_follower.SetBase(m_currentProfile);
        // After a failed save the window stays, so that the user can try again;
        // at Exit (the session may be ending) standard error alone says it.
        const std::string failed = failures.empty() ? std::string() : ReportFailedSave(failures);
        if (!failed.empty() && !m_exiting)
            Dialogs().Message(Window(), std::string(kAttentionTitle), failed);
        else if (failed.empty() && hideAfter && !deferred)
            PutAway();
    });
    // A commit that waits for the read-back puts the window away at once.
    if (hideAfter && deferred) PutAway();
}

void CCorvexDlg::ResetCurrentProfile() {
    if (Dialogs().ConfirmReset(Window(), kResetProfilePicture) != DialogResult::kOk) return;
    AfterReadBack([this] {
        m_session->ResetProfile(m_currentProfile);
        Refresh();
    });
}

void CCorvexDlg::ResetAllProfiles() {
    if (Dialogs().ConfirmReset(Window(), kResetAllPicture) != DialogResult::kOk) return;
    AfterReadBack([this] {
        m_session->ResetAll();
        m_follower.SetBase(0);
        Refresh();
    });
}

// ---- the worker's progress ---------------------------------------------------

void CCorvexDlg::ShowProgress(const DeviceProgress& progress) {
    m_readingBack = progress.busy && progress.kind == DeviceJobKind::kReadBack;
    if (m_shutDown) return;
    if (!m_readingBack) RunCommandsAfterReadBack();
    if (!m_progressStrip) return;
    const bool busy = progress.busy;
    if (busy) {
        m_progressStrip->SetCaption(
            std::string(progress.kind == DeviceJobKind::kWrite ? kWritingCaption : kReadingCaption));
        m_progressStrip->SetProgress(progress.done, progress.total);
    }
    if (busy != m_progressStrip->IsVisible()) {
        m_progressStrip->SetVisible(busy);
        m_progressStrip->Invalidate();
    }
    // While a plan is sent, the commands that would queue more for the
    // keyboard, or change the profile the plan was made for, wait. While
    // the keyboard is read back, the edits wait: its profiles replace the
    // model's, so an edit made meanwhile would be lost (the commands run
    // after it, AfterReadBack). A read of one macro the keyboard recorded
    // leaves the window alone.
    const bool writing = busy && progress.kind == DeviceJobKind::kWrite;
    ForEachControl([writing, reading = m_readingBack](CControlBase* c) {
        const uint32_t id = c->Id();
        const bool command = id == MainId::kOk || id == MainId::kApply ||
                             id == MainId::kResetProfile || id == MainId::kResetAll ||
                             (id >= MainId::kProfile1 && id <= MainId::kProfile5);
        const bool edit = MainId::kKeys.Contains(id) || id == MainId::kLightColor ||
                          id == MainId::kLightBrightness ||
                          (id >= kFirstGKeyButtonId && id <= kLastGKeyButtonId);
        const bool wait = (command && writing) || (edit && reading);
        if ((!command && !edit) || c->IsDisabled() == wait) return;
        c->SetDisabled(wait);
        if (wait) c->SetState(CControlBase::kNormal);
        c->Invalidate();
    });
}

bool CCorvexDlg::IsBusy() const { return m_progressStrip && m_progressStrip->IsVisible(); }

// ---- lighting ---------------------------------------------------------------

void CCorvexDlg::OpenLightingList(uint32_t buttonId) {
    auto* button = dynamic_cast<CComboButton*>(FindControl(buttonId));
    if (!button) return;
    button->SetPopupOpen(true);
    button->Invalidate();
    const Rect r = button->GetRect();
    const Rect below{r.left, r.bottom, r.right, r.bottom + r.Height()};
    if (buttonId == MainId::kLightColor)
        ShowPopup(PopupSlot::k7, below, new CLightColorPopup, buttonId);
    else
        ShowPopup(PopupSlot::k8, below, new CLightBrightnessPopup, buttonId);
}

void CCorvexDlg::CloseLightingList(uint32_t buttonId) {
    if (auto* button = dynamic_cast<CComboButton*>(FindControl(buttonId))) {
        button->SetPopupOpen(false);
        button->SetState(CControlBase::kNormal);
        button->Invalidate();
    }
    ClosePopup(buttonId == MainId::kLightColor ? PopupSlot::k7 : PopupSlot::k8);
}

void CCorvexDlg::ChooseLighting(uint32_t buttonId, intptr_t second) {
    const auto* record = reinterpret_cast<const ChoiceRecord*>(second);
    if (!record) return;
    const ChoiceRecord choice = *record;  // the popup goes away below
    if (auto* button = dynamic_cast<CComboButton*>(FindControl(buttonId)))
        button->SetDisplayText(choice.text);
    CloseLightingList(buttonId);
    KeyboardModel& model = Model();
    KeyboardProfile& profile = model.Current();
    if (buttonId == MainId::kLightColor) {
        m_lightingMode = choice.b0;
        profile.SetLightColor(choice.b0);
    } else {
        profile.SetLightBrightness(choice.b0);
    }
    Refresh();
    model.pending.MarkLighting(m_currentProfile);
}

// ---- tray, window, shutdown -----------------------------------------------

intptr_t CCorvexDlg::OnTrayNotify(uintptr_t iconId, intptr_t mouseMessage) {
    if (iconId != kTrayIconId) return kTrayWrongIdResult;
    if (mouseMessage == kTrayLeftDoubleClick) {
        BringBack();
    } else if (mouseMessage == kTrayRightButtonUp) {
        const std::vector<MenuItem> items = {
            {"Config Keyboard", static_cast<int>(MainCommand::kConfigKeyboard)},
            {"", 0},
            {"Exit", static_cast<int>(MainCommand::kExit)},
        };
        const int command = Dialogs().TrackMenu(nullptr, CursorScreenPos(), items);
        if (command != 0 && Window()) Window()->Send(static_cast<uint32_t>(command), 0, 0);
    }
    return 0;
}

void CCorvexDlg::PutAway() {
    if (!Window()) return;
    if (HasTray())
        Window()->Hide();
    else
        Window()->Minimize();
}

void CCorvexDlg::BringBack() {
    if (!Window()) return;
    Window()->ShowNormal();
    Window()->Activate();
}

void CCorvexDlg::Exit() {
    if (m_exiting) {
        // A second Exit while the first waits: the running plan is given up
        // after its current report.
        if (m_session) m_session->Abort();
        CloseForExit();
        return;
    }
    m_exiting = true;
    // Commands that wait for the read-back write their files now; what they
    // would send goes with the rest of the queue. Only a plan already on its
    // way is waited for; a read is given up.
    RunCommandsAfterReadBack();
    if (m_session) m_session->PrepareExit();
    if (!m_session || !m_session->Busy()) {
        CloseForExit();
        return;
    }
    // What the worker is sending finishes first, within a bound; the window
    // goes out of sight meanwhile.
    if (Window()) Window()->Hide();
    std::weak_ptr<CCorvexDlg*> alive = m_alive;
    m_session->WhenIdle([alive] {
        if (auto self = alive.lock(); self && *self) (*self)->CloseForExit();
    });
    m_exitTimer.Start(kExitWaitMs, [this] {
        if (m_session) m_session->Abort();
        CloseForExit();
    });
}

void CCorvexDlg::CloseForExit() {
    m_exitTimer.Stop();
    m_closeAllowed = true;
    if (Window()) Window()->PostClose();
}

bool CCorvexDlg::OnCloseRequest() {
    // The window manager's close button: into the tray when there is one.
    if (!m_exiting && HasTray()) {
        Window()->Hide();
        return false;
    }
    if (m_closeAllowed) return true;
    Exit();
    return false;
}

void CCorvexDlg::OnWindowDestroyed() { Shutdown(); }

void CCorvexDlg::Shutdown() {
    if (m_shutDown) return;
    m_shutDown = true;
    *m_alive = nullptr;
    m_activeWindow.reset();
    if (m_session) m_session->Goodbye();
    if (m_trayAdded && m_services.tray) m_services.tray->Remove();
    m_trayAdded = false;
    // The parts hold the loop-count edit and the controls; they go first.
    if (m_keyPart == m_ownKeyPart.get()) m_keyPart = nullptr;
    if (m_macroPart == m_ownMacroPart.get()) m_macroPart = nullptr;
    m_ownKeyPart.reset();
    m_ownMacroPart.reset();
    m_loopCountEdit.reset();
    if (m_services.onClosed) m_services.onClosed();
}

// ---- device link ------------------------------------------------------------

void CCorvexDlg::OnDeviceChange(DeviceChange change) {
    // An exit under way reads nothing new.
    if (!m_session || m_shutDown || m_exiting) return;
    m_session->OnDeviceChange(change);
    if (change == DeviceChange::kArrival && m_session->Busy()) m_readingBack = true;
}

void CCorvexDlg::ShowDisconnectedMessage(std::string_view text) {
    // One message says it: a removal while it is still open (a flaky hub, a
    // KVM switch) would otherwise open another one inside its modal run.
    if (m_shutDown || m_disconnectMessageOpen) return;
    m_disconnectMessageOpen = true;
    Dialogs().Message(nullptr, std::string(kAttentionTitle), std::string(text));
    m_disconnectMessageOpen = false;
}

void CCorvexDlg::ShowAccessDeniedMessage(std::string_view path) {
    std::fprintf(stderr,
                 "lumbra: permission denied on %.*s: install 60-lumbra.rules into "
                 "/etc/udev/rules.d (the package puts it in /usr/lib/udev/rules.d), then replug "
                 "the keyboard\n",
                 static_cast<int>(path.size()), path.data());
    // The scan runs while the window opens: the message follows once it shows.
    std::weak_ptr<CCorvexDlg*> alive = m_alive;
    m_services.dispatcher->Post([alive] {
        if (auto self = alive.lock(); self && *self)
            (*self)->Dialogs().Message(nullptr, std::string(kAttentionTitle),
                                       std::string(kAccessDeniedMessage));
    });
}

void CCorvexDlg::OnKeyboardNotice(int notice) {
    // The keyboard's own profile key chose profile 1..3.
    if (notice >= 1 && notice <= kOnBoardProfileCount) m_follower.SetBase(notice - 1);
}

// ---- profile commands without a control -------------------------------------

void CCorvexDlg::EditProfile() {
    KeyboardModel& model = Model();
    KeyboardProfile& profile = model.Current();
    std::string name = profile.PairValue(KeyboardProfile::kProfileNamePair);
    ProfilePrograms programs = profile.programs;
    if (Dialogs().EditProfile(Window(), name, programs) != DialogResult::kOk) return;
    profile.SetPairValue(KeyboardProfile::kProfileNamePair, name);
    profile.programs = programs;
    Refresh();
}

void CCorvexDlg::SaveProfile() {
    KeyboardModel& model = Model();
    const int slot = model.CurrentSlot();
    const auto path = Dialogs().ChooseProfileToSave(Window(), model.settings.SlotPath(slot));
    if (!path || path->empty()) return;
    const SaveFailures failures = m_session->SaveProfileAs(m_currentProfile, *path);
    if (!failures.empty())
        Dialogs().Message(Window(), std::string(kAttentionTitle), ReportFailedSave(failures));
}

void CCorvexDlg::LoadProfile() {
    const auto path = Dialogs().ChooseProfileToLoad(Window());
    if (!path || path->empty()) return;
    if (!m_session->LoadProfileFrom(m_currentProfile, *path)) {
        Dialogs().Message(Window(), std::string(kAttentionTitle), std::string(kNotAProfileMessage));
        return;
    }
    Refresh();
}

}  // namespace lumbra
