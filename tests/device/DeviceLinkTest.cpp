// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "device/DeviceLink.h"
#include "storage/MacroFiles.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::LinkRig;

std::vector<std::string> FixtureLines(const std::string& name) {
    std::ifstream in(std::string(LUMBRA_TEST_DATA_DIR) + "device/" + name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::string Zeros(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += " 00";
    return s;
}

// The first words of a line: "set 07 0D 02" of a lighting set.
std::string Head(const std::string& line, int words) {
    size_t at = 0;
    for (int i = 0; i < words && at != std::string::npos; ++i) at = line.find(' ', at + 1);
    return line.substr(0, at);
}

// The simulator behind foreign interfaces, and with the keyboard's answer to
// the profile request changed on demand.
class WrappedBackend final : public HidBackend {
public:
    WrappedBackend(std::shared_ptr<KeyboardSimulator> sim, int foreignBefore)
        : m_sim(std::move(sim)), m_foreign(foreignBefore) {}

    std::vector<HidInterfaceInfo> Enumerate() override {
        std::vector<HidInterfaceInfo> all;
        for (int i = 0; i < m_foreign; ++i) {
            all.push_back({0x046D, 0xC31C, kListenerUsagePage, 8, "foreign" + std::to_string(i)});
        }
        for (const HidInterfaceInfo& info : m_sim->Enumerate()) all.push_back(info);
        return all;
    }
    std::unique_ptr<HidHandle> OpenPath(const std::string& path) override {
        if (AccessDenied(path)) return nullptr;
        if (path.starts_with("foreign")) return std::make_unique<ForeignHandle>();
        auto inner = m_sim->OpenPath(path);
        if (!inner || profileAnswer < 0) return inner;
        return std::make_unique<ProfileTweak>(std::move(inner), profileAnswer);
    }
    bool AccessDenied(const std::string& path) override { return denied.contains(path); }
    int profileAnswer = -1;
    std::set<std::string> denied;  // paths the user may not open

private:
    struct ForeignHandle final : HidHandle {
        bool SendFeatureReport(std::span<const uint8_t>) override { return false; }
        bool GetFeatureReport(std::span<uint8_t>) override { return false; }
        int Read(std::span<uint8_t>) override { return -1; }
        bool InterruptRead() override { return true; }
    };
    struct ProfileTweak final : HidHandle {
        ProfileTweak(std::unique_ptr<HidHandle> h, int v) : inner(std::move(h)), value(v) {}
        bool SendFeatureReport(std::span<const uint8_t> r) override {
            return inner->SendFeatureReport(r);
        }
        bool GetFeatureReport(std::span<uint8_t> b) override {
            const bool ok = inner->GetFeatureReport(b);
            if (ok && b[0] == ProfileReport::kId) b[2] = static_cast<uint8_t>(value);
            return ok;
        }
        int Read(std::span<uint8_t> b) override { return inner->Read(b); }
        bool InterruptRead() override { return inner->InterruptRead(); }
        std::unique_ptr<HidHandle> inner;
        int value;
    };
    std::shared_ptr<KeyboardSimulator> m_sim;
    int m_foreign;
};

TEST(DeviceLink, FactoryKeyboardReadBackSendsTheExactSequence) {
    LinkRig rig;
    rig.model.Profile(0).SetLightColor(5);
    rig.model.Profile(2).GKey(1)->action = KeyAction{0x06, 0x01, 0x1F};
    rig.model.settings.SetCurrentProfile(3);
    rig.Start();
    EXPECT_EQ(rig.log.Take(), FixtureLines("factory-readback.txt"));
    EXPECT_FALSE(rig.link->NeedReadBack());
    EXPECT_EQ(rig.link->CurrentProfile(), 0);
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 0);
    EXPECT_EQ(rig.model.Profile(0).LightColor(), 1);
    EXPECT_EQ(rig.model.Profile(2).GKey(1)->action, KeyAction{});
    EXPECT_EQ(rig.model.Profile(1).Keys(), kDefaultKeyTable);
    EXPECT_EQ(rig.window.refreshes, 1);
    EXPECT_FALSE(std::filesystem::exists(MacroLibraryFilePath(rig.dir.path)));

    // A second read-back waits for the next arrival.
    rig.link->ReadBackAll();
    EXPECT_TRUE(rig.log.Take().empty());
}

SimKeyboardState KeyboardWithMacros() {
    SimKeyboardState state = SimKeyboardState::Factory();
    state.currentProfile = 1;
    state.profiles[0].mode = 3;  // the model's mode 2
    state.profiles[0].brightness = 24;
    state.profiles[1].actions[1] = KeyAction{0x01, 0, 0};
    auto& hello = state.profiles[1].macros[1];
    hello.fill(0);
    const std::string name = "Hello";
    std::copy(name.begin(), name.end(), hello.begin());
    hello[25] = 2;     // byte 33: two entries
    hello[26] = 0x04;  // press A
    hello[27] = 0x00;
    hello[28] = 0x04;  // release A after 80 ms
    hello[29] = 0x8A;
    state.profiles[2].actions[3] = KeyAction{0x01, 0, 0};  // stored macro without a name
    return state;
}

TEST(DeviceLink, ReadBackFetchesMacrosAndNamesTheNamelessOnes) {
    LinkRig rig;
    rig.sim->SetState(KeyboardWithMacros());
    rig.Start();
    const std::vector<std::string> log = rig.log.Take();
    ASSERT_EQ(log.size(), 25u + 10u);
    EXPECT_EQ(log[0], "get 05 03 01");
    EXPECT_EQ(log[3], "get 07 0D 00 00 03 18");
    const std::vector<std::string> macros(log.begin() + 25, log.end());
    const std::vector<std::string> expected = {
        "set 04 01 01",
        "sleep 8",
        "get 08 E2 01 01 00 00 00 00 48 65 6C 6C 6F" + Zeros(19) + " 00 02 04 00 04 8A" +
            Zeros(188),
        "sleep 8",
        "set 04 02 03",
        "sleep 8",
        "get 08 E2 02 03 00 00 00 00 FF FF" + Zeros(216),
        "sleep 8",
        "set 08 E2 02 03 00 00 00 00 50 72 6F 66 69 6C 65 33 5F 47 34" + Zeros(13) + " 00 00" +
            Zeros(192),
        "sleep 350",
    };
    EXPECT_EQ(macros, expected);

    EXPECT_EQ(rig.model.settings.CurrentProfile(), 1);
    EXPECT_EQ(rig.model.Profile(0).LightColor(), 2);
    EXPECT_EQ(rig.model.Profile(0).LightBrightness(), 24);
    EXPECT_EQ(rig.model.Profile(1).GKey(1)->name, "Hello");
    EXPECT_EQ(rig.model.Profile(2).GKey(3)->name, "Profile3_G4");
    const MacroKey* hello = rig.library.FindMacroKeyByName("Hello");
    ASSERT_NE(hello, nullptr);
    ASSERT_EQ(hello->MacroActionNum, 3u);
    EXPECT_EQ(hello->AllAction[1], MacroAction::Pause(80));
    ASSERT_NE(rig.library.FindMacroKeyByName("Profile3_G4"), nullptr);

    // The library reached its file and the keyboard now keeps the name.
    MacroLibrary fromFile;
    ASSERT_TRUE(ReadMacroLibrary(fromFile, rig.dir.path));
    EXPECT_NE(fromFile.FindMacroKeyByName("Hello"), nullptr);
    EXPECT_FALSE(rig.link->LibraryChanged());
    EXPECT_EQ(rig.sim->State().profiles[2].macros[3][0], 'P');
}

TEST(DeviceLink, ReadBackReusesAMacroOfTheSameName) {
    LinkRig rig;
    MacroKey* old = rig.library.SetAt(0)->AddKey("Hello");
    old->InsertAction(0, MacroAction::KeyEvent(0x5A, false));
    rig.sim->SetState(KeyboardWithMacros());
    rig.Start();
    EXPECT_EQ(rig.library.SetAt(0)->MacroKeyNum(), 2u);
    EXPECT_EQ(old->AllAction[0], MacroAction::KeyEvent(0x41, false));
}

// The keyboard keeps 24 bytes of a name; a G key naming the second of two
// names that share them keeps that name and fills that macro.
TEST(DeviceLink, ReadBackKeepsALongNameWholeAndFillsItsOwnMacro) {
    LinkRig rig;
    MacroKey* first = rig.library.SetAt(0)->AddKey("宏一二三四五六七八九十二");
    MacroKey* second = rig.library.SetAt(0)->AddKey("宏一二三四五六七八");
    rig.model.Profile(1).GKey(1)->name = second->name;
    SimKeyboardState state = KeyboardWithMacros();
    const std::string_view kept = FitMacroNameToField(second->name);
    std::copy(kept.begin(), kept.end(), state.profiles[1].macros[1].begin());
    rig.sim->SetState(state);
    rig.Start();
    EXPECT_EQ(rig.model.Profile(1).GKey(1)->name, "宏一二三四五六七八");
    EXPECT_EQ(rig.library.SetAt(0)->MacroKeyNum(), 3u) << "and the made-up one of profile 3";
    EXPECT_EQ(second->MacroActionNum, 3u);
    EXPECT_EQ(first->MacroActionNum, 0u);
}

TEST(DeviceLink, MergeIntoALibraryWithoutSetsOnlyNamesTheGKey) {
    LinkRig rig;
    rig.library.Clear();
    rig.sim->SetState(KeyboardWithMacros());
    rig.Start();
    EXPECT_EQ(rig.library.MacroSetNum(), 0u);
    EXPECT_EQ(rig.model.Profile(1).GKey(1)->name, "Hello");
    EXPECT_EQ(rig.model.Profile(2).GKey(3)->name, "Profile3_G4");
    // With nowhere to keep the made-up macro, nothing is sent back.
    for (const std::string& line : rig.log.Take()) EXPECT_FALSE(line.starts_with("set 08")) << line;
}

TEST(DeviceLink, ProfileOutsideTheOnBoardOnesEndsTheReadBack) {
    auto sim = std::make_shared<KeyboardSimulator>();
    auto backend = std::make_shared<WrappedBackend>(sim, 0);
    backend->profileAnswer = 0x0D;
    LinkRig rig(backend);
    rig.Start();
    EXPECT_EQ(rig.link->CurrentProfile(), 5);
    EXPECT_FALSE(rig.link->NeedReadBack());
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 0);
    EXPECT_EQ(rig.window.refreshes, 0);
}

