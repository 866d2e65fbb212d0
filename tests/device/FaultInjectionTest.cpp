// SPDX-License-Identifier: GPL-3.0-or-later
// Every exchange of an operation failing in turn. Each operation runs once
// cleanly; then, for every set, get and read that run made, a fresh keyboard
// and model go through it again with exactly that exchange failing. After
// each run every unit the keyboard or the model commits whole must hold its
// state from before or its state after the clean run, and the files must
// read back as one of the two.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "storage/HexText.h"
#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "storage/TextFile.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::LinkRig;

// ---- the units an operation may change, each as one text ------------------

using Units = std::map<std::string, std::string>;

const std::string kAbsent = "(absent)";

std::string Hex(std::span<const uint8_t> bytes) {
    std::string out;
    for (uint8_t b : bytes) AppendHexByte(out, b);
    return out;
}

std::string Hex(const KeyAction& a) { return Hex(std::array{a.type, a.param1, a.param2}); }

std::string Pair(int a, int b) { return std::to_string(a) + " " + std::to_string(b); }

// A lighting value, a key table with its G-key actions, a G key's name, a
// macro, the current profile: on the PC and on the keyboard.
Units Snapshot(LinkRig& rig) {
    Units u;
    const KeyboardModel& m = rig.model;
    u["pc current"] = m.settings.Value(0) + " link " + std::to_string(rig.link->CurrentProfile());
    for (int s = 0; s < kProfileSlotCount; ++s) {
        const KeyboardProfile& p = m.Profile(s);
        const std::string n = std::to_string(s);
        u["pc lighting " + n] = p.PairValue(1) + " " + p.PairValue(2);
        std::string keys = Hex(p.Keys());
        for (int g = 0; g < kGKeyCount; ++g) {
            const GKeySlot& key = *p.GKey(g);
            keys += " " + Hex(key.action);
            u["pc gkey " + Pair(s, g)] = key.name + " " + key.launchPath;
        }
        u["pc keys " + n] = keys;
    }
    for (uint32_t set = 0; set < rig.library.MacroSetNum(); ++set) {
        for (uint32_t i = 0; i < rig.library.SetAt(set)->MacroKeyNum(); ++i) {
            const MacroKey& key = *rig.library.SetAt(set)->KeyAt(i);
            u["macro " + std::to_string(set) + " " + key.name] = FormatMacroKeyFile(key);
        }
    }
    std::string pending;
    for (int s = 0; s < kProfileSlotCount; ++s) {
        const auto i = static_cast<size_t>(s);
        pending += m.pending.lightingPending[i] ? 'L' : '-';
        pending += m.pending.keyTablePending[i] ? 'K' : '-';
        for (bool macro : m.pending.macroPending[i]) pending += macro ? 'M' : '-';
        pending += ' ';
    }
    u["pending"] = pending;
    u["library changed"] = rig.link->LibraryChanged() ? "yes" : "no";

    const SimKeyboardState board = rig.sim->State();
    u["board current"] = std::to_string(board.currentProfile);
    for (int s = 0; s < kOnBoardProfileCount; ++s) {
        const SimProfileState& p = board.profiles[static_cast<size_t>(s)];
        const std::string n = std::to_string(s);
        u["board lighting " + n] = Hex(std::array{p.mode, p.brightness});
        std::string keys = Hex(p.keys);
        for (const KeyAction& a : p.actions) keys += " " + Hex(a);
        u["board keys " + n] = keys;
        for (int g = 0; g < kGKeyCount; ++g)
            u["board macro " + Pair(s, g)] = Hex(p.macros[static_cast<size_t>(g)]);
    }
    return u;
}

std::string At(const Units& units, const std::string& name) {
    const auto it = units.find(name);
    return it == units.end() ? kAbsent : it->second;
}

// Names every unit in a set of units that must stay old.
const std::string kEveryUnit = "*";

