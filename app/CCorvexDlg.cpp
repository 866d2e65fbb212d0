// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CCorvexDlg.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "app/KeyAssignmentPart.h"
#include "app/KeyboardSession.h"
#include "app/MacroPagePart.h"
#include "app/MainWindowControls.h"
#include "app/MainWindowLayout.h"
#include "app/MainWindowMessages.h"
#include "app/MainWindowSelections.h"
#include "macro/MacroPageIds.h"
#include "model/NameTables.h"
#include "platform/EditBox.h"
#include "platform/Resources.h"
#include "ui/CComboButton.h"
#include "ui/CKeyboardButton.h"
#include "ui/CProgressStrip.h"
#include "ui/CTabControl.h"
#include "ui/ChoiceRecord.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {

constexpr int kKeyboardFallbackMs = 1000;

}  // namespace

CCorvexDlg::CCorvexDlg(MainWindowServices services)
    : CDlgBase(kTemplateId, nullptr),
      m_services(WithDefaults(std::move(services), m_ownDialogs)),
      m_commands(*this, m_services) {
    SetViewSwitches(MainWindowViewSwitches());
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
    m_services.window = this;
    m_session = std::make_unique<KeyboardSession>(m_services);
    m_commands.SetSession(m_session.get());
    m_session->SetProgressListener([this](const DeviceProgress& p) { ShowProgress(p); });
    m_session->LoadFiles();

    CDlgBase::OnInitDialog();
    // Started with the session: away at once, before anything is painted.
    if (m_services.startHidden) PutAway();
    SetWindowRegionFromBitmap(kBackgroundBitmap);
    Window()->SetIcon(m_icon);
    AddTrayIcon();
    if (m_macroPart) m_macroPart->OnPageShown(static_cast<int>(m_page));
    // The whole window is drawn once before the keyboard is asked anything,
    // so the user sees it while the read-back runs.
    SetBackgroundBitmap(kBackgroundBitmap);
    Refresh();
    Window()->RepaintNow();

    m_session->OpenLink();
    if (m_services.watchDevices) {
        UiDispatcher* dispatcher = m_services.dispatcher;
        auto onChange = m_life.Guard([this](DeviceChange change) { OnDeviceChange(change); });
        m_services.watchDevices([onChange, dispatcher](DeviceChange change) {
            dispatcher->Post([onChange, change] { onChange(change); });
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
    m_services.dispatcher->Post(m_life.Guard([this] { StartKeyboard(); }));
}

void CCorvexDlg::StartKeyboard() {
    if (IsShutDown()) return;
    // The pages' parts wait for the first frame like the keyboard.
    CreateParts();
    if (!m_session || !m_session->Link()) return;
    m_commands.ConnectKeyboard();
    SetBackgroundBitmap(kBackgroundBitmap);
    m_commands.StartFollowing();
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
    m_keyPart->OnPageShown(static_cast<int>(m_page));
    m_macroPart->OnPageShown(static_cast<int>(m_page));
}

void CCorvexDlg::AddTrayIcon() {
    if (!m_services.tray) return;
    m_services.tray->Add(std::string(kTrayTip), m_life.Guard([this](intptr_t mouse) {
        if (Window()) m_commands.OnTrayNotify(kTrayIconId, mouse, CursorScreenPos());
    }),
                         m_life.Guard([this](uint32_t command) {
                             if (Window() && Window()->IsAlive())
                                 m_commands.RunMenuCommand(command);
                         }));
    m_trayAdded = true;
}

void CCorvexDlg::BuildControls(int left, int top, int, int) {
    m_controls = BuildMainWindowControls(*this, left, top, m_services.library);
    WireControls();
    // The page tabs, the profile tabs and the key picture are one Tab stop each.
    const auto controls = [this](std::initializer_list<uint32_t> ids, int list) {
        std::vector<CControlBase*> found;
        for (const auto& c : ControlList(list))
            if (std::ranges::find(ids, c->Id()) != ids.end()) found.push_back(c.get());
        return found;
    };
    AddArrowGroup(
        controls({MainId::kPage0Tab, MainId::kPage1Tab, MainId::kPage2Tab, MainId::kPage3Tab}, 0),
        ArrowGroup::kChoose);
    AddArrowGroup(controls({MainId::kProfile1, MainId::kProfile1 + 1, MainId::kProfile1 + 2},
                           PageList(MainPage::kKeyboard)),
                  ArrowGroup::kChoose);
    AddArrowGroup({m_controls.keyButtons.begin(), m_controls.keyButtons.end()}, ArrowGroup::kGrid);
}

void CCorvexDlg::CreateLoopCountEdit() {
    const Rect client = Window()->ClientRect();
    const LayoutRect e = kLoopCountEditRect;
    m_loopCountEdit = std::make_unique<EditBox>(
        *Window(), MacroPageId::kLoopCount,
        Rect::FromSize(client.left + e.x, client.top + e.y, e.width, e.height),
        m_page == MainPage::kMacros);
    m_loopCountEdit->SetNumbersOnly(true);
    m_loopCountEdit->SetAccessibleName("Times to repeat the macro");
    // The macro page's part hears the loop count's changes once it is made.
}

void CCorvexDlg::DrawBackground(Surface& surface, const Rect& client) {
    DrawBackgroundBitmap(surface, client);
    DrawPagePanelAndCallout(surface, static_cast<int>(m_page), m_calloutBitmap);
    DrawControls(surface, client);
    const WindowStateShown state = StateShown();
    m_pendingDrawn = state.pending;
    if (CControlBase* apply = FindControl(MainId::kApply))
        DrawWindowState(surface, state, apply->GetRect());
}

WindowStateShown CCorvexDlg::StateShown() const {
    WindowStateShown state;
    state.profile = m_currentProfile;
    state.profileName =
        m_services.model->Profile(m_currentProfile).PairValue(KeyboardProfile::kProfileNamePair);
    state.pending = m_commands.ChangesPending();
    state.sent = m_sentShown;
    return state;
}

void CCorvexDlg::ShowStateChange() {
    if (Window() && m_commands.ChangesPending() != m_pendingDrawn) Window()->InvalidateAll();
}

void CCorvexDlg::OnPaint(Surface& surface, const Rect& client) {
    if (Window() && Window()->IsMinimized()) {
        DrawMinimizedIcon(surface, client, BackgroundColor(), m_icon);
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
    // The keyboard hook's keys reach the window as messages; the controls,
    // the popups and the menus call their handlers directly.
    if (msg == kMsgHookKey && m_macroPart)
        m_macroPart->OnHookKey(static_cast<uint32_t>(first), static_cast<uint32_t>(second));
    return 0;
}

void CCorvexDlg::WireControls() {
    // The pages' parts replace the handlers of the controls they own.
    ForEachControl([this](CControlBase* c) {
        const uint32_t id = c->Id();
        c->onClick = [this, id] { OnControlClicked(id); };
    });
}

void CCorvexDlg::OnControlClicked(uint32_t id) {
    if (m_commands.RunClick(id)) {
        ShowStateChange();
        return;
    }
    switch (id) {
        case MainId::kMinimize:
            Window()->Minimize();
            break;
        case MainId::kPage0Tab:
        case MainId::kPage1Tab:
        case MainId::kPage2Tab:
            ShowPage(static_cast<int>(id - MainId::kPage0Tab));
            break;
        case MainId::kPage3Tab:
            ShowPage(3);
            break;
        case MainId::kLightColor:
        case MainId::kLightBrightness:
            OpenLightingList(
                *this, id, [this, id](const ChoiceRecord& choice) { ChooseLighting(id, choice); },
                [this, id] { CloseLightingList(*this, id); });
            break;
        default:
            break;
    }
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
    OpenContextMenu({x, y});
}

bool CCorvexDlg::OnNavKey(const NavKeyPress& press) {
    if (press.key != NavKey::kMenu) return CDlgBase::OnNavKey(press);
    if (!Window() || press.repeat) return true;
    const Rect client = Window()->ClientRect();
    const CControlBase* focus = FocusControl();
    const Rect at = focus && focus->IsVisible() ? focus->GetRect() : client;
    OpenContextMenu({(at.left + at.right) / 2, (at.top + at.bottom) / 2});
    return true;
}

void CCorvexDlg::OpenContextMenu(Point at) {
    const int command =
        Dialogs().TrackMenu(Window(), Window()->ClientToScreen(at), m_commands.ContextMenuItems());
    if (command != 0 && Window()->IsAlive())
        m_commands.RunMenuCommand(static_cast<uint32_t>(command));
}

// ---- pages, profiles, refresh ---------------------------------------------

void CCorvexDlg::ShowPage(int page) {
    if (page < 0 || page >= kMainWindowPageCount) return;
    m_page = static_cast<MainPage>(page);
    ShowSelectedTabs(*this, m_page, m_currentProfile);
    for (int list = 1; list <= kMainWindowPageCount; ++list) SetListVisible(list, list == page + 1);
    ClearHotControl();
    if (page == 0) {
        for (CTabControl* tab : m_controls.gKeyTabs)
            if (tab) tab->SetState(CControlBase::kNormal);
    }
    if (m_loopCountEdit) m_loopCountEdit->SetVisible(page == 1);
    if (m_keyPart) m_keyPart->OnPageShown(page);
    if (m_macroPart) m_macroPart->OnPageShown(page);
    if (Window()) Window()->InvalidateAll();
}

void CCorvexDlg::Refresh() {
    KeyboardModel& model = Model();
    // A profile number outside the five slots (a hand-edited config.ini) is
    // profile 0 here too, so it never reaches the keyboard.
    const int slot = model.CurrentSlot();
    m_currentProfile = slot;
    // The profile tabs show the profile being edited, also when the keyboard
    // or the start-up read-back chose it rather than a click on a tab.
    ShowSelectedTabs(*this, m_page, slot);
    const ProfileCaptions captions = ShowProfileCaptions(model.Profile(slot));
    for (size_t g = 0; g < m_controls.gKeyButtons.size(); ++g)
        if (m_controls.gKeyButtons[g])
            m_controls.gKeyButtons[g]->SetDisplayText(captions.gkeyNames[g]);
    m_lightingMode = captions.shownMode;
    if (captions.modeCaption && m_controls.colorButton)
        m_controls.colorButton->SetDisplayText(std::string(*captions.modeCaption));
    if (captions.brightnessCaption && m_controls.brightnessButton)
        m_controls.brightnessButton->SetDisplayText(std::string(*captions.brightnessCaption));
    const auto codes = model.RefreshKeyButtons(slot);
    for (size_t i = 0; i < m_controls.keyButtons.size() && i < codes.size(); ++i) {
        CKeyboardButton* key = m_controls.keyButtons[i];
        key->SetKeyInfo(key->KeyName(), codes[i], key->DefaultCode());
    }
    if (m_keyPart) m_keyPart->OnRefresh();
    if (m_macroPart) m_macroPart->OnRefresh();
    if (Window()) Window()->InvalidateAll();
    m_commands.NoteStateChanged();
}

// ---- the worker's progress ---------------------------------------------------

void CCorvexDlg::ShowProgress(const DeviceProgress& progress) {
    m_commands.OnProgress(progress);
    if (IsShutDown() || !m_controls.progressStrip) return;
    ShowStripFor(progress);
    const bool writing = progress.busy && progress.kind == DeviceJobKind::kWrite;
    ShowStateChange();
    ForEachControl([writing, reading = m_commands.ReadingBack()](CControlBase* c) {
        const auto wait = MainWindowCommands::ControlWaits(c->Id(), writing, reading);
        if (!wait || c->IsDisabled() == *wait) return;
        c->SetDisabled(*wait);
        if (*wait) c->SetState(CControlBase::kNormal);
        c->Invalidate();
    });
}
void CCorvexDlg::ShowStripFor(const DeviceProgress& progress) {
    CProgressStrip& strip = *m_controls.progressStrip;
    const uint64_t now = m_services.clock->NowMs();
    if (progress.busy) {
        m_stripHide.Stop();
        if (!strip.IsVisible()) m_stripShownAtMs = now;
        m_stripShowsWrite = progress.kind == DeviceJobKind::kWrite;
        ShowWorkerProgress(strip, progress);
        return;
    }
    if (!strip.IsVisible() || m_stripHide.IsActive()) return;
    // A short write's strip stays, at its last frame, until it could be read.
    const uint64_t shown = now - m_stripShownAtMs;
    if (!m_stripShowsWrite || shown >= static_cast<uint64_t>(kProgressStripMinimumMs)) {
        ShowWorkerProgress(strip, progress);
        return;
    }
    m_stripHide.Start(kProgressStripMinimumMs - static_cast<int>(shown),
                      m_life.Guard([this, progress] {
                          if (!IsShutDown() && m_controls.progressStrip)
                              ShowWorkerProgress(*m_controls.progressStrip, progress);
                      }));
}

void CCorvexDlg::ShowApplyEnded(bool allSent) {
    if (IsShutDown()) return;
    m_sentShown = allSent;
    if (allSent)
        m_sentTimer.Start(kSentLineMs, m_life.Guard([this] {
            m_sentShown = false;
            if (Window()) Window()->InvalidateAll();
        }));
    if (Window()) Window()->InvalidateAll();
}

bool CCorvexDlg::IsBusy() const {
    return m_controls.progressStrip && m_controls.progressStrip->IsVisible();
}

// ---- lighting ---------------------------------------------------------------

void CCorvexDlg::ChooseLighting(uint32_t buttonId, const ChoiceRecord& choice) {
    if (auto* button = dynamic_cast<CComboButton*>(FindControl(buttonId)))
        button->SetDisplayText(choice.text);
    CloseLightingList(*this, buttonId);
    if (buttonId == MainId::kLightColor)
        m_commands.SetLightMode(choice.b0);
    else
        m_commands.SetLightBrightness(choice.b0);
}

// ---- tray, window, shutdown -----------------------------------------------

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

void CCorvexDlg::Shutdown() {
    if (!m_commands.ShutDown()) return;
    m_life.End();
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

void CCorvexDlg::ShowDisconnectedMessage(std::string_view text) {
    // One message says it: a removal while it is still open (a flaky hub, a
    // KVM switch) would otherwise open another one inside its modal run.
    if (IsShutDown() || m_disconnectMessageOpen) return;
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
    m_services.dispatcher->Post(m_life.Guard([this] {
        Dialogs().Message(nullptr, std::string(kAttentionTitle), std::string(kAccessDeniedMessage));
    }));
}

void CCorvexDlg::OnKeyboardNotice(int notice) {
    // The keyboard's own profile key chose profile 1..3.
    if (notice >= 1 && notice <= kOnBoardProfileCount) m_commands.KeyboardChoseProfile(notice - 1);
}

}  // namespace lumbra
