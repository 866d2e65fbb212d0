// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window against the simulated keyboard: clicks at the
// layout's places, then what reached the keyboard and what is on disk.

#include <gtest/gtest.h>

#include <filesystem>

#include "AppTestSupport.h"
#include "keys/KeyMessages.h"
#include "model/NameTables.h"
#include "platform/EditBox.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"
#include "ui/CComboButton.h"
#include "ui/CKeyboardButton.h"
#include "ui/CProgressStrip.h"
#include "ui/CTabControl.h"

namespace lumbra::test {
namespace {

namespace fs = std::filesystem;

// Report bytes as the keyboard's protocol lays them out, written out by hand.
constexpr const char* kProfileSet0 = "set 05 03 00";
constexpr const char* kProfileSet1 = "set 05 03 01";
constexpr const char* kGoodbye = "set 05 03 07";

void WriteSettings(const std::string& dir, int current) {
    std::string text = "[Setting]\r\nCurrentProfile=" + std::to_string(current) + "\r\n";
    for (int s = 0; s < 5; ++s)
        text += "ProfileSlot" + std::to_string(s) + "URL=" + dir + "config/default" +
                std::to_string(s) + ".psf\r\n";
    ASSERT_TRUE(WriteFileAtomically(dir + "config/config.ini", text));
}

CComboButton* Combo(CCorvexDlg& dlg, uint32_t id) {
    return dynamic_cast<CComboButton*>(dlg.FindControl(id));
}

TEST(MainWindowStart, WithoutKeyboardTheFilesDecideTheProfile) {
    MainWindowRig rig;
    WriteSettings(rig.dir.path, 2);
    rig.sim->Unplug();
    rig.log.Clear();
    rig.Start();
    EXPECT_EQ(rig.dlg->CurrentProfileNumber(), 2);
    EXPECT_FALSE(rig.dlg->Link().Found());
    EXPECT_TRUE(rig.log.Sets().empty());
    EXPECT_EQ(rig.log.Count("get "), 0);
    EXPECT_TRUE(rig.dialogs.messages.empty()) << "no message at start-up";
    // Every file exists after the first start.
    for (int s = 0; s < 5; ++s)
        EXPECT_TRUE(fs::exists(rig.Config("default" + std::to_string(s) + ".psf")));
    EXPECT_TRUE(fs::exists(rig.Config("MacroLibraryFile.mlf")));
    EXPECT_TRUE(rig.W().IsVisible());
    EXPECT_TRUE(rig.tray.present);
    EXPECT_EQ(rig.tray.tip, "Lumbra");
}

TEST(MainWindowStart, TheKeyboardsProfileAndLightingWinOverTheFiles) {
    MainWindowRig rig;
    WriteSettings(rig.dir.path, 2);
    SimKeyboardState state = SimKeyboardState::Factory();
    state.currentProfile = 1;
    state.profiles[1].brightness = 24;
    rig.sim->SetState(state);
    rig.Start();
    EXPECT_TRUE(rig.dlg->Link().Found());
    EXPECT_EQ(rig.dlg->CurrentProfileNumber(), 1);
    EXPECT_EQ(rig.model.settings.Value(0), "1");
    EXPECT_EQ(Combo(*rig.dlg, MainId::kLightBrightness)->DisplayText(), "Breath");
    // The read-back asked for the profile first and sent nothing.
    std::vector<std::string> exchanges;
    for (const std::string& l : rig.log.Lines())
        if (l.starts_with("get ") || l.starts_with("set ")) exchanges.push_back(l);
    ASSERT_FALSE(exchanges.empty());
    EXPECT_EQ(exchanges.front().substr(0, 8), "get 05 0");
    for (const std::string& l : rig.log.Sets()) EXPECT_TRUE(l.starts_with("set 04 ")) << l;
}

TEST(MainWindowCommands, ProfileTabThenApplySwitchesTheKeyboardAndWritesEveryFile) {
    MainWindowRig rig;
    rig.Start();
    for (int s = 0; s < 5; ++s) fs::remove(rig.Config("default" + std::to_string(s) + ".psf"));
    rig.log.Clear();
    rig.ClickControl(0x802);  // the second profile tab
    EXPECT_EQ(rig.dlg->CurrentProfileNumber(), 1);
    EXPECT_TRUE(rig.log.Sets().empty()) << "a profile tab only changes the window";
    rig.ClickControl(MainId::kApply);
    EXPECT_EQ(rig.log.Sets(), std::vector<std::string>{kProfileSet1});
    EXPECT_EQ(rig.sim->State().currentProfile, 1);
    EXPECT_NE(ReadText(rig.Config("config.ini")).find("CurrentProfile=1\r\n"), std::string::npos);
    for (int s = 0; s < 5; ++s)
        EXPECT_TRUE(fs::exists(rig.Config("default" + std::to_string(s) + ".psf"))) << s;
    EXPECT_TRUE(rig.W().IsVisible()) << "Apply keeps the window";
}

TEST(MainWindowCommands, OnlyTheTabsOfTheShownPageAndProfileLookPressed) {
    MainWindowRig rig;
    rig.Start();
    auto pressed = [&](uint32_t id) {
        const auto* tab = dynamic_cast<const CTabControl*>(rig.dlg->FindControl(id));
        return tab && tab->Frame() == 2;
    };
    const uint32_t profiles[] = {0x801, 0x802, 0x803};
    for (uint32_t chosen : profiles) {
        rig.ClickControl(0x7D3);  // the profile tabs are on page 0
        rig.ClickControl(chosen);
        for (uint32_t tab : profiles)
            EXPECT_EQ(pressed(tab), tab == chosen) << chosen << " " << tab;
    }
    const uint32_t pages[] = {0x7D3, 0x7D4, 0x7D5, 0x81D};
    for (uint32_t chosen : pages) {
        rig.ClickControl(chosen);
        for (uint32_t tab : pages) EXPECT_EQ(pressed(tab), tab == chosen) << chosen << " " << tab;
    }
}

TEST(MainWindowCommands, BreathIsShownStoredAndSentOnceByApply) {
    MainWindowRig rig;
    rig.Start();
    rig.log.Clear();
    rig.ClickControl(MainId::kPage3Tab);
    EXPECT_EQ(rig.dlg->PageShown(), MainPage::kLighting);
    rig.ClickControl(MainId::kLightBrightness);
    CWndPopup* list = rig.dlg->Popup(PopupSlot::kLightBrightness);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(Combo(*rig.dlg, MainId::kLightBrightness)->IsPopupOpen());
    rig.ClickPopupItem(list, "Breath");
    Application::ProcessEvents();
    EXPECT_EQ(rig.dlg->Popup(PopupSlot::kLightBrightness), nullptr);
    EXPECT_EQ(Combo(*rig.dlg, MainId::kLightBrightness)->DisplayText(), "Breath");
    EXPECT_FALSE(Combo(*rig.dlg, MainId::kLightBrightness)->IsPopupOpen());
    EXPECT_EQ(rig.model.Profile(0).PairValue(KeyboardProfile::kLightBrightnessPair), "24");
    EXPECT_TRUE(rig.model.pending.lightingPending[0]);
    EXPECT_TRUE(rig.log.Sets().empty());

    rig.ClickControl(MainId::kApply);
    // LightingReport: 07 0D slot 00 mode(1) brightness(24 = 0x18), then the profile.
    EXPECT_EQ(rig.log.Sets(), (std::vector<std::string>{"set 07 0D 00 00 01 18", kProfileSet0}));
    EXPECT_FALSE(rig.model.pending.lightingPending[0]);
    EXPECT_EQ(rig.sim->State().profiles[0].brightness, 24);
    rig.log.Clear();
    rig.ClickControl(MainId::kApply);
    EXPECT_EQ(rig.log.Sets(), std::vector<std::string>{kProfileSet0}) << "sent once";
}

TEST(MainWindowCommands, LightingModeChoiceMarksThePendingLighting) {
    MainWindowRig rig;
    rig.Start();
    rig.ClickControl(MainId::kPage3Tab);
    rig.ClickControl(MainId::kLightColor);
    rig.ClickPopupItem(rig.dlg->Popup(PopupSlot::kLightColor), "Mode3");
    EXPECT_EQ(rig.dlg->LightingModeShown(), 3);
    EXPECT_EQ(rig.model.Profile(0).PairValue(KeyboardProfile::kLightColorPair), "3");
    EXPECT_TRUE(rig.model.pending.lightingPending[0]);
    rig.log.Clear();
    rig.ClickControl(MainId::kOk);
    // Mode 3 travels as the keyboard's 2.
    EXPECT_EQ(rig.log.Sets(), (std::vector<std::string>{"set 07 0D 00 00 02 08", kProfileSet0}));
    EXPECT_FALSE(rig.W().IsVisible()) << "OK hides into the tray";
}

TEST(MainWindowCommands, ApplyWithNothingPendingStillSendsTheProfileAndWritesTheFiles) {
    MainWindowRig rig;
    rig.Start();
    fs::remove(rig.Config("config.ini"));
    fs::remove(rig.Config("default4.psf"));
    rig.log.Clear();
    rig.ClickControl(MainId::kApply);
    EXPECT_EQ(rig.log.Sets(), std::vector<std::string>{kProfileSet0});
    EXPECT_TRUE(fs::exists(rig.Config("config.ini")));
    EXPECT_TRUE(fs::exists(rig.Config("default4.psf")));
}

TEST(MainWindowCommands, CancelAfterAProfileChangeHidesAndKeepsTheChangeInMemoryOnly) {
    MainWindowRig rig;
    rig.Start();
    rig.log.Clear();
    rig.ClickControl(0x802);
    rig.ClickControl(MainId::kCancel);
    EXPECT_FALSE(rig.W().IsVisible());
    EXPECT_EQ(rig.model.settings.Value(0), "1");
    EXPECT_NE(ReadText(rig.Config("config.ini")).find("CurrentProfile=0\r\n"), std::string::npos);
    EXPECT_EQ(rig.sim->State().currentProfile, 0);
    EXPECT_TRUE(rig.log.Sets().empty());
    // A later OK switches the keyboard and writes the file.
    rig.dlg->Commands().RunClick(MainId::kOk);
    rig.Idle();
    EXPECT_EQ(rig.sim->State().currentProfile, 1);
    EXPECT_NE(ReadText(rig.Config("config.ini")).find("CurrentProfile=1\r\n"), std::string::npos);
}

TEST(MainWindowResets, ResetProfileSendsLightingKeysResetAndProfileInThatOrder) {
    MainWindowRig rig;
    rig.Start();
    rig.ClickControl(0x802);
    rig.model.Profile(1).SetLightBrightness(2);
    rig.model.pending.MarkLighting(1);
    rig.model.pending.MarkKeyTable(1);
    rig.model.pending.MarkMacro(1, 3);
    rig.log.Clear();
    rig.ClickControl(MainId::kResetProfile);
    EXPECT_EQ(rig.dialogs.resetPictures, std::vector<int>{kResetProfilePicture});
    const auto sets = rig.log.Sets();
    ASSERT_EQ(sets.size(), 4u);
    EXPECT_EQ(sets[0], "set 07 0D 01 00 01 08");
    EXPECT_TRUE(sets[1].starts_with("set 06 ")) << sets[1];
    EXPECT_EQ(sets[2], "set 0D 04 01 03");
    EXPECT_EQ(sets[3], kProfileSet1);
    EXPECT_EQ(rig.model.Profile(1).PairValue(KeyboardProfile::kLightBrightnessPair), "8");
    EXPECT_EQ(rig.model.pending, PendingWrites{});
    EXPECT_NE(ReadText(rig.Config("default1.psf")).find("LightBrightness=8\r\n"),
              std::string::npos);
}

TEST(MainWindowResets, CancelledResetDoesNothing) {
    MainWindowRig rig;
    rig.Start();
    rig.model.Profile(0).SetLightBrightness(2);
    rig.dialogs.resetAnswer = DialogResult::kCancel;
    rig.log.Clear();
    rig.ClickControl(MainId::kResetProfile);
    rig.ClickControl(MainId::kResetAll);
    EXPECT_EQ(rig.dialogs.resetPictures,
              (std::vector<int>{kResetProfilePicture, kResetAllPicture}));
    EXPECT_TRUE(rig.log.Sets().empty());
    EXPECT_EQ(rig.model.Profile(0).LightBrightness(), 2);
}

TEST(MainWindowResets, ResetOfAPcOnlyProfileWritesItsFileAndSendsNothing) {
    MainWindowRig rig;
    rig.Start();
    rig.dlg->Commands().RunClick(MainId::kProfile5);
    ASSERT_EQ(rig.dlg->CurrentProfileNumber(), 4);
    rig.model.Profile(4).SetLightColor(5);
    rig.model.pending.MarkLighting(4);
    rig.log.Clear();
    rig.ClickControl(MainId::kResetProfile);
    EXPECT_TRUE(rig.log.Sets().empty()) << "slot 4 AND 3 would wipe on-board profile 1";
    EXPECT_EQ(rig.model.Profile(4).LightColor(), 1);
    EXPECT_FALSE(rig.model.pending.lightingPending[4]);
    EXPECT_NE(ReadText(rig.Config("default4.psf")).find("LightColor=1\r\n"), std::string::npos);
}

TEST(MainWindowResets, ResetAllResetsTheOnBoardProfilesAndLeavesPcProfilesAlone) {
    MainWindowRig rig;
    rig.Start();
    rig.ClickControl(0x803);
    rig.model.Profile(3).SetLightColor(6);
    rig.model.Profile(4).SetLightBrightness(4);
    rig.model.Profile(2).SetLightColor(5);
    rig.model.pending.MarkKeyTable(2);
    rig.model.pending.MarkLighting(4);
    const std::string file3 = ReadText(rig.Config("default3.psf"));
    const auto time4 = fs::last_write_time(rig.Config("default4.psf"));
    rig.log.Clear();
    rig.ClickControl(MainId::kResetAll);
    EXPECT_EQ(rig.dialogs.resetPictures, std::vector<int>{kResetAllPicture});
    std::vector<std::string> expected;
    for (int p = 0; p < 3; ++p) {
        const std::string slot = "0" + std::to_string(p);
        expected.push_back("set 07 0D " + slot + " 00 01 08");
        expected.push_back("set 06 ");
        expected.push_back("set 0D 04 " + slot + " 03");
    }
    expected.push_back(kProfileSet0);
    const auto sets = rig.log.Sets();
    ASSERT_EQ(sets.size(), expected.size());
    for (size_t i = 0; i < sets.size(); ++i)
        EXPECT_TRUE(sets[i].starts_with(expected[i])) << sets[i];
    EXPECT_EQ(rig.dlg->CurrentProfileNumber(), 0);
    EXPECT_EQ(rig.model.Profile(2).LightColor(), 1);
    EXPECT_EQ(rig.model.Profile(3).LightColor(), 6);
    EXPECT_EQ(rig.model.Profile(4).LightBrightness(), 4);
    EXPECT_EQ(rig.model.pending, PendingWrites{});
    EXPECT_EQ(ReadText(rig.Config("default3.psf")), file3);
    EXPECT_EQ(fs::last_write_time(rig.Config("default4.psf")), time4);
    EXPECT_NE(ReadText(rig.Config("config.ini")).find("CurrentProfile=0\r\n"), std::string::npos);
}

TEST(MainWindowTray, WrongIconIdIsRefusedAndDoubleClickBringsTheWindowBack) {
    MainWindowRig rig;
    rig.Start();
    rig.ClickControl(MainId::kClose);
    EXPECT_FALSE(rig.W().IsVisible()) << "the close button hides into the tray";
    EXPECT_FALSE(rig.closed);
    EXPECT_EQ(rig.dlg->Commands().OnTrayNotify(386, kTrayLeftDoubleClick, {0, 0}),
              kTrayWrongIdResult);
    EXPECT_FALSE(rig.W().IsVisible());
    rig.tray.notify(kTrayLeftDoubleClick);
    EXPECT_TRUE(rig.W().IsVisible());
    // The tray's menu: "Config Keyboard", a separator, "Exit".
    rig.dialogs.menuAnswer = 0;
    EXPECT_EQ(rig.dlg->Commands().OnTrayNotify(kTrayIconId, kTrayRightButtonUp, {0, 0}), 0);
    ASSERT_EQ(rig.dialogs.menus.size(), 1u);
    const auto& items = rig.dialogs.menus[0];
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "Config Keyboard");
    EXPECT_EQ(items[0].command, 2075);
    EXPECT_EQ(items[1].text, "");
    EXPECT_EQ(items[2].text, "Exit");
    EXPECT_EQ(items[2].command, 2);
}

TEST(MainWindowTray, ExitFromTheTrayMenuSaysGoodbyeThenClosesThenRemovesTheIcon) {
    MainWindowRig rig;
    rig.Start();
    rig.log.Clear();
    rig.tray.command(MainCommand::kExit);
    rig.Settle();
    EXPECT_TRUE(rig.closed);
    EXPECT_TRUE(rig.dlg->IsShutDown());
    EXPECT_FALSE(rig.dlg->Link().HasFeatureHandle());
    EXPECT_FALSE(rig.dlg->Link().ListenerRun());
    // Goodbye with its 15 ms, the 10 ms pause, the handle closed, the icon removed.
    std::vector<std::string> tail;
    for (const std::string& l : rig.log.Lines())
        if (l != "close events" && !l.starts_with("in")) tail.push_back(l);
    const std::vector<std::string> expected = {kGoodbye, "sleep 15", "sleep 10", "close config",
                                               "tray removed"};
    EXPECT_EQ(tail, expected);
}

// Exit while Apply is being sent: the window hides at once, the Apply goes
// out whole, then the goodbye. A second Exit gives up on the rest of it.
TEST(MainWindowTray, ExitWaitsForTheRunningApplyAndASecondExitEndsIt) {
    for (const bool twice : {false, true}) {
        SCOPED_TRACE(twice ? "exit twice" : "exit once");
        MainWindowRig rig;
        rig.Start();
        for (int p = 0; p < kOnBoardProfileCount; ++p) rig.model.pending.MarkKeyTable(p);
        rig.log.Clear();
        rig.clock->Hold(true);
        rig.dlg->Commands().Apply();
        rig.tray.command(MainCommand::kExit);
        Application::ProcessEventsFor(20);
        EXPECT_FALSE(rig.closed) << "the Apply still runs";
        EXPECT_FALSE(rig.W().IsVisible());
        if (twice) rig.tray.command(MainCommand::kExit);
        rig.clock->Hold(false);
        for (int i = 0; i < 100 && !rig.closed; ++i) Application::ProcessEventsFor(5);
        EXPECT_TRUE(rig.closed);
        std::vector<std::string> sets;
        for (const std::string& l : rig.log.Sets()) sets.push_back(l.substr(0, 12));
        const std::vector<std::string> whole = {"set 06 B8 00", "set 06 B8 01", "set 06 B8 02",
                                                "set 05 03 00", "set 05 03 07"};
        const std::vector<std::string> cut = {"set 06 B8 00", "set 05 03 07"};
        EXPECT_EQ(sets, twice ? cut : whole);
    }
}

// While the worker sends, the strip shows how far it is, and the commands
// that would queue more or change the profile wait; the rest of the window
// works. OK hides the window at once and the flush ends behind it.
TEST(MainWindowProgress, WhileAPlanRunsTheStripShowsAndTheCommandsWait) {
    MainWindowRig rig;
    rig.Start();
    CProgressStrip* strip = rig.dlg->ProgressStrip();
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(strip->IsVisible());
    for (int p = 0; p < kOnBoardProfileCount; ++p) rig.model.pending.MarkKeyTable(p);
    rig.log.Clear();
    rig.clock->Hold(true);
    rig.dlg->Commands().Ok();
    EXPECT_FALSE(rig.W().IsVisible()) << "OK hides before the flush ends";
    rig.W().ShowNormal();
    for (int i = 0; i < 100 && !strip->IsVisible(); ++i) Application::ProcessEventsFor(5);
    ASSERT_TRUE(strip->IsVisible());
    EXPECT_EQ(strip->Caption(), CCorvexDlg::kWritingCaption);
    EXPECT_TRUE(rig.dlg->IsBusy());
    const uint32_t waiting[] = {MainId::kOk,       MainId::kApply,    MainId::kResetProfile,
                                MainId::kResetAll, MainId::kProfile1, MainId::kProfile1 + 2};
    for (uint32_t id : waiting) EXPECT_TRUE(rig.dlg->FindControl(id)->IsDisabled()) << id;
    for (uint32_t id : {MainId::kCancel, MainId::kPage1Tab, MainId::kMinimize})
        EXPECT_FALSE(rig.dlg->FindControl(id)->IsDisabled()) << id;
    // A click on Apply now does nothing; a page tab still turns the page.
    const Rect apply = rig.dlg->FindControl(MainId::kApply)->GetRect();
    const auto applyLook = [&] {
        Application::ProcessEvents();
        return rig.W().Render().PixelColor(apply.left + 3, (apply.top + apply.bottom) / 2);
    };
    const Color waitingLook = applyLook();
    test::Click(rig.W(), (apply.left + apply.right) / 2, (apply.top + apply.bottom) / 2);
    rig.ClickControlWithoutIdle(MainId::kPage1Tab);
    EXPECT_EQ(rig.dlg->PageShown(), MainPage::kMacros);

    rig.clock->Hold(false);
    rig.Idle();
    for (uint32_t id : waiting) EXPECT_FALSE(rig.dlg->FindControl(id)->IsDisabled()) << id;
    EXPECT_NE(applyLook(), waitingLook) << "a waiting command looks disabled";
    // The strip of a write stays a while after it, so that it can be read.
    EXPECT_TRUE(strip->IsVisible());
    for (int i = 0; i < 200 && strip->IsVisible(); ++i) Application::ProcessEventsFor(5);
    EXPECT_FALSE(strip->IsVisible());
    // The three key tables and the profile, once.
    EXPECT_EQ(rig.log.Sets().size(), 4u);
}

TEST(MainWindowTray, WithoutATrayCloseEndsTheProgramAndOkMinimises) {
    MainWindowRig rig;
    rig.withTray = false;
    rig.Start();
    EXPECT_FALSE(rig.tray.present);
    rig.ClickControl(MainId::kOk);
    EXPECT_TRUE(rig.W().IsVisible()) << "minimised, never hidden for good";
    EXPECT_FALSE(rig.closed);
    rig.log.Clear();
    rig.ClickControl(MainId::kClose);
    rig.Settle();
    EXPECT_TRUE(rig.closed);
    EXPECT_EQ(rig.log.Sets(), std::vector<std::string>{kGoodbye});
}

TEST(MainWindowDevice, RemovalShowsTheMessageOnceAndArrivalReadsBackAgain) {
    MainWindowRig rig;
    rig.Start();
    ASSERT_TRUE(rig.dlg->Link().Found());
    rig.sim->Unplug();
    rig.Settle();
    EXPECT_FALSE(rig.dlg->Link().Found());
    EXPECT_EQ(rig.dialogs.messages,
              std::vector<std::string>{"Attention!|The keyboard is disconnected.Please connect."});
    // A change made while unplugged survives, and the keyboard's state comes back.
    SimKeyboardState state = SimKeyboardState::Factory();
    state.currentProfile = 2;
    rig.sim->SetState(state);
    rig.log.Clear();
    rig.sim->Plug();
    rig.Settle();
    EXPECT_TRUE(rig.dlg->Link().Found());
    EXPECT_EQ(rig.dlg->CurrentProfileNumber(), 2);
    EXPECT_GE(rig.log.Count("get 05"), 1);
    EXPECT_EQ(rig.dialogs.messages.size(), 1u);
}

TEST(MainWindowDevice, AKeyboardTheUserMayNotOpenIsExplainedOnceNotCalledUnplugged) {
    MainWindowRig rig;
    rig.denyKeyboard = true;
    rig.Start();
    EXPECT_FALSE(rig.dlg->Link().Found());
    const std::string said = "Attention!|" + std::string(CCorvexDlg::kAccessDeniedMessage);
    EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{said});
    // Replugged without the rule: still refused, not said again.
    rig.sim->Unplug();
    rig.sim->Plug();
    rig.Settle();
    EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{said});
    EXPECT_TRUE(rig.log.Sets().empty());
}