// Every unit holds its old or its new state and never a third; the ones
// `own` names (those of the failed exchange) the old, all others the new.
void ExpectOldOrNew(const Units& old, const Units& fresh, const Units& now,
                    const std::set<std::string>& own) {
    std::set<std::string> names;
    for (const Units* units : {&old, &fresh, &now})
        for (const auto& [name, text] : *units) names.insert(name);
    for (const std::string& name : names) {
        const std::string o = At(old, name), f = At(fresh, name), n = At(now, name);
        if (n != o && n != f) {
            ADD_FAILURE() << name << " is neither old nor new:\n  old " << o << "\n  new " << f
                          << "\n  now " << n;
        } else if (own.contains(name) || own.contains(kEveryUnit)) {
            EXPECT_EQ(n, o) << name << " should have stayed old";
        } else {
            EXPECT_EQ(n, f) << name << " should be new";
        }
    }
}

// ---- files -------------------------------------------------------------------

struct Files {
    std::string library;
    std::array<std::string, kProfileSlotCount> profiles;
};

Files ReadFiles(LinkRig& rig) {
    Files files;
    files.library = ReadWholeFile(MacroLibraryFilePath(rig.dir.path)).value_or(kAbsent);
    for (int s = 0; s < kProfileSlotCount; ++s) {
        files.profiles[static_cast<size_t>(s)] =
            ReadWholeFile(rig.model.settings.SlotPath(s)).value_or(kAbsent);
    }
    return files;
}

void WriteAllFiles(LinkRig& rig) {
    ASSERT_TRUE(WriteMacroLibrary(rig.library, rig.dir.path));
    for (int s = 0; s < kProfileSlotCount; ++s) ASSERT_TRUE(WriteProfileFile(rig.model, s));
}

// Each file is untouched, or reads back whole and holds what the model and
// the library hold now (whose units the caller has checked).
void ExpectFilesSound(LinkRig& rig, const Files& before) {
    const Files now = ReadFiles(rig);
    if (now.library != before.library) {
        MacroLibrary read;
        EXPECT_TRUE(ParseMacroLibrary(now.library, read));
        EXPECT_EQ(now.library, FormatMacroLibrary(rig.library));
    }
    for (int s = 0; s < kProfileSlotCount; ++s) {
        const std::string& text = now.profiles[static_cast<size_t>(s)];
        if (text == before.profiles[static_cast<size_t>(s)]) continue;
        KeyboardProfile read;
        EXPECT_TRUE(ParseProfile(text, read)) << "profile file " << s;
        EXPECT_EQ(text, FormatProfile(rig.model.Profile(s))) << "profile file " << s;
    }
}

// ---- the exchanges of a run --------------------------------------------------

const char* Word(SimFault kind) {
    return kind == SimFault::kSet ? "set" : kind == SimFault::kGet ? "get" : "in";
}

bool IsOf(const std::string& line, SimFault kind) {
    return line.starts_with(std::string(Word(kind)) + " ");
}

std::vector<uint8_t> LineBytes(std::string line) {
    if (line.ends_with(" FAIL")) line.resize(line.size() - 5);
    return test::Bytes(line.substr(line.find(' ') + 1));
}

// What an exchange of a clean run carried: "profile", "lighting 1", "keys 2",
// "fetch 0 3" (a macro's get), "write 0 3" (a macro's set), "reset 1",
// "event 01 04". A select is named after the get it prepares.
std::string LabelOf(const std::vector<std::string>& log, size_t at) {
    const std::string& line = log[at];
    if (line.starts_with("in ")) return "event " + line.substr(6, 5);  // its code and argument
    const std::vector<uint8_t> b = LineBytes(line);
    const bool set = line.starts_with("set ");
    switch (b.at(0)) {
        case SelectReport::kId:
            for (size_t i = at + 1; i < log.size(); ++i)
                if (log[i].starts_with("get ")) return LabelOf(log, i);
            return "select";
        case ProfileReport::kId:
            return "profile";
        case LightingReport::kId:
            return "lighting " + std::to_string(b.at(LightingReport::kSlotOffset));
        case KeyTableReport::kId:
            return "keys " + std::to_string(b.at(KeyTableReport::kSlotOffset));
        case MacroReport::kId:
            return (set ? "write " : "fetch ") +
                   Pair(b.at(MacroReport::kSlotOffset), b.at(MacroReport::kGKeyOffset));
        case ResetReport::kId:
            return "reset " + std::to_string(b.at(ResetReport::kSlotOffset));
        default:
            return "?";
    }
}