TEST(DeviceLink, FailedReadsLeaveTheModelAsItWas) {
    LinkRig rig;
    rig.sim->SetState(KeyboardWithMacros());
    rig.link->InitDeviceLink();
    rig.link->FindKeyboard();
    rig.model.settings.SetCurrentProfile(2);
    const KeyboardModel before = rig.model;

    rig.sim->FailNext(SimFault::kGet, 1);
    rig.link->ReadBackAll();  // the profile request fails: no profile 0 made up
    rig.Idle();
    EXPECT_EQ(rig.link->CurrentProfile(), -1);
    EXPECT_EQ(rig.model.settings.CurrentProfile(), 2);
    EXPECT_EQ(rig.log.Take(), std::vector<std::string>{"get 05 00 00 FAIL"});

    // Every get after the profile's fails: the lighting, the key tables and
    // the macro of a G key the model names stay as they were.
    const auto readBackAgain = [&] {
        rig.link->InitDeviceLink();
        rig.link->FindKeyboard();
        rig.link->ReadBackAll();
        rig.Idle();
    };
    rig.model.Profile(1).GKey(1)->action = KeyAction{0x01, 0, 0};
    rig.sim->FailNth(SimFault::kGet, 2, 7);  // three lightings, three tables, one macro
    readBackAgain();
    EXPECT_EQ(rig.model.Profile(0).LightColor(), before.Profile(0).LightColor());
    EXPECT_EQ(rig.model.Profile(0).LightBrightness(), before.Profile(0).LightBrightness());
    EXPECT_EQ(rig.model.Profile(1).Keys(), before.Profile(1).Keys());
    EXPECT_EQ(rig.model.Profile(1).GKey(1)->name, before.Profile(1).GKey(1)->name);
    EXPECT_EQ(rig.library.SetAt(0)->MacroKeyNum(), 0u);
    const std::vector<std::string> log = rig.log.Take();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[1], "set 04 00 00");
    EXPECT_TRUE(log[3].starts_with("get 07 ") && log[3].ends_with(" FAIL")) << log[3];
    const std::string& macro = log[log.size() - 2];
    EXPECT_TRUE(macro.starts_with("get 08 ") && macro.ends_with(" FAIL")) << macro;

    // A failed select is not followed by a get that would answer for the
    // profile selected before.
    rig.sim->FailNth(SimFault::kSet, 6);  // the key table of profile 2
    readBackAgain();
    EXPECT_EQ(rig.model.Profile(2).Keys(), before.Profile(2).Keys());
    const std::vector<std::string> failed = rig.log.Take();
    const auto at = std::find(failed.begin(), failed.end(), "set 04 02 00 FAIL");
    ASSERT_LE(failed.end() - at, failed.end() - failed.begin() - 2);
    EXPECT_EQ(at[1], "sleep 8");
    EXPECT_FALSE(at[2].starts_with("get")) << at[2];
}