TEST(MainWindowPages, PagesShowTheirControlsAndTheLoopCountEditOnlyOnPageOne) {
    MainWindowRig rig;
    rig.Start();
    EditBox* edit = rig.dlg->LoopCountEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->IsVisible());
    rig.ClickControl(MainId::kPage1Tab);
    EXPECT_EQ(rig.dlg->PageShown(), MainPage::kMacros);
    EXPECT_TRUE(edit->IsVisible());
    EXPECT_FALSE(rig.dlg->FindControl(0x898)->IsVisible());
    EXPECT_TRUE(rig.dlg->FindControl(0x842)->IsVisible());
    rig.ClickControl(MainId::kPage0Tab);
    EXPECT_FALSE(edit->IsVisible());
    EXPECT_TRUE(rig.dlg->FindControl(0x898)->IsVisible());
    // A G-key picture of page 0 selects page 2.
    rig.Click(150 + 7, 311 + 8);
    EXPECT_EQ(rig.dlg->PageShown(), MainPage::kGKeys);
    EXPECT_TRUE(rig.dlg->FindControl(0x81E)->IsVisible());
    EXPECT_FALSE(rig.dlg->FindControl(0x898)->IsVisible());
}

TEST(MainWindowPages, RefreshShowsTheCurrentProfilesNamesLightingAndKeys) {
    MainWindowRig rig;
    rig.Start();
    rig.model.Profile(2).GKey(0)->name = "Sprint";
    rig.model.Profile(2).SetLightColor(7);
    rig.model.Profile(2).SetLightBrightness(25);  // above 24: the caption stays
    rig.model.Profile(2).Keys()[kKeyPositionMap[0]] = 0x04;
    rig.ClickControl(0x803);
    EXPECT_EQ(Combo(*rig.dlg, 0x81E)->DisplayText(), "Sprint");
    EXPECT_EQ(Combo(*rig.dlg, MainId::kLightColor)->DisplayText(), "White");
    EXPECT_EQ(Combo(*rig.dlg, MainId::kLightBrightness)->DisplayText(), "100%");
    auto* esc = dynamic_cast<CKeyboardButton*>(rig.dlg->FindControl(0x898));
    ASSERT_NE(esc, nullptr);
    EXPECT_EQ(esc->CurrentCode(), 0x04);
    EXPECT_TRUE(esc->IsRemapped());
}

