// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded random interleavings of the window's commands, the keyboard's own
// events, unplugging, plugging and exit, at random points of the worker's
// reads and plans (the clock holds the worker between exchanges). After each
// run the model, the keyboard and the files agree, or what differs is
// pending; no macro of the user's is replaced by a made-up one; an exit takes
// the exchange in flight and the goodbye.
//
// LUMBRA_INTERLEAVING_RUNS sets the number of runs (a few hundred by
// default), LUMBRA_INTERLEAVING_SEED the first seed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>

#include "AppTestSupport.h"
#include "KeyboardBusySupport.h"
#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"

namespace lumbra::test {
namespace {

constexpr int kDefaultRuns = 200;
constexpr int kUserMacros = 4;

int EnvNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr ? std::atoi(text) : fallback;
}

std::string UserMacroName(int i) { return "User" + std::to_string(i); }

// One window on one keyboard, kept from run to run until an exit ends it.
class Interleaving {
public:
    explicit Interleaving(uint32_t seed) : m_random(seed) {}

    void Run() {
        if (!m_rig) Open();
        m_rig->clock->Hold(true);
        m_trace.clear();
        const int ops = Pick(3, 9);
        for (int i = 0; i < ops && m_rig; ++i) {
            if (Pick(0, 15) == 0) {
                Exit();
                return;
            }
            Operate();
            const int pauses = Pick(0, 3);
            m_trace += "let" + std::to_string(pauses);
            Advance(pauses);
        }
        m_rig->clock->Hold(false);
        m_rig->sim->Plug();
        Settle();
        ExpectAgreeingOrPending("after the run");
        if (::testing::Test::HasFailure()) std::cerr << "ops:" << m_trace << "\n";
        ExpectUserMacrosKept();
        // What was pending goes with the next Apply; then all three agree.
        m_rig->ClickControl(MainId::kApply);
        Settle();
        ExpectAllAgree();
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    void Open() {
        m_rig = std::make_unique<MainWindowRig>();
        m_rig->Start();
        for (int i = 0; i < kUserMacros; ++i) {
            if (m_rig->library.FindMacroKeyByName(UserMacroName(i)) == nullptr)
                AddUserMacro(m_rig->library, UserMacroName(i), static_cast<uint8_t>(0x30 + i));
        }
        m_rig->dlg->Session().SetLibraryChanged(true);
        m_userMacros = {};
    }

    // The notices handled, the worker idle and the listener reading.
    void Settle() {
        MainWindowRig& rig = *m_rig;
        for (int round = 0; round < 3; ++round) {
            Application::ProcessEvents();
            rig.Idle();
        }
        Until([&] { return rig.dlg->Link().ListenerRun() && !rig.dlg->Session().Busy(); });
        rig.Idle();
    }

    // Lets the worker pass that many pauses, playing the UI thread until it
    // waits in the next one or has nothing left.
    void Advance(int pauses) {
        const int target = m_rig->log.Count("sleep") + pauses;
        m_rig->clock->Let(pauses);
        Until([&] { return m_rig->log.Count("sleep") >= target || !m_rig->dlg->Session().Busy(); });
        Application::ProcessEvents();
    }

    void Operate() {
        MainWindowRig& rig = *m_rig;
        KeyboardModel& model = rig.model;
        const int slot = model.CurrentSlot();
        const int op = Pick(0, 10);
        m_trace += " op" + std::to_string(op) + "@" + std::to_string(slot) + "/" +
                   std::to_string(rig.dlg->CurrentProfileNumber()) +
                   (rig.dlg->Session().Busy() ? "b" : "") + " ";
        switch (op) {
            case 0: {  // a key of the main block, as the key setting dialog stores it
                model.SetKeyCode(static_cast<size_t>(Pick(0, 100)),
                                 static_cast<uint8_t>(Pick(0x04, 0x65)));
                model.pending.MarkKeyTable(slot);
                break;
            }
            case 1: {  // a macro of the user's on a G key, from the G-key menu
                const int g = Pick(0, kGKeyCount - 1);
                const std::string name = UserMacroName(Pick(0, kUserMacros - 1));
                model.AssignGKeyFunction(g, name, "", KeyAction{KeyActionType::kMacro, 0, 0});
                model.pending.MarkKeyTable(slot);
                model.pending.MarkMacro(slot, g);
                if (slot < kOnBoardProfileCount)
                    m_userMacros[static_cast<size_t>(slot)][static_cast<size_t>(g)] = name;
                break;
            }
            case 2: {  // a lighting choice
                KeyboardProfile& profile = model.Current();
                if (Pick(0, 1) == 0)
                    profile.SetLightColor(Pick(1, 3));
                else
                    profile.SetLightBrightness(std::array{1, 2, 4, 8, 24}[Pick(0, 4)]);
                model.pending.MarkLighting(slot);
                rig.dlg->Refresh();
                break;
            }
            case 3:
                rig.ClickControlWithoutIdle(MainId::kApply);
                break;
            case 4: {
                const int shown = rig.dlg->CurrentProfileNumber();
                if (Enabled(MainId::kResetProfile) && shown < kOnBoardProfileCount)
                    m_userMacros[static_cast<size_t>(shown)] = {};
                rig.ClickControlWithoutIdle(MainId::kResetProfile);
                break;
            }
            case 5:
                if (Enabled(MainId::kResetAll)) m_userMacros = {};
                rig.ClickControlWithoutIdle(MainId::kResetAll);
                break;
            case 6:
                rig.ClickControlWithoutIdle(MainId::kProfile1 + static_cast<uint32_t>(Pick(0, 2)));
                break;
            case 7: {  // the keyboard's profile key, heard before the next step
                const uint64_t handled = rig.dlg->Link().EventsHandled();
                const bool heard = rig.sim->OpenReaders() > 0;
                rig.sim->SendEvent(InputEvent::kProfile, static_cast<uint8_t>(Pick(1, 3)));
                if (heard) Until([&] { return rig.dlg->Link().EventsHandled() > handled; });
                break;
            }
            case 8: {  // a macro recorded on the keyboard, without a name: newer than the user's
                // The simulator has no recording of its own: its state is set
                // whole, which must not undo a report the worker sends. A
                // command given before the import is merged would be planned
                // from the model without it, so the import is let through.
                if (rig.dlg->Session().Busy() || !rig.sim->IsPlugged() ||
                    !rig.dlg->Link().ListenerActive())
                    break;
                const int g = Pick(0, kGKeyCount - 1);
                SimKeyboardState board = rig.sim->State();
                const auto p = static_cast<size_t>(board.currentProfile);
                // The event names only the G key: the link files it under the
                // profile it last heard of, which a plug or a profile key may
                // not have told it yet.
                if (p >= board.profiles.size() ||
                    board.currentProfile != rig.dlg->Link().CurrentProfile())
                    break;
                m_userMacros[p][static_cast<size_t>(g)].clear();
                board.profiles[p].actions[static_cast<size_t>(g)] =
                    KeyAction{KeyActionType::kMacro, 0, 0};
                auto& record = board.profiles[p].macros[static_cast<size_t>(g)];
                record.fill(0);
                record[0] = record[1] = 0xFF;
                rig.sim->SetState(board);
                const uint64_t handled = rig.dlg->Link().EventsHandled();
                rig.sim->SendEvent(InputEvent::kMacroChanged, static_cast<uint8_t>(g + 1));
                rig.clock->Hold(false);
                Until([&] {
                    return rig.dlg->Link().EventsHandled() > handled && !rig.dlg->Session().Busy();
                });
                rig.clock->Hold(true);
                break;
            }
            case 9:
                rig.sim->Unplug();
                break;
            case 10:
                rig.sim->Plug();
                break;
        }
        Application::ProcessEvents();
    }

    // The run's operations and what the keyboard was told after the exit.
    std::string Told(const std::vector<std::string>& after) const {
        return "\n" + m_trace + "\n" + ::testing::PrintToString(after);
    }

    bool Enabled(uint32_t id) { return !m_rig->dlg->FindControl(id)->IsDisabled(); }

    // The keyboard's state against the model, for each unit nothing is
    // pending for.
    void ExpectAgreeingOrPending(const char* when) {
        SCOPED_TRACE(when);
        const KeyboardModel& model = m_rig->model;
        const SimKeyboardState board = m_rig->sim->State();
        for (int s = 0; s < kOnBoardProfileCount; ++s) {
            const auto i = static_cast<size_t>(s);
            const KeyboardProfile& profile = model.Profile(s);
            const SimProfileState& on = board.profiles[i];
            if (!model.pending.lightingPending[i]) {
                const LightingReportBytes lighting = EncodeLightingReport(profile, s);
                EXPECT_EQ(lighting[4], on.mode) << "lighting of profile " << s + 1;
                EXPECT_EQ(lighting[5], on.brightness) << "brightness of profile " << s + 1;
            }
            if (!model.pending.keyTablePending[i]) {
                const KeyTableReportBytes keys = EncodeKeyTableReport(profile, s);
                EXPECT_TRUE(std::equal(on.keys.begin(), on.keys.end(),
                                       keys.begin() + KeyTableReport::kTableOffset))
                    << "key table of profile " << s + 1;
                for (int g = 0; g < kGKeyCount; ++g) {
                    const size_t at = KeyTableReport::kActionsOffset + 3 * static_cast<size_t>(g);
                    const KeyAction& a = on.actions[static_cast<size_t>(g)];
                    EXPECT_EQ((KeyAction{keys[at], keys[at + 1], keys[at + 2]}), a)
                        << "G" << g + 1 << " of profile " << s + 1;
                }
            }
            const std::vector<std::string> names = KeyboardMacroNames(*m_rig->sim, s);
            for (int g = 0; g < kGKeyCount; ++g) {
                const GKeySlot& key = *profile.GKey(g);
                if (key.action.type != KeyActionType::kMacro ||
                    model.pending.macroPending[i][static_cast<size_t>(g)] ||
                    model.pending.keyTablePending[i])
                    continue;
                EXPECT_EQ(names[static_cast<size_t>(g)], key.name)
                    << "macro of G" << g + 1 << " of profile " << s + 1;
            }
        }
    }

    void ExpectUserMacrosKept() {
        for (int s = 0; s < kOnBoardProfileCount; ++s) {
            for (int g = 0; g < kGKeyCount; ++g) {
                const std::string& mine =
                    m_userMacros[static_cast<size_t>(s)][static_cast<size_t>(g)];
                const GKeySlot& key = *m_rig->model.Profile(s).GKey(g);
                if (mine.empty() || key.action.type != KeyActionType::kMacro) continue;
                EXPECT_EQ(key.name, mine) << "G" << g + 1 << " of profile " << s + 1;
            }
        }
    }

    void ExpectAllAgree() {
        const KeyboardModel& model = m_rig->model;
        const PendingWrites& pending = model.pending;
        for (int s = 0; s < kOnBoardProfileCount; ++s) {
            const auto i = static_cast<size_t>(s);
            EXPECT_FALSE(pending.lightingPending[i] || pending.keyTablePending[i]) << s;
            for (bool macro : pending.macroPending[i]) EXPECT_FALSE(macro) << s;
        }
        ExpectAgreeingOrPending("after Apply");
        EXPECT_EQ(m_rig->sim->State().currentProfile, model.CurrentSlot());
        // The files hold what the model holds.
        KeyboardModel files;
        files.settings = model.settings;
        ASSERT_TRUE(ReadSettingsFile(files.settings, m_rig->dir.path));
        EXPECT_EQ(files.settings.CurrentProfile(), model.settings.CurrentProfile());
        MacroLibrary library;
        ASSERT_TRUE(ReadMacroLibrary(library, m_rig->dir.path));
        for (int s = 0; s < kProfileSlotCount; ++s) {
            ASSERT_TRUE(ReadProfileFile(files, s));
            EXPECT_EQ(FormatProfile(files.Profile(s)), FormatProfile(model.Profile(s)))
                << "profile file " << s;
            for (int g = 0; g < kGKeyCount; ++g) {
                const GKeySlot& key = *model.Profile(s).GKey(g);
                if (key.action.type == KeyActionType::kMacro && s < kOnBoardProfileCount) {
                    EXPECT_NE(library.FindMacroKeyByName(key.name), nullptr) << key.name;
                }
            }
        }
    }

    // Exit at this point of whatever the worker is doing: the exchange in
    // flight and the goodbye, then the window closes.
    void Exit() {
        MainWindowRig& rig = *m_rig;
        const bool reading =
            rig.dlg->Session().Busy() && rig.dlg->Session().Progress().kind != DeviceJobKind::kWrite;
        const size_t before = rig.log.Lines().size();
        rig.tray.command(MainCommand::kExit);
        rig.clock->Hold(false);
        EXPECT_TRUE(Until([&] { return rig.closed; })) << "the exit waited";
        const std::vector<std::string> lines = rig.log.Lines();
        std::vector<std::string> after(lines.begin() + static_cast<std::ptrdiff_t>(before),
                                       lines.end());
        int gets = 0;
        int selects = 0;
        for (const std::string& l : after) {
            gets += l.starts_with("get") ? 1 : 0;
            selects += l.starts_with("set 04") ? 1 : 0;
        }
        EXPECT_LE(gets, 1) << "a read goes no further than its exchange in flight" << Told(after);
        EXPECT_EQ(selects, 0);
        std::vector<std::string> sets;
        for (const std::string& l : after)
            if (l.starts_with("set ")) sets.push_back(l);
        // Without the keyboard the goodbye goes nowhere.
        if (!sets.empty()) {
            EXPECT_EQ(sets.back().substr(0, 12), "set 05 03 07");
        }
        if (reading) {
            EXPECT_LE(sets.size(), 1u) << "only the goodbye after a read" << Told(after);
        }
        if (rig.sim->IsPlugged()) ExpectAgreeingOrPending("after the exit");
        ExpectUserMacrosKept();
        m_rig.reset();
    }

    std::mt19937 m_random;
    std::string m_trace;  // the operations of the run, printed when it fails
    std::unique_ptr<MainWindowRig> m_rig;
    // The macro the user gave each G key of the on-board profiles, until a
    // reset or the keyboard's own recording replaces it.
    std::array<std::array<std::string, kGKeyCount>, kOnBoardProfileCount> m_userMacros{};
};

TEST(MainWindowInterleaving, TheWindowTheFilesAndTheKeyboardAgreeOrWhatDiffersIsPending) {
    const int runs = EnvNumber("LUMBRA_INTERLEAVING_RUNS", kDefaultRuns);
    const auto seed = static_cast<uint32_t>(EnvNumber("LUMBRA_INTERLEAVING_SEED", 23));
    Interleaving interleaving(seed);
    for (int run = 0; run < runs && !HasFailure(); ++run) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", run " + std::to_string(run));
        interleaving.Run();
    }
}

}  // namespace
}  // namespace lumbra::test