TEST(DeviceLink, WithoutAHandleNothingIsSentAndNothingWaited) {
    LinkRig rig;
    rig.link->InitDeviceLink();
    rig.library.SetAt(0)->AddKey("No Function");
    EXPECT_FALSE(rig.Send([&](WritePlan& plan) {
        rig.link->AddCurrentProfileWrite(plan, 1);
        rig.link->AddLightingWrite(plan, 0);
        rig.link->AddKeyTableWrite(plan, 0);
        rig.link->AddResetWrite(plan, 0);
        rig.link->AddGKeyMacroWrite(plan, 0, 0);
    }));
    rig.link->ReadBackAll();
    rig.Idle();
    EXPECT_TRUE(rig.log.Take().empty());
}

TEST(DeviceLink, WritesSendTheirReportsWithTheirPauses) {
    LinkRig rig;
    rig.Start();
    rig.log.Take();
    const auto profile = [&](uint8_t value) {
        return rig.Send([&](WritePlan& plan) { rig.link->AddCurrentProfileWrite(plan, value); });
    };
    EXPECT_TRUE(profile(2));
    EXPECT_EQ(rig.link->CurrentProfile(), 2);
    rig.sim->FailNext(SimFault::kSet, 1);
    EXPECT_FALSE(profile(1));
    EXPECT_EQ(rig.link->CurrentProfile(), 2);
    EXPECT_TRUE(profile(ProfileReport::kShutdownValue));
    EXPECT_EQ(rig.sim->State().currentProfile, 2);  // the goodbye changes nothing
    rig.model.Profile(1).SetLightColor(3);
    rig.model.Profile(1).SetLightBrightness(2);
    EXPECT_TRUE(rig.Send([&](WritePlan& plan) { rig.link->AddLightingWrite(plan, 1); }));
    EXPECT_TRUE(rig.Send([&](WritePlan& plan) { rig.link->AddResetWrite(plan, 1); }));
    const std::vector<std::string> expected = {
        "set 05 03 02",    "sleep 15", "set 05 03 01 FAIL",     "sleep 15",
        "set 05 03 07",    "sleep 15", "set 07 0D 01 00 02 02", "sleep 15",
        "set 0D 04 01 03", "sleep 350"};
    EXPECT_EQ(rig.log.Take(), expected);
    EXPECT_EQ(rig.sim->State().profiles[1], SimProfileState::Factory());
}