// A failed exchange shows neither its answer nor, for a select, the get it
// would have prepared; it is named after the exchange of the clean run that
// is the same in order among those of its direction and report: "set 04",
// "get 07", "in".
std::string LabelInFaultyRun(const std::vector<std::string>& log, size_t at,
                             const std::vector<std::string>& clean) {
    const auto kindOf = [](const std::string& l) {
        return l.starts_with("in ") ? "in" : l.substr(0, 6);
    };
    const std::string kind = kindOf(log[at]);
    const auto same = [&](const std::string& l) { return kindOf(l) == kind; };
    auto before = std::count_if(log.begin(), log.begin() + static_cast<ptrdiff_t>(at), same);
    for (size_t i = 0; i < clean.size(); ++i)
        if (same(clean[i]) && before-- == 0) return LabelOf(clean, i);
    return "?";
}

std::vector<std::string> Labels(const std::vector<std::string>& log, SimFault kind) {
    std::vector<std::string> labels;
    for (size_t i = 0; i < log.size(); ++i)
        if (IsOf(log[i], kind)) labels.push_back(LabelOf(log, i));
    return labels;
}

// The k-th exchange of that kind failed, and with `onward` every later one of
// that kind; nothing else. The labels of the failed exchanges.
std::set<std::string> ExpectFailed(const std::vector<std::string>& log,
                                   const std::vector<std::string>& clean, SimFault kind, int k,
                                   bool onward) {
    std::set<std::string> failed;
    int index = 0;
    for (size_t i = 0; i < log.size(); ++i) {
        const bool of = IsOf(log[i], kind);
        if (of) ++index;
        const bool shouldFail = of && (onward ? index >= k : index == k);
        EXPECT_EQ(log[i].ends_with(" FAIL"), shouldFail) << log[i];
        if (shouldFail) failed.insert(LabelInFaultyRun(log, i, clean));
    }
    EXPECT_GE(index, k);
    return failed;
}

struct Operation {
    // Brings a fresh rig into the state before the operation.
    std::function<void(LinkRig&)> prepare;
    std::function<void(LinkRig&)> run;
    // The units that keep their old state when the exchanges of these labels fail.
    std::function<std::set<std::string>(const std::set<std::string>& failed)> ownUnits;
};

// Units that stay old for each failed exchange on its own.
std::function<std::set<std::string>(const std::set<std::string>&)> EachLabel(
    std::function<std::set<std::string>(const std::string&)> own) {
    return [own](const std::set<std::string>& failed) {
        std::set<std::string> units;
        for (const std::string& label : failed) units.merge(own(label));
        return units;
    };
}

struct CleanRun {
    Units old;
    Units fresh;
    std::vector<std::string> log;
};

CleanRun RunCleanly(const Operation& op) {
    CleanRun clean;
    LinkRig rig;
    op.prepare(rig);
    clean.old = Snapshot(rig);
    const Files before = ReadFiles(rig);
    rig.log.Take();
    op.run(rig);
    clean.log = rig.log.Take();
    clean.fresh = Snapshot(rig);
    ExpectFilesSound(rig, before);
    return clean;
}

// The operation again for each exchange of the clean run: that one failing,
// then that one and every later one of its kind (the keyboard stops
// answering half-way, as when it is pulled out).
void RunWithEachFault(const Operation& op, const CleanRun& clean) {
    constexpr int kAllLater = 1000;
    for (SimFault kind : {SimFault::kSet, SimFault::kGet, SimFault::kRead}) {
        const std::vector<std::string> labels = Labels(clean.log, kind);
        for (int k = 1; k <= static_cast<int>(labels.size()); ++k) {
            for (bool onward : {false, true}) {
                SCOPED_TRACE(std::string(Word(kind)) + " " + std::to_string(k) + " (" +
                             labels[static_cast<size_t>(k - 1)] + ")" +
                             (onward ? " and every later one fail" : " fails"));
                LinkRig rig;
                op.prepare(rig);
                const Files before = ReadFiles(rig);
                rig.log.Take();
                rig.sim->FailNth(kind, k, onward ? kAllLater : 1);
                op.run(rig);
                const std::set<std::string> failed =
                    ExpectFailed(rig.log.Take(), clean.log, kind, k, onward);
                ExpectOldOrNew(clean.old, clean.fresh, Snapshot(rig), op.ownUnits(failed));
                ExpectFilesSound(rig, before);
            }
        }
    }
}