TEST(MainWindowPages, MinimisedWindowPaintsOnlyItsIconCentred) {
    MainWindowRig rig;
    rig.Start();
    rig.ClickControl(MainId::kMinimize);
    Application::ProcessEvents();
    ASSERT_TRUE(rig.W().IsMinimized());
    const Image shot = rig.W().Render();
    const Color fill = rig.dlg->BackgroundColor();
    // The icon is 32 pixels at ((818 - 32 + 1) / 2, (628 - 32 + 1) / 2) = (393, 298).
    EXPECT_EQ(shot.PixelColor(392, 297), fill);
    EXPECT_EQ(shot.PixelColor(393 + 32, 298 + 32), fill);
    int iconPixels = 0;
    for (int y = 298; y < 298 + 32; ++y)
        for (int x = 393; x < 393 + 32; ++x) iconPixels += shot.PixelColor(x, y) != fill;
    EXPECT_GT(iconPixels, 200);
    int elsewhere = 0;
    for (int y = 0; y < 628; y += 7)
        for (int x = 0; x < 818; x += 7)
            if ((x < 393 || x >= 425 || y < 298 || y >= 330) && shot.PixelColor(x, y) != fill)
                ++elsewhere;
    EXPECT_EQ(elsewhere, 0);
    // "Config Keyboard" brings it back.
    rig.tray.command(MainCommand::kConfigKeyboard);
    Application::ProcessEvents();
    EXPECT_FALSE(rig.W().IsMinimized());
}