TEST(DeviceLink, FlushSendsPendingOnBoardChangesInOrderAndClearsTheirFlags) {
    LinkRig rig;
    rig.Start();
    rig.log.Take();
    PendingWrites& p = rig.model.pending;
    p.MarkLighting(2);
    p.MarkLighting(0);
    p.MarkLighting(4);
    p.MarkKeyTable(1);
    p.MarkKeyTable(3);
    p.MarkMacro(0, 4);
    p.MarkMacro(2, 0);  // its G key names no macro: nothing to send
    p.MarkMacro(1, 2);
    rig.model.Profile(0).GKey(4)->name = "Mine";
    rig.model.Profile(1).GKey(2)->name = "Mine";
    rig.library.SetAt(0)->AddKey("Mine")->InsertAction(0, MacroAction::KeyEvent(0x41, false));
    rig.sim->FailNext(SimFault::kSet, 1);  // the first write fails; the rest go on

    rig.link->FlushPendingWrites();
    rig.Idle();
    std::vector<std::string> heads;
    for (const std::string& line : rig.log.Take()) heads.push_back(Head(line, 5));
    const std::vector<std::string> expected = {
        "set 07 0D 00 00", "sleep 15",  "set 07 0D 02 00", "sleep 15",
        "set 06 B8 01 00", "sleep 350", "set 08 E2 00 04", "sleep 350",
        "set 08 E2 01 02", "sleep 350"};
    EXPECT_EQ(heads, expected);
    EXPECT_FALSE(p.lightingPending[0]);
    EXPECT_FALSE(p.lightingPending[2]);
    EXPECT_TRUE(p.lightingPending[4]);
    EXPECT_FALSE(p.keyTablePending[1]);
    EXPECT_TRUE(p.keyTablePending[3]);
    EXPECT_FALSE(p.macroPending[0][4]);
    EXPECT_FALSE(p.macroPending[2][0]);
    EXPECT_FALSE(p.macroPending[1][2]);
}