// The units of one G key's macro: the G key's name, the macro it names and
// the keyboard's record.
std::set<std::string> MacroUnits(int slot, int g, const std::string& name) {
    return {"pc gkey " + Pair(slot, g), "macro 0 " + name, "board macro " + Pair(slot, g)};
}

// A keyboard's macro record (bytes 8..225 of the report): a name, or none,
// and a press and a release of A.
std::array<uint8_t, SimProfileState::kMacroRecordLength> Record(const std::string& name) {
    std::array<uint8_t, SimProfileState::kMacroRecordLength> r{};
    if (name.empty()) {
        r[0] = r[1] = MacroReport::kNoNameByte;
    } else {
        std::copy(name.begin(), name.end(), r.begin());
    }
    constexpr size_t kCount = MacroReport::kCountOffset - MacroReport::kNameOffset;
    r[kCount] = 2;
    r[kCount + 1] = 0x04;
    r[kCount + 3] = 0x04;
    r[kCount + 4] = 0x8A;
    return r;
}

// A keyboard unlike the factory in every unit of its three profiles.
SimKeyboardState UnusualKeyboard() {
    SimKeyboardState state = SimKeyboardState::Factory();
    state.currentProfile = 1;
    for (int s = 0; s < kOnBoardProfileCount; ++s) {
        SimProfileState& p = state.profiles[static_cast<size_t>(s)];
        p.mode = static_cast<uint8_t>(3 + 2 * s);
        p.brightness = static_cast<uint8_t>(s == 0 ? 24 : s);
        p.keys[static_cast<size_t>(s)] = 0x04;
        p.actions[4] = KeyAction{0x06, 0x01, 0x20};
    }
    state.profiles[0].actions[0] = KeyAction{KeyActionType::kMacro, 0, 0};
    state.profiles[0].macros[0] = Record("Other");
    state.profiles[1].actions[1] = KeyAction{KeyActionType::kMacro, 0, 0};
    state.profiles[1].macros[1] = Record("Hello");
    state.profiles[2].actions[3] = KeyAction{KeyActionType::kMacro, 0, 0};
    state.profiles[2].macros[3] = Record("");
    return state;
}

void ExpectDiffer(const CleanRun& clean, const std::set<std::string>& units) {
    for (const std::string& u : units)
        EXPECT_NE(At(clean.old, u), At(clean.fresh, u)) << u << " does not tell old from new";
}

// ---- the operations ----------------------------------------------------------

TEST(FaultInjection, ReadBackKeepsEachUnitOldOrNew) {
    Operation op;
    op.prepare = [](LinkRig& rig) {
        rig.sim->SetState(UnusualKeyboard());
        // The PC agrees on which G keys hold macros, so that a failed key
        // table does not change which macros are fetched.
        const std::tuple<int, int, const char*> macros[] = {
            {0, 0, "Other"}, {1, 1, "Old1"}, {2, 3, "Old2"}};
        for (const auto& [s, g, name] : macros) {
            GKeySlot& key = *rig.model.Profile(s).GKey(g);
            key.name = name;
            key.action = KeyAction{KeyActionType::kMacro, 0, 0};
        }
        rig.model.settings.SetCurrentProfile(2);
        rig.library.SetAt(0)->AddKey("Other")->InsertAction(0, MacroAction::KeyEvent(0x5A, false));
        WriteAllFiles(rig);
        rig.link->InitDeviceLink();
        rig.link->FindKeyboard();
        ASSERT_TRUE(rig.WaitFor([&] { return rig.link->ListenerRun(); }));
        rig.model.pending.MarkLighting(1);
        rig.model.pending.MarkKeyTable(4);
        rig.model.pending.MarkMacro(2, 3);
    };
    op.run = [](LinkRig& rig) {
        rig.link->ReadBackAll();
        rig.Idle();
    };
    op.ownUnits = EachLabel([](const std::string& label) -> std::set<std::string> {
        // Without the current profile the read-back reads nothing else.
        if (label == "profile") return {kEveryUnit};
        if (label.starts_with("lighting ")) return {"pc " + label};
        if (label.starts_with("keys ")) return {"pc " + label};
        if (label == "fetch 0 0") return MacroUnits(0, 0, "Other");
        if (label == "fetch 1 1") return MacroUnits(1, 1, "Hello");
        if (label == "fetch 2 3") return MacroUnits(2, 3, "Profile3_G4");
        if (label == "write 2 3") return {"board macro 2 3"};
        ADD_FAILURE() << "unexpected exchange " << label;
        return {};
    });
    const CleanRun clean = RunCleanly(op);
    // What is pending (lighting 1, the macro of G4 in profile 3) is newer
    // than the keyboard's: neither read into the model nor fetched.
    ASSERT_EQ(Labels(clean.log, SimFault::kGet).size(), 9u);
    ASSERT_EQ(Labels(clean.log, SimFault::kSet).size(), 8u);
    ExpectDiffer(clean, {"pc current", "pc lighting 0", "pc lighting 2", "pc keys 0", "pc keys 1",
                         "pc keys 2", "pc gkey 1 1", "macro 0 Other", "macro 0 Hello"});
    EXPECT_EQ(At(clean.fresh, "pc current"), "1 link 1");
    EXPECT_EQ(At(clean.fresh, "pc lighting 0"), "2 24");
    EXPECT_EQ(At(clean.fresh, "pc gkey 2 3"), "Old2 ");
    EXPECT_EQ(At(clean.fresh, "library changed"), "no");
    RunWithEachFault(op, clean);
}