TEST(MainWindowContextMenu, RightClickOnTheBackgroundOffersTheUnplacedCommands) {
    MainWindowRig rig;
    rig.Start();
    rig.dialogs.menuAnswer = 0x805;
    SendMouse(rig.W(), QEvent::MouseButtonRelease, 30, 590, Qt::RightButton, Qt::NoButton);
    ASSERT_EQ(rig.dialogs.menus.size(), 1u);
    std::vector<std::string> texts;
    for (const MenuItem& i : rig.dialogs.menus[0]) texts.push_back(i.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Profile 4", "Profile 5", "", "Edit Profile...",
                                               "Save Profile as...", "Load Profile from...", "",
                                               "Macro Manager...", "", "Start at login"}));
    EXPECT_EQ(rig.dlg->CurrentProfileNumber(), 4);
    // Not on a control.
    const Rect ok = rig.dlg->FindControl(MainId::kOk)->GetRect();
    SendMouse(rig.W(), QEvent::MouseButtonRelease, ok.left + 3, ok.top + 3, Qt::RightButton,
              Qt::NoButton);
    EXPECT_EQ(rig.dialogs.menus.size(), 1u);
}

TEST(MainWindowContextMenu, EditProfileNamesTheProfileAndKeepsItsProgramsInItsFile) {
    MainWindowRig rig;
    rig.Start();
    rig.dialogs.newName = "Racing";
    rig.dialogs.newPrograms.paths = {"/usr/bin/game", "", "/opt/tool"};
    rig.dlg->Commands().RunMenuCommand(MainCommand::kEditProfile);
    EXPECT_EQ(rig.dialogs.editedName, KeyboardProfile::DefaultProfileName(0));
    EXPECT_EQ(rig.model.Profile(0).PairValue(KeyboardProfile::kProfileNamePair), "Racing");
    rig.ClickControl(MainId::kApply);
    const std::string text = ReadText(rig.Config("default0.psf"));
    EXPECT_NE(text.find("ProfileName=Racing\r\n"), std::string::npos);
    EXPECT_NE(
        text.find("\tKey4URL=\r\nProgram1=/usr/bin/game\r\nProgram2=\r\nProgram3=/opt/tool\r\n"),
        std::string::npos);
    // Cancel changes nothing.
    rig.dialogs.editAnswer = DialogResult::kCancel;
    rig.dialogs.newName = "Other";
    rig.dlg->Commands().RunMenuCommand(MainCommand::kEditProfile);
    EXPECT_EQ(rig.model.Profile(0).PairValue(KeyboardProfile::kProfileNamePair), "Racing");
    rig.model.Profile(0).programs = {};
}

