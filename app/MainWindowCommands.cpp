// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowCommands.h"

#include <array>
#include <cstdio>
#include <memory>
#include <utility>

#include "app/KeyboardSession.h"
#include "app/MainWindowMessages.h"
#include "app/ProgramFollower.h"
#include "model/KeyboardModel.h"
#include "platform/HostWindow.h"
#include "storage/ProfileFile.h"
#include "storage/TextFile.h"
#include "ui/ControlMessages.h"

namespace lumbra {

namespace {

// The commands the menus carry, by the id of their item.
using MenuCommandFn = void (*)(MainWindowCommands&);
constexpr std::array<std::pair<uint32_t, MenuCommandFn>, 10> kMenuCommands{{
    {MainId::kProfile1 + 3, [](MainWindowCommands& c) { c.ChooseBaseProfile(3); }},
    {MainId::kProfile5, [](MainWindowCommands& c) { c.ChooseBaseProfile(4); }},
    {MainCommand::kEditProfile, [](MainWindowCommands& c) { c.EditProfile(); }},
    {MainCommand::kSaveProfile, [](MainWindowCommands& c) { c.SaveProfile(); }},
    {MainCommand::kLoadProfile, [](MainWindowCommands& c) { c.LoadProfile(); }},
    {MainCommand::kFollowPrograms, [](MainWindowCommands& c) { c.ToggleFollowPrograms(); }},
    {MainCommand::kMacroManager, [](MainWindowCommands& c) { c.OpenMacroManager(); }},
    {MainCommand::kStartAtLogin, [](MainWindowCommands& c) { c.ToggleStartAtLogin(); }},
    {MainCommand::kConfigKeyboard, [](MainWindowCommands& c) { c.ShowWindow(); }},
    {MainCommand::kExit, [](MainWindowCommands& c) { c.ExitAsked(); }},
}};

// The commands of the layout's buttons, by control id; a click runs them.
constexpr std::array<std::pair<uint32_t, MenuCommandFn>, 9> kClickCommands{{
    {MainId::kClose, [](MainWindowCommands& c) { c.Close(); }},
    {MainId::kResetProfile, [](MainWindowCommands& c) { c.ResetProfile(); }},
    {MainId::kResetAll, [](MainWindowCommands& c) { c.ResetAll(); }},
    {MainId::kOk, [](MainWindowCommands& c) { c.Ok(); }},
    {MainId::kApply, [](MainWindowCommands& c) { c.Apply(); }},
    {MainId::kCancel, [](MainWindowCommands& c) { c.Cancel(); }},
    {MainId::kProfile1, [](MainWindowCommands& c) { c.SelectProfile(0); }},
    {MainId::kProfile1 + 1, [](MainWindowCommands& c) { c.SelectProfile(1); }},
    {MainId::kProfile1 + 2, [](MainWindowCommands& c) { c.SelectProfile(2); }},
}};

template <size_t N>
bool RunFrom(const std::array<std::pair<uint32_t, MenuCommandFn>, N>& table, uint32_t id,
             MainWindowCommands& commands) {
    for (const auto& [commandId, run] : table) {
        if (commandId != id) continue;
        run(commands);
        return true;
    }
    return false;
}

void ForgetPcOnlyChanges(PendingWrites& pending) {
    for (int s = kOnBoardProfileCount; s < kProfileSlotCount; ++s) {
        const auto slot = static_cast<size_t>(s);
        pending.lightingPending[slot] = false;
        pending.keyTablePending[slot] = false;
        pending.macroPending[slot].fill(false);
    }
}

}  // namespace

MainWindowCommands::MainWindowCommands(MainWindowView& view, MainWindowServices& services)
    : m_view(view),
      m_services(services),
      m_exit({[this] { return m_session; }, [this] { RunCommandsAfterReadBack(); },
              [this] { m_view.Hide(); }, [this] { m_view.PostClose(); },
              [this] { return ConfirmExit(); }}),
      m_following(
          *services.model, services.appDirectory, [this] { return m_view.ShownProfile(); },
          [this](int profile) { SwitchProfile(profile); }) {}

bool MainWindowCommands::ShutDown() {
    if (!m_exit.ShutDown()) return false;
    m_following.Stop();
    return true;
}

// ---- commands -----------------------------------------------------------------

void MainWindowCommands::Close() {
    if (m_view.HasTray())
        m_view.Hide();
    else
        ExitAsked();
}

bool MainWindowCommands::ChangesPending() const {
    return !(m_services.model->pending == PendingWrites{});
}

bool MainWindowCommands::ConfirmExit() {
    if (!ChangesPending()) return true;
    const ExitAnswer answer = Dialogs().AskSendBeforeExit(m_view.DialogOwner());
    // A signal heard while the question was open has ended the program already.
    if (m_exit.Exiting()) return true;
    switch (answer) {
        case ExitAnswer::kSend:
            // The program ends once the plan has been sent: an Exit begun at
            // once would give up a plan the worker has not yet picked up.
            m_view.Hide();
            Apply([this](const Applied&) { Exit(); });
            return false;
        case ExitAnswer::kDiscard:
            return true;
        case ExitAnswer::kCancel:
            break;
    }
    return false;
}

void MainWindowCommands::SelectProfile(int profile) {
    if (m_session && m_session->Link()) m_session->Link()->NoteProfileChosen();
    Model().settings.SetCurrentProfile(profile);
    m_view.Refresh();
}

void MainWindowCommands::SwitchProfile(int profile, std::function<void(bool)> sent) {
    // Only the profile changes: edits not yet applied stay pending.
    SelectProfile(profile);
    if (profile < kOnBoardProfileCount) m_session->SendCurrentProfile(profile, std::move(sent));
}

void MainWindowCommands::ChooseBaseProfile(int profile) {
    SelectProfile(profile);
    m_following.SetBase(m_view.ShownProfile());
}

void MainWindowCommands::Commit(bool hideAfter, AppliedFn done) {
    const bool deferred = m_readingBack;
    AfterReadBack([this, hideAfter, deferred, done = std::move(done)] {
        // The files are known at once, the sending once the plan has ended.
        auto applied = std::make_shared<Applied>();
        std::function<void(bool)> sent = [this, applied, done](bool allSent) {
            m_view.ShowApplyEnded(allSent);
            if (!done) return;
            applied->sent = allSent;
            done(*applied);
        };
        const SaveFailures failures = m_session->Commit(m_view.ShownProfile(), std::move(sent));
        applied->failures = failures;
        // Profiles 4 and 5 are never sent: once their files are written
        // nothing of them is pending.
        if (failures.empty()) ForgetPcOnlyChanges(Model().pending);
        m_following.SetBase(m_view.ShownProfile());
        if (done) return;
        // After a failed save the window stays, so that the user can try again;
        // at Exit (the session may be ending) standard error alone says it.
        const std::string failed = failures.empty() ? std::string() : ReportFailedSave(failures);
        if (!failed.empty() && !m_exit.Exiting())
            ShowMessage(failed);
        else if (failed.empty() && hideAfter && !deferred)
            m_view.PutAway();
    });
    // A commit that waits for the read-back puts the window away at once.
    if (hideAfter && deferred) m_view.PutAway();
}

void MainWindowCommands::ResetProfile() {
    if (Dialogs().ConfirmReset(m_view.DialogOwner(), kResetProfilePicture) != DialogResult::kOk)
        return;
    AfterReadBack([this] {
        m_session->ResetProfile(m_view.ShownProfile());
        m_view.Refresh();
    });
}

void MainWindowCommands::ResetAll() {
    if (Dialogs().ConfirmReset(m_view.DialogOwner(), kResetAllPicture) != DialogResult::kOk) return;
    AfterReadBack([this] {
        m_session->ResetAll();
        m_following.SetBase(0);
        m_view.Refresh();
    });
}

void MainWindowCommands::SetLightMode(int mode) {
    Model().Current().SetLightColor(mode);
    m_view.Refresh();
    Model().pending.MarkLighting(m_view.ShownProfile());
}

void MainWindowCommands::SetLightBrightness(int level) {
    Model().Current().SetLightBrightness(level);
    m_view.Refresh();
    Model().pending.MarkLighting(m_view.ShownProfile());
}

void MainWindowCommands::EditProfile() {
    KeyboardProfile& profile = Model().Current();
    std::string name = profile.PairValue(KeyboardProfile::kProfileNamePair);
    ProfilePrograms programs = profile.programs;
    if (Dialogs().EditProfile(m_view.DialogOwner(), name, programs, m_following.Coverage()) !=
        DialogResult::kOk)
        return;
    profile.SetPairValue(KeyboardProfile::kProfileNamePair, name);
    profile.programs = programs;
    m_view.Refresh();
}

void MainWindowCommands::SaveProfile() {
    KeyboardModel& model = Model();
    const int slot = model.CurrentSlot();
    const auto path =
        Dialogs().ChooseProfileToSave(m_view.DialogOwner(), model.settings.SlotPath(slot));
    if (!path || path->empty()) return;
    const SaveFailures failures = SaveProfileFile(*path);
    if (!failures.empty()) ShowMessage(ReportFailedSave(failures));
}

SaveFailures MainWindowCommands::SaveProfileFile(const std::string& path) {
    return m_session->SaveProfileAs(m_view.ShownProfile(), path);
}

void MainWindowCommands::LoadProfile() {
    const auto path = Dialogs().ChooseProfileToLoad(m_view.DialogOwner());
    if (!path || path->empty()) return;
    if (!LoadProfileFile(*path)) ShowMessage(std::string(kNotAProfileMessage));
}

bool MainWindowCommands::LoadProfileFile(const std::string& path) {
    if (!m_session->LoadProfileFrom(m_view.ShownProfile(), path)) return false;
    m_view.Refresh();
    return true;
}

bool MainWindowCommands::FollowingPrograms() const { return FollowsPrograms(*m_services.model); }

void MainWindowCommands::ToggleStartAtLogin() {
    const AutostartEntry& entry = m_services.autostart;
    const bool enable = !IsAutostartEnabled(entry);
    if (enable && !entry.refusal.empty()) {
        ShowMessage(entry.refusal);
        return;
    }
    if (!SetAutostartEnabled(entry, enable))
        std::fprintf(stderr, "lumbra: cannot %s the autostart entry %s\n",
                     enable ? "write" : "remove", entry.file.c_str());
}

void MainWindowCommands::ShowMessage(const std::string& text) {
    Dialogs().Message(m_view.DialogOwner(), std::string(kAttentionTitle), text);
}

// ---- menus ----------------------------------------------------------------------

std::vector<MenuItem> MainWindowCommands::ContextMenuItems() const {
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
    if (auto follow = m_following.FollowMenuItem(static_cast<int>(MainCommand::kFollowPrograms)))
        items.insert(items.begin() + 4, *follow);
    return items;
}

std::vector<MenuItem> MainWindowCommands::TrayMenuItems() {
    return {
        {"Config Keyboard", static_cast<int>(MainCommand::kConfigKeyboard)},
        {"", 0},
        {"Exit", static_cast<int>(MainCommand::kExit)},
    };
}

bool MainWindowCommands::RunMenuCommand(uint32_t id) {
    const bool ran = RunFrom(kMenuCommands, id, *this);
    if (ran) NoteStateChanged();
    return ran;
}

bool MainWindowCommands::RunClick(uint32_t id) {
    // Profiles 4 and 5 are buttons and items of the context menu alike.
    return RunFrom(kClickCommands, id, *this) ||
           ((id == MainId::kProfile1 + 3 || id == MainId::kProfile5) && RunMenuCommand(id));
}

intptr_t MainWindowCommands::OnTrayNotify(uintptr_t iconId, intptr_t mouseMessage, Point cursor) {
    if (iconId != kTrayIconId) return kTrayWrongIdResult;
    if (mouseMessage == kTrayLeftDoubleClick) {
        ShowWindow();
    } else if (mouseMessage == kTrayRightButtonUp) {
        const int command = Dialogs().TrackMenu(nullptr, cursor, TrayMenuItems());
        if (command != 0 && m_view.DialogOwner() && m_view.DialogOwner()->IsAlive())
            RunMenuCommand(static_cast<uint32_t>(command));
    }
    return 0;
}

// ---- the keyboard's work ---------------------------------------------------------

std::optional<bool> MainWindowCommands::ControlWaits(uint32_t id, bool writing, bool reading) {
    // While a plan is sent, the commands that would queue more for the
    // keyboard, or change the profile the plan was made for, wait. While
    // the keyboard is read back, the edits wait: its profiles replace the
    // model's, so an edit made meanwhile would be lost (the commands run
    // after it, AfterReadBack). A read of one macro the keyboard recorded
    // leaves the window alone.
    const bool command = id == MainId::kOk || id == MainId::kApply || id == MainId::kResetProfile ||
                         id == MainId::kResetAll ||
                         (id >= MainId::kProfile1 && id <= MainId::kProfile5);
    const bool edit = MainId::kKeys.Contains(id) || id == MainId::kLightColor ||
                      id == MainId::kLightBrightness ||
                      (id >= kFirstGKeyButtonId && id <= kLastGKeyButtonId);
    if (!command && !edit) return std::nullopt;
    return (command && writing) || (edit && reading);
}

void MainWindowCommands::AfterReadBack(std::function<void()> command) {
    // The read-back replaces the model the command would be planned from:
    // it runs once the keyboard has been read, on what was read.
    if (m_readingBack)
        m_afterReadBack.push_back(std::move(command));
    else
        command();
}

void MainWindowCommands::RunCommandsAfterReadBack() {
    m_readingBack = false;
    std::vector<std::function<void()>> commands;
    commands.swap(m_afterReadBack);
    for (auto& command : commands) command();
}

void MainWindowCommands::ConnectKeyboard() {
    m_keyboardStarted = true;
    m_session->Connect();
    // Until the worker's first word the read-back it was given is under way.
    m_readingBack = m_session->Busy();
}

void MainWindowCommands::OnDeviceChange(DeviceChange change) {
    // An exit under way reads nothing new.
    if (!m_session || m_exit.Exiting()) return;
    // Heard also while the message about a keyboard that went is open.
    NoteStateChanged();
    m_session->OnDeviceChange(change);
    if (change == DeviceChange::kArrival && m_session->Busy()) m_readingBack = true;
    NoteStateChanged();
}

void MainWindowCommands::OnProgress(const DeviceProgress& progress) {
    m_readingBack = progress.busy && progress.kind == DeviceJobKind::kReadBack;
    if (!m_exit.IsShutDown() && !m_readingBack) RunCommandsAfterReadBack();
    NoteStateChanged();
}

}  // namespace lumbra