TEST(FaultInjection, FlushKeepsEachOnBoardUnitOldOrNewAndClearsItsFlagsAnyway) {
    Operation op;
    op.prepare = [](LinkRig& rig) {
        rig.Start();
        for (int s = 0; s < kProfileSlotCount; ++s) {
            KeyboardProfile& p = rig.model.Profile(s);
            p.SetLightColor(s + 2);
            p.SetLightBrightness(4);
            p.Keys()[static_cast<size_t>(s)] = 0x07;
            p.GKey(1)->action = KeyAction{0x06, 0x02, 0x21};
            rig.model.pending.MarkLighting(s);
            rig.model.pending.MarkKeyTable(s);
        }
        const std::pair<int, int> macros[] = {{0, 1}, {1, 4}, {2, 0}, {3, 2}};
        for (const auto& [s, g] : macros) {
            const std::string name = "M" + std::to_string(s);
            rig.model.Profile(s).GKey(g)->name = name;
            rig.library.SetAt(0)->AddKey(name)->InsertAction(0, MacroAction::KeyEvent(0x41, false));
            rig.model.pending.MarkMacro(s, g);
        }
    };
    op.run = [](LinkRig& rig) {
        rig.link->FlushPendingWrites();
        rig.Idle();
    };
    op.ownUnits = EachLabel([](const std::string& label) -> std::set<std::string> {
        const std::string slots = label.substr(label.find(' ') + 1);
        if (label.starts_with("lighting ")) return {"board lighting " + slots};
        if (label.starts_with("keys ")) return {"board keys " + slots};
        if (label.starts_with("write ")) return {"board macro " + slots};
        ADD_FAILURE() << "unexpected exchange " << label;
        return {};
    });
    const CleanRun clean = RunCleanly(op);
    ASSERT_EQ(Labels(clean.log, SimFault::kSet).size(), 9u);
    ExpectDiffer(clean, {"board lighting 0", "board lighting 2", "board keys 1", "board macro 0 1",
                         "board macro 1 4", "board macro 2 0", "pending"});
    // The flags of the on-board profiles are cleared before their writes,
    // whatever the writes do; those of the PC's own profiles stay.
    EXPECT_EQ(At(clean.fresh, "pending"), "------- ------- ------- LK--M-- LK----- ");
    RunWithEachFault(op, clean);
}