TEST(MainWindowContextMenu, SaveAndLoadMoveTheCurrentSlotToTheChosenFile) {
    MainWindowRig rig;
    rig.Start();
    rig.model.Profile(0).SetLightColor(6);
    rig.dialogs.savePath = rig.dir.path + "mine.psf";
    rig.dlg->Commands().RunMenuCommand(MainCommand::kSaveProfile);
    EXPECT_NE(ReadText(rig.dir.path + "mine.psf").find("LightColor=6\r\n"), std::string::npos);
    EXPECT_NE(
        ReadText(rig.Config("config.ini")).find("ProfileSlot0URL=" + rig.dir.path + "mine.psf"),
        std::string::npos);

    rig.ClickControl(0x802);
    std::string other = ReadText(rig.dir.path + "mine.psf");
    other.replace(other.find("LightColor=6"), 12, "LightColor=5");
    ASSERT_TRUE(WriteFileAtomically(rig.dir.path + "other.psf", other));
    rig.dialogs.loadPath = rig.dir.path + "other.psf";
    rig.log.Clear();
    rig.dlg->Commands().RunMenuCommand(MainCommand::kLoadProfile);
    EXPECT_EQ(rig.model.Profile(1).LightColor(), 5);
    EXPECT_EQ(rig.model.settings.SlotPath(1), rig.dir.path + "other.psf");
    EXPECT_EQ(Combo(*rig.dlg, MainId::kLightColor)->DisplayText(), "Green");
    EXPECT_EQ(rig.model.pending, PendingWrites{}) << "a loaded profile is not marked";
    EXPECT_TRUE(rig.log.Sets().empty());
}