TEST(DeviceLink, ArrivalFindsTheKeyboardAndReadsItBackOnce) {
    LinkRig rig;
    rig.sim->Unplug();
    rig.sim->SetChangeSink([&rig](DeviceChange c) {
        rig.dispatcher.Post([&rig, c] { rig.link->OnDeviceChange(c); });
    });
    rig.Start();
    EXPECT_FALSE(rig.link->Found());
    EXPECT_FALSE(rig.link->ListenerActive());
    EXPECT_TRUE(rig.window.messages.empty());
    rig.log.Take();

    rig.sim->Plug();
    rig.dispatcher.RunPending();  // two arrivals: the second finds found = 1
    rig.Idle();
    EXPECT_TRUE(rig.link->Found());
    std::vector<std::string> log = rig.log.Take();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "plug");
    log.erase(log.begin());
    EXPECT_EQ(log, FixtureLines("factory-readback.txt"));
    EXPECT_TRUE(rig.WaitFor([&] { return rig.link->ListenerRun(); }));

    rig.sim->Unplug();
    rig.dispatcher.RunPending();
    EXPECT_FALSE(rig.link->Found());
    EXPECT_TRUE(rig.link->NeedReadBack());
    EXPECT_FALSE(rig.link->HasFeatureHandle());
    EXPECT_EQ(rig.window.messages,
              std::vector<std::string>{"The keyboard is disconnected.Please connect."});
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.link->ListenerActive(); }));

    rig.log.Take();
    rig.sim->Plug();
    rig.dispatcher.RunPending();
    rig.Idle();
    log = rig.log.Take();
    EXPECT_EQ(log.size(), 1u + FixtureLines("factory-readback.txt").size());
    EXPECT_EQ(rig.window.messages.size(), 1u);
    EXPECT_TRUE(rig.WaitFor([&] { return rig.link->ListenerActive() && rig.link->ListenerRun(); }));

    // Once the program is ending, a keyboard plugged in meanwhile is not read.
    rig.sim->Unplug();
    rig.dispatcher.RunPending();
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.link->ListenerActive(); }));
    rig.link->GiveUpReads();
    rig.sim->Plug();
    rig.dispatcher.RunPending();
    rig.Idle();
    for (const std::string& line : rig.log.Take())
        EXPECT_FALSE(line.starts_with("get") || line.starts_with("set")) << line;
}

TEST(DeviceLink, RemovalOfAnotherDeviceKeepsTheKeyboard) {
    LinkRig rig;
    rig.Start();
    rig.link->OnDeviceChange(DeviceChange::kRemoveComplete);
    EXPECT_TRUE(rig.link->Found());
    EXPECT_TRUE(rig.link->HasFeatureHandle());
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_TRUE(rig.Send([&](WritePlan& plan) { rig.link->AddLightingWrite(plan, 0); }));
}

TEST(DeviceLink, QuickReplugStillEndsWithAListener) {
    LinkRig rig;
    rig.Start();
    // Removal and arrival are handled before the old listener has noticed.
    rig.sim->Unplug();
    rig.link->OnDeviceChange(DeviceChange::kRemoveComplete);
    rig.sim->Plug();
    rig.link->OnDeviceChange(DeviceChange::kArrival);
    EXPECT_TRUE(
        rig.WaitFor([&] { return rig.sim->OpenReaders() == 1 && rig.link->ListenerActive(); }));
    rig.sim->SendEvent(0x05, 3);
    EXPECT_TRUE(rig.WaitFor([&] { return rig.model.settings.CurrentProfile() == 2; }));
}