TEST(FaultInjection, ResetExchangesLeaveEachOnBoardProfileWholeOrFactory) {
    Operation op;
    op.prepare = [](LinkRig& rig) {
        rig.sim->SetState(UnusualKeyboard());
        rig.Start();
        // The reset commands reset the model first; the keyboard follows.
        for (int p = 0; p < kOnBoardProfileCount; ++p) rig.model.Profile(p).ResetDefaults(p);
    };
    op.run = [](LinkRig& rig) {
        for (int p = 0; p < kOnBoardProfileCount; ++p) {
            rig.Send([&](WritePlan& plan) { rig.link->AddLightingWrite(plan, p); });
            rig.Send([&](WritePlan& plan) { rig.link->AddKeyTableWrite(plan, p); });
            rig.Send([&](WritePlan& plan) { rig.link->AddResetWrite(plan, p); });
        }
        rig.Send([&](WritePlan& plan) { rig.link->AddCurrentProfileWrite(plan, 0); });
    };
    op.ownUnits = [](const std::set<std::string>& failed) {
        std::set<std::string> own;
        if (failed.contains("profile")) own = {"board current", "pc current"};
        // The reset report puts back what a failed lighting or key-table write
        // left behind; only when it fails too do those stay old.
        for (int p = 0; p < kOnBoardProfileCount; ++p) {
            const std::string n = std::to_string(p);
            if (!failed.contains("reset " + n)) continue;
            for (int g = 0; g < kGKeyCount; ++g) own.insert("board macro " + Pair(p, g));
            if (failed.contains("lighting " + n)) own.insert("board lighting " + n);
            if (failed.contains("keys " + n)) own.insert("board keys " + n);
        }
        return own;
    };
    const CleanRun clean = RunCleanly(op);
    ASSERT_EQ(Labels(clean.log, SimFault::kSet).size(), 10u);
    ExpectDiffer(clean, {"board current", "pc current", "board lighting 1", "board keys 2",
                         "board macro 0 0", "board macro 1 1", "board macro 2 3"});
    RunWithEachFault(op, clean);
}

// Two macros recorded on the keyboard with a profile switch between them:
// the first without a name on profile 1, the second one that the library
// already holds under its name with other steps, on profile 2.
TEST(FaultInjection, ListenerMacroImportKeepsEachMacroOldOrNew) {
    Operation op;
    op.prepare = [](LinkRig& rig) {
        SimKeyboardState state = SimKeyboardState::Factory();
        state.profiles[0].macros[3] = Record("");
        state.profiles[1].macros[1] = Record("Rec");
        rig.sim->SetState(state);
        rig.Start();
        rig.library.SetAt(0)->AddKey("Rec")->InsertAction(0, MacroAction::KeyEvent(0x5A, false));
        WriteAllFiles(rig);
    };
    op.run = [](LinkRig& rig) {
        rig.sim->SendEvent(0x01, 4);
        rig.sim->SendEvent(0x05, 2);
        rig.sim->SendEvent(0x01, 2);
        rig.sim->SendEvent(0x09, 1);
        ASSERT_TRUE(rig.WaitFor([&] {
            return !rig.link->ListenerActive() ||
                   (!rig.window.notices.empty() && rig.window.notices.back() == 7);
        }));
        rig.Idle();
    };
    op.ownUnits = EachLabel([](const std::string& label) -> std::set<std::string> {
        std::set<std::string> first = MacroUnits(0, 3, "Profile1_G4");
        first.insert("pc keys 0");
        std::set<std::string> second = MacroUnits(1, 1, "Rec");
        second.insert("pc keys 1");
        // A failed read ends the listener: that event and all after it are lost.
        std::set<std::string> own;
        if (label == "event 01 04") own.insert(first.begin(), first.end());
        if (label == "event 01 04" || label == "event 05 02") own.insert("pc current");
        if (label.starts_with("event ") && label != "event 09 01")
            own.insert(second.begin(), second.end());
        if (label == "fetch 0 3") return first;
        if (label == "fetch 1 1") return second;
        if (label == "write 0 3") return {"board macro 0 3"};
        if (label == "write 1 1") return {"board macro 1 1"};
        return own;
    });
    const CleanRun clean = RunCleanly(op);
    ASSERT_EQ(Labels(clean.log, SimFault::kRead).size(), 4u);
    ASSERT_EQ(Labels(clean.log, SimFault::kSet).size(), 4u);
    ASSERT_EQ(Labels(clean.log, SimFault::kGet).size(), 2u);
    ExpectDiffer(clean, {"pc current", "pc gkey 0 3", "pc keys 0", "macro 0 Profile1_G4",
                         "board macro 0 3", "pc gkey 1 1", "pc keys 1", "macro 0 Rec"});
    EXPECT_EQ(At(clean.fresh, "pc gkey 0 3"), "Profile1_G4 ");
    RunWithEachFault(op, clean);
}

}  // namespace
}  // namespace lumbra