TEST(MainWindowParts, AnInstalledPartHearsTheHookAndTheMacroManagerAndNothingElse) {
    struct RecordingPart final : MainWindowPart {
        void OnHookKey(uint32_t virtualKey, uint32_t) override { keys.push_back(virtualKey); }
        void OpenMacroManager() override { ++managers; }
        std::vector<uint32_t> keys;
        int managers = 0;
    };
    MainWindowRig rig;
    rig.Start();
    // Key assignment hears its buttons itself.
    rig.ClickControl(0x898);
    EXPECT_EQ(rig.modalRuns, 1);
    RecordingPart keys, macros;
    rig.dlg->SetKeyAssignmentPart(&keys);
    rig.dlg->SetMacroPagePart(&macros);
    EXPECT_EQ(rig.W().Send(kMsgHookKey, 0x41, 0), 0);
    EXPECT_EQ(rig.W().Send(0x834, 0, 2), 0) << "a control's number routes nowhere";
    rig.dlg->Commands().RunMenuCommand(MainCommand::kMacroManager);
    EXPECT_TRUE(keys.keys.empty());
    EXPECT_EQ(keys.managers, 0);
    EXPECT_EQ(macros.keys, (std::vector<uint32_t>{0x41}));
    EXPECT_EQ(macros.managers, 1);
    rig.dlg->SetKeyAssignmentPart(nullptr);
    rig.dlg->SetMacroPagePart(nullptr);
}

}  // namespace
}  // namespace lumbra::test
