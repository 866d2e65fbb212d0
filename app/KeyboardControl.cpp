// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyboardControl.h"

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "app/MainWindowCommands.h"
#include "model/KeyboardModel.h"
#include "storage/ProfileFile.h"

namespace lumbra {

namespace {

constexpr int kLightModeCount = 7;
// What the Lighting page's brightness list produces.
constexpr std::array<int, 5> kBrightnessLevels = {24, 8, 4, 2, 1};

ControlReply Refused(ControlError error, std::string message) {
    return {error, std::move(message)};
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

ControlReply CheckFileToLoad(const std::string& path) {
    struct stat st {};
    if (!IsAbsolute(path) || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        access(path.c_str(), R_OK) != 0)
        return Refused(ControlError::kInvalidArgument,
                       "not a readable file (an absolute path is needed): " + path);
    return {};
}

ControlReply CheckFileToSave(const std::string& path) {
    struct stat st {};
    if (!IsAbsolute(path) || path.back() == '/' ||
        (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)))
        return Refused(ControlError::kInvalidArgument,
                       "not a file path (an absolute path is needed): " + path);
    return {};
}

}  // namespace

KeyboardControl::KeyboardControl(Host host) : m_host(std::move(host)) { m_published = State(); }

KeyboardControl::~KeyboardControl() {
    m_life.End();
    std::deque<Pending> waiting;
    waiting.swap(m_queue);
    for (Pending& call : waiting) call.done(Refused(ControlError::kFailed, "Lumbra is ending"));
}

ControlState KeyboardControl::State() const {
    const KeyboardModel& model = *m_host.model;
    KeyboardSession* session = m_host.commands->Session();
    ControlState state;
    state.connected = session && session->Connected();
    state.accessDenied = session && session->AccessDenied();
    state.profile = model.CurrentSlot() + 1;
    for (int p = 0; p < kProfileSlotCount; ++p)
        state.names[static_cast<size_t>(p)] =
            model.Profile(p).PairValue(KeyboardProfile::kProfileNamePair);
    const KeyboardProfile& current = model.Profile(model.CurrentSlot());
    state.lightingMode = current.LightColor();
    state.lightingBrightness = current.LightBrightness();
    state.pending = !(model.pending == PendingWrites{});
    state.busy = session && session->Busy();
    state.followPrograms = m_host.commands->FollowingPrograms();
    return state;
}

ControlReply KeyboardControl::SetFollowPrograms(bool on) {
    if (m_host.modalOpen && m_host.modalOpen()) return Refused(ControlError::kBusy, kControlBusy);
    if (m_host.commands->FollowingPrograms() != on) m_host.commands->ToggleFollowPrograms();
    NoteChanged();
    if (m_host.commands->FollowingPrograms() != on)
        return Refused(ControlError::kFailed, "the settings file could not be written");
    return {};
}

void KeyboardControl::Call(ControlMethod method, ControlArgument argument, ControlDone done) {
    m_queue.push_back({method, std::move(argument), std::move(done)});
    RunNext();
}

void KeyboardControl::NoteChanged() {
    if (m_notePosted) return;
    m_notePosted = true;
    m_host.post(m_life.Guard([this] {
        m_notePosted = false;
        Publish();
        RunNext();
    }));
}

void KeyboardControl::Publish() {
    const ControlState now = State();
    if (now == m_published) return;
    const ControlState before = std::exchange(m_published, now);
    if (m_onState) m_onState(before, now);
}

bool KeyboardControl::MayRun() const {
    MainWindowCommands& commands = *m_host.commands;
    KeyboardSession* session = commands.Session();
    // Until the keyboard has been asked, and while it is read back or a job
    // runs, the model is not the one the call would be meant for.
    return !m_running && commands.KeyboardStarted() && session && !session->Busy() &&
           !commands.ReadingBack();
}

void KeyboardControl::RunNext() {
    while (!m_queue.empty() && (MayRun() || m_host.commands->Exiting().Exiting())) {
        Pending call = std::move(m_queue.front());
        m_queue.pop_front();
        if (Run(call)) return;
    }
}

ControlReply KeyboardControl::Check(const Pending& call) const {
    const int* number = std::get_if<int>(&call.argument);
    const std::string* path = std::get_if<std::string>(&call.argument);
    switch (call.method) {
        case ControlMethod::kSelectProfile:
            if (!number || *number < 1 || *number > kProfileSlotCount)
                return Refused(ControlError::kInvalidArgument, "the profile is 1 to 5");
            break;
        case ControlMethod::kSetLightingMode:
            if (!number || *number < 1 || *number > kLightModeCount)
                return Refused(ControlError::kInvalidArgument, "the lighting mode is 1 to 7");
            break;
        case ControlMethod::kSetLightingBrightness:
            if (!number || std::find(kBrightnessLevels.begin(), kBrightnessLevels.end(),
                                     *number) == kBrightnessLevels.end())
                return Refused(ControlError::kInvalidArgument,
                               "the brightness is 24 (Breath), 8 (100%), 4 (60%), 2 (30%) or "
                               "1 (0%)");
            break;
        case ControlMethod::kLoadProfile:
            return path ? CheckFileToLoad(*path)
                        : Refused(ControlError::kInvalidArgument, "a path is needed");
        case ControlMethod::kSaveProfile:
            return path ? CheckFileToSave(*path)
                        : Refused(ControlError::kInvalidArgument, "a path is needed");
        default:
            break;
    }
    return {};
}

ControlReply KeyboardControl::SentReply(bool sent) const {
    if (sent) return {};
    KeyboardSession* session = m_host.commands->Session();
    if (session && session->AccessDenied())
        return Refused(ControlError::kAccessDenied, kControlAccessDenied);
    if (!session || !session->Connected())
        return Refused(ControlError::kNotConnected, kControlNotConnected);
    return Refused(ControlError::kFailed, "the keyboard did not take the change; try again");
}

bool KeyboardControl::Run(Pending& call) {
    MainWindowCommands& commands = *m_host.commands;
    auto answer = [&call](ControlReply reply) {
        call.done(reply);
        return false;
    };
    if (commands.Exiting().Exiting())
        return answer(Refused(ControlError::kFailed, "Lumbra is ending"));
    // Showing the window brings its dialog along; everything else would act
    // behind a dialog that owns the state.
    if (call.method != ControlMethod::kShowWindow && m_host.modalOpen && m_host.modalOpen())
        return answer(Refused(ControlError::kBusy, kControlBusy));
    if (ControlReply refused = Check(call); refused.error != ControlError::kNone)
        return answer(refused);

    // An exchange: the answer, and the next call, wait for its end.
    auto whenSent = [this, done = std::move(call.done)](ControlReply reply) {
        m_running = false;
        done(reply);
        NoteChanged();
    };
    switch (call.method) {
        case ControlMethod::kSelectProfile: {
            const int profile = std::get<int>(call.argument) - 1;
            if (profile >= kOnBoardProfileCount) {
                commands.SwitchProfile(profile);
                whenSent({});
                return false;
            }
            m_running = true;
            commands.SwitchProfile(profile, m_life.Guard([this, whenSent](bool sent) {
                whenSent(SentReply(sent));
            }));
            return true;
        }
        case ControlMethod::kSetLightingMode:
            commands.SetLightMode(std::get<int>(call.argument));
            break;
        case ControlMethod::kSetLightingBrightness:
            commands.SetLightBrightness(std::get<int>(call.argument));
            break;
        case ControlMethod::kApply:
            m_running = true;
            commands.Apply(m_life.Guard([this, whenSent](const MainWindowCommands::Applied& a) {
                if (!a.failures.empty())
                    whenSent(Refused(ControlError::kFailed, ReportFailedSave(a.failures)));
                else
                    whenSent(SentReply(a.sent));
            }));
            return true;
        case ControlMethod::kLoadProfile: {
            if (!commands.LoadProfileFile(std::get<std::string>(call.argument))) {
                whenSent(Refused(ControlError::kFailed, std::string(kNotAProfileMessage)));
                return false;
            }
            // What was loaded goes to the keyboard with the next Apply.
            commands.Session()->MarkProfilePending(m_host.model->CurrentSlot());
            break;
        }
        case ControlMethod::kSaveProfile: {
            const SaveFailures failures = commands.SaveProfileFile(std::get<std::string>(call.argument));
            if (!failures.empty()) {
                whenSent(Refused(ControlError::kFailed, ReportFailedSave(failures)));
                return false;
            }
            break;
        }
        case ControlMethod::kShowWindow:
            commands.ShowWindow();
            break;
        case ControlMethod::kHideWindow:
            commands.Cancel();
            break;
        case ControlMethod::kQuit:
            // Answered first: the goodbye to the keyboard ends the program.
            whenSent({});
            m_host.post(m_life.Guard([&commands] { commands.Exit(); }));
            return false;
    }
    whenSent({});
    return false;
}

}  // namespace lumbra