TEST(DeviceLink, KeyboardWithOnlyItsEventInterfaceCountsAsFound) {
    LinkRig rig;
    rig.sim->SetInterfaces(true, false);
    rig.Start();
    EXPECT_TRUE(rig.link->Found());
    EXPECT_TRUE(rig.link->ListenerRun());
    EXPECT_EQ(rig.link->FeatureInterface(), 0);
    // Index 0 is the keyboard's event interface: kept, but it answers nothing.
    EXPECT_TRUE(rig.link->HasFeatureHandle());
    EXPECT_EQ(rig.link->CurrentProfile(), -1);

    auto sim = std::make_shared<KeyboardSimulator>();
    sim->SetInterfaces(true, false);
    LinkRig foreignFirst(std::make_shared<WrappedBackend>(sim, 1));
    foreignFirst.sim = sim;
    foreignFirst.Start();
    EXPECT_TRUE(foreignFirst.link->Found());
    EXPECT_EQ(foreignFirst.link->ListenerInterface(), 1);
    EXPECT_FALSE(foreignFirst.link->HasFeatureHandle());  // index 0 is not the keyboard
}

TEST(DeviceLink, ScanStopsAtThirtyInterfaces) {
    struct Case {
        int foreign;
        bool found;
        bool handle;
    };
    for (const Case c : {Case{28, true, true}, Case{29, true, false}, Case{30, false, false}}) {
        auto sim = std::make_shared<KeyboardSimulator>();
        LinkRig rig(std::make_shared<WrappedBackend>(sim, c.foreign));
        rig.link->InitDeviceLink();
        rig.link->FindKeyboard();
        EXPECT_EQ(rig.link->Found(), c.found) << c.foreign;
        EXPECT_EQ(rig.link->HasFeatureHandle(), c.handle) << c.foreign;
        rig.link->StopListener();
    }
}

TEST(DeviceLink, KeyboardTheUserMayNotOpenIsReportedOnce) {
    const std::string events = KeyboardSimulator::kEventsPath;
    const std::string config = KeyboardSimulator::kConfigPath;
    auto sim = std::make_shared<KeyboardSimulator>();
    auto backend = std::make_shared<WrappedBackend>(sim, 1);
    LinkRig rig(backend);
    rig.sim = sim;
    sim->SetObserver(
        [&rig](const SimExchange& e) { rig.log.Add(test::WithoutTime(FormatTraceLine(0, e))); });

    // Another device refusing us is none of our business.
    backend->denied = {"foreign0"};
    rig.Start();
    EXPECT_TRUE(rig.link->Found());
    EXPECT_TRUE(rig.window.denied.empty());
    rig.link->StopListener();

    // Both interfaces refused: absent as far as the link goes, said once, and
    // not mistaken for an unplug.
    backend->denied = {events, config};
    rig.link->InitDeviceLink();
    rig.link->FindKeyboard();
    EXPECT_FALSE(rig.link->Found());
    EXPECT_EQ(rig.window.denied, std::vector<std::string>{events});
    rig.link->OnDeviceChange(DeviceChange::kArrival);
    EXPECT_EQ(rig.window.denied.size(), 1u);
    EXPECT_TRUE(rig.window.messages.empty());

    // The rule installed and the keyboard replugged.
    backend->denied.clear();
    rig.log.Take();
    rig.link->OnDeviceChange(DeviceChange::kArrival);
    rig.Idle();
    EXPECT_TRUE(rig.link->Found());
    EXPECT_TRUE(rig.link->HasFeatureHandle());
    EXPECT_EQ(rig.log.Take(), FixtureLines("factory-readback.txt"));
    rig.link->StopListener();

    // Only the feature interface refused: the keyboard is found by its events
    // but cannot be configured, which a fresh link reports too.
    LinkRig partial(backend);
    partial.sim = sim;
    backend->denied = {config};
    partial.link->InitDeviceLink();
    partial.link->FindKeyboard();
    EXPECT_TRUE(partial.link->Found());
    EXPECT_FALSE(partial.link->HasFeatureHandle());
    EXPECT_EQ(partial.window.denied, std::vector<std::string>{config});
    partial.link->StopListener();
}

}  // namespace
}  // namespace lumbra
