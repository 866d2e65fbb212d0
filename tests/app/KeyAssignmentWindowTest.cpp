// SPDX-License-Identifier: GPL-3.0-or-later
// Key assignment through the real main window on the simulated keyboard: the
// key buttons and G-key buttons clicked, the dialogs they open driven with
// pointer events and keys of real scan codes, then what the model, the
// pending flags, the keyboard (after Apply) and the files hold.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "../keys/KeyEvents.h"
#include "AppTestSupport.h"
#include "app/KeyAssignmentPart.h"
#include "device/ProgramLauncher.h"
#include "keys/CKeyMapSettingDlg.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"
#include "ui/CComboButton.h"
#include "ui/CKeyboardButton.h"
#include "ui/CMacroLibraryPopup.h"

namespace lumbra::test {
namespace {

namespace fs = std::filesystem;
using namespace Evdev;

// Centres of the dialogs' controls, from their layouts.
namespace KeyMapAt {
constexpr Point kMouseMode{32, 144}, kCombo{280, 146}, kDisableMode{32, 182};
constexpr Point kOk{246, 240}, kCancel{347, 240};
}  // namespace KeyMapAt
namespace ShortcutAt {
constexpr Point kCtrl{89, 110}, kAlt{192, 110}, kOk{52, 176}, kCancel{150, 176};
}  // namespace ShortcutAt
namespace QuickAt {
constexpr Point kBrowse{269, 96}, kOk{100, 212}, kCancel{184, 212};
}  // namespace QuickAt

// Key buttons and their key-table positions, from the key table.
constexpr uint32_t kQ = 0x8BE, kW = 0x8BF, kA = 0x8D3, kF3 = 0x89B, kEsc = 0x898;
constexpr size_t kQIndex = 96, kWIndex = 80, kAIndex = 48, kF3Index = 129, kEscIndex = 32;
constexpr uint32_t kG1 = 0x81E, kG2 = 0x81F, kG3 = 0x820, kG5 = 0x822;
constexpr uint32_t kF1Evdev = 59;

void ClickAt(CDlgBase& d, Point p) {
    test::Click(*d.Window(), p.x, p.y);
    Application::ProcessEvents();
}

void Type(CDlgBase& d, std::initializer_list<uint32_t> keys) {
    for (uint32_t k : keys) Tap(*d.Window(), k);
    Application::ProcessEvents();
}

CKeyboardButton* Key(MainWindowRig& rig, uint32_t id) {
    return dynamic_cast<CKeyboardButton*>(rig.dlg->FindControl(id));
}
CComboButton* GButton(MainWindowRig& rig, uint32_t id) {
    return dynamic_cast<CComboButton*>(rig.dlg->FindControl(id));
}

// Opens a G key's function menu on page 2 and clicks one of its items.
void ChooseInFunctionMenu(MainWindowRig& rig, uint32_t gButton, const std::string& item) {
    rig.dlg->ShowPage(2);
    rig.ClickControl(gButton);
    CWndPopup* menu = rig.dlg->Popup(PopupSlot::kFunctionMenu);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(GButton(rig, gButton)->IsPopupOpen());
    rig.ClickPopupItem(menu, item);
    rig.Settle();
}

// Rests the pointer on a function-menu item, which opens its sub-list.
void HoverMenuItem(MainWindowRig& rig, const std::string& text) {
    CWndPopup* menu = rig.dlg->Popup(PopupSlot::kFunctionMenu);
    ASSERT_NE(menu, nullptr);
    for (const PopupItem& i : menu->Items())
        if (i.text == text) {
            Move(*menu->Window(), (i.rect.left + i.rect.right) / 2,
                 (i.rect.top + i.rect.bottom) / 2);
            Application::ProcessEvents();
            return;
        }
    FAIL() << "no item " << text;
}

void Apply(MainWindowRig& rig) {
    rig.ClickControl(MainId::kApply);
    rig.Settle();
}

TEST(MainWindowKeyAssignment, KeyButtonsStoreCapturedDisabledAndMouseCodesAndApplySendsThem) {
    MainWindowRig rig;
    rig.Start();
    // Q given its own usage: the factory code, so it is not remapped.
    std::vector<int> openedWith;
    rig.onModal = [&](CDlgBase& d) {
        openedWith.push_back(dynamic_cast<CKeyMapSettingDlg&>(d).CurrentCode());
        Type(d, {Evdev::kQ});
        ClickAt(d, KeyMapAt::kOk);
        return DialogResult::kOk;
    };
    rig.ClickControl(kQ);
    EXPECT_EQ(rig.model.Profile(0).Keys()[kQIndex], 235);
    EXPECT_FALSE(Key(rig, kQ)->IsRemapped());
    EXPECT_EQ(Key(rig, kQ)->CurrentCode(), 235);
    // W given Q's usage sends Q: remapped.
    rig.ClickControl(kW);
    EXPECT_EQ(rig.model.Profile(0).Keys()[kWIndex], 20);
    EXPECT_TRUE(Key(rig, kW)->IsRemapped());
    EXPECT_EQ(openedWith, (std::vector<int>{235, 234})) << "the dialog gets the key's own code";
    // A disabled.
    rig.onModal = [](CDlgBase& d) {
        ClickAt(d, KeyMapAt::kDisableMode);
        ClickAt(d, KeyMapAt::kOk);
        return DialogResult::kOk;
    };
    rig.ClickControl(kA);
    EXPECT_EQ(rig.model.Profile(0).Keys()[kAIndex], 0);
    EXPECT_TRUE(Key(rig, kA)->IsRemapped());
    // F3 given F1's usage does F1's own function.
    rig.onModal = [](CDlgBase& d) {
        Type(d, {kF1Evdev});
        ClickAt(d, KeyMapAt::kOk);
        return DialogResult::kOk;
    };
    rig.ClickControl(kF3);
    EXPECT_EQ(rig.model.Profile(0).Keys()[kF3Index], 192);
    EXPECT_TRUE(Key(rig, kF3)->IsRemapped());
    // Esc performs "IE Forward" (212), chosen from the dialog's mouse list.
    rig.onModal = [](CDlgBase& d) {
        ClickAt(d, KeyMapAt::kMouseMode);
        ClickAt(d, KeyMapAt::kCombo);
        CWndPopup* list = d.Popup(PopupSlot::kMouseFunctionList);
        EXPECT_NE(list, nullptr);
        if (!list) return DialogResult::kCancel;
        const Rect item = list->Items()[4].rect;
        test::Click(*list->Window(), item.left + 5, item.top + 5);
        Application::ProcessEvents();
        ClickAt(d, KeyMapAt::kOk);
        return DialogResult::kOk;
    };
    rig.ClickControl(kEsc);
    EXPECT_EQ(rig.model.Profile(0).Keys()[kEscIndex], 212);
    EXPECT_EQ(rig.modalRuns, 5);
    EXPECT_TRUE(rig.model.pending.keyTablePending[0]);
    EXPECT_EQ(rig.log.Count("set 06"), 0) << "nothing is sent before Apply";

    Apply(rig);
    EXPECT_EQ(rig.model.pending, PendingWrites{});
    const SimKeyboardState state = rig.sim->State();
    const KeyTable& sent = state.profiles[0].keys;
    EXPECT_EQ(sent[kQIndex], 235);
    EXPECT_EQ(sent[kWIndex], 20);
    EXPECT_EQ(sent[kAIndex], 0);
    EXPECT_EQ(sent[kF3Index], 192);
    EXPECT_EQ(sent[kEscIndex], 212);
}

TEST(MainWindowKeyAssignment, DefaultFunctionAndShortcutFillTheGKeysAndReachTheKeyboard) {
    MainWindowRig rig;
    rig.Start();
    ChooseInFunctionMenu(rig, kG3, "Default Function");
    const GKeySlot& g3 = *rig.model.Profile(0).GKey(2);
    EXPECT_EQ(g3.action, (KeyAction{6, 1, 32}));
    EXPECT_EQ(g3.name, "CTRL+3");
    EXPECT_EQ(GButton(rig, kG3)->DisplayText(), "CTRL+3");
    EXPECT_FALSE(GButton(rig, kG3)->IsPopupOpen());
    EXPECT_EQ(rig.dlg->Popup(PopupSlot::kFunctionMenu), nullptr);

    // The shortcut dialog runs after the menu has gone.
    bool menuGoneFirst = false;
    rig.onModal = [&](CDlgBase& d) {
        menuGoneFirst = rig.dlg->Popup(PopupSlot::kFunctionMenu) == nullptr;
        ClickAt(d, ShortcutAt::kCtrl);
        ClickAt(d, ShortcutAt::kAlt);
        Type(d, {Evdev::kA});
        ClickAt(d, ShortcutAt::kOk);
        return DialogResult::kOk;
    };
    ChooseInFunctionMenu(rig, kG2, "Assign a Shortcut");
    EXPECT_TRUE(menuGoneFirst);
    EXPECT_EQ(rig.modalRuns, 1);
    const GKeySlot& g2 = *rig.model.Profile(0).GKey(1);
    EXPECT_EQ(g2.action, (KeyAction{6, 5, 4}));
    EXPECT_EQ(g2.name, "Ctrl+Alt+A");
    EXPECT_EQ(GButton(rig, kG2)->DisplayText(), "Ctrl+Alt+A");
    EXPECT_TRUE(rig.model.pending.keyTablePending[0]);

    Apply(rig);
    const SimKeyboardState state = rig.sim->State();
    const auto& actions = state.profiles[0].actions;
    EXPECT_EQ(actions[1], (KeyAction{6, 5, 4}));
    EXPECT_EQ(actions[2], (KeyAction{6, 1, 32}));
}

TEST(MainWindowKeyAssignment, SubListsOpenOnHoverAndTheirChoicesAreStored) {
    MainWindowRig rig;
    rig.Start();
    rig.dlg->ShowPage(2);
    rig.ClickControl(kG1);
    HoverMenuItem(rig, "Mouse Function");
    CWndPopup* mouse = rig.dlg->Popup(PopupSlot::kMouseFunctionList);
    ASSERT_NE(mouse, nullptr);
    // Beside the menu item: the button's right edge - 6, its bottom + 48.
    const Rect g1 = GButton(rig, kG1)->GetRect();
    EXPECT_EQ(mouse->Position(), rig.W().ClientToScreen({g1.right - 6, g1.bottom + 48}));
    // Another sub-list replaces it.
    HoverMenuItem(rig, "Multimedia");
    EXPECT_EQ(rig.dlg->Popup(PopupSlot::kMouseFunctionList), nullptr);
    ASSERT_NE(rig.dlg->Popup(PopupSlot::kMultimediaList), nullptr);
    rig.ClickPopupItem(rig.dlg->Popup(PopupSlot::kMultimediaList), "Volume+");
    rig.Settle();
    EXPECT_EQ(rig.model.Profile(0).GKey(0)->action, (KeyAction{2, 161, 0}));
    EXPECT_EQ(GButton(rig, kG1)->DisplayText(), "Volume+");
    EXPECT_EQ(rig.dlg->Popup(PopupSlot::kFunctionMenu), nullptr);
    EXPECT_EQ(rig.dlg->Popup(PopupSlot::kMultimediaList), nullptr);
    EXPECT_FALSE(GButton(rig, kG1)->IsPopupOpen());

    rig.ClickControl(kG1);
    HoverMenuItem(rig, "Mouse Function");
    rig.ClickPopupItem(rig.dlg->Popup(PopupSlot::kMouseFunctionList), "Double-click");
    rig.Settle();
    EXPECT_EQ(rig.model.Profile(0).GKey(0)->action, (KeyAction{4, 0, 0}));

    // "No Function" and losing the menu's activation.
    ChooseInFunctionMenu(rig, kG5, "No Function");
    EXPECT_EQ(rig.model.Profile(0).GKey(4)->action, (KeyAction{0, 0, 0}));
    EXPECT_EQ(GButton(rig, kG5)->DisplayText(), "No Function");
    rig.ClickControl(kG5);
    ASSERT_NE(rig.dlg->Popup(PopupSlot::kFunctionMenu), nullptr);
    Deactivate(*rig.dlg->Popup(PopupSlot::kFunctionMenu)->Window());
    rig.Settle();
    EXPECT_EQ(rig.dlg->Popup(PopupSlot::kFunctionMenu), nullptr);
    EXPECT_FALSE(GButton(rig, kG5)->IsPopupOpen());
}

TEST(MainWindowKeyAssignment, AssignAMacroListsTheFirstSetAndApplySendsTheMacro) {
    MainWindowRig rig;
    rig.Start();
    MacroKey* key = rig.library.SetAt(0)->AddKey("Greeting");
    key->AllAction[0].bytes = {0x00, 0x04, 0x00, 0x00};
    key->MacroActionNum = 1;
    key->MacroCommandActionNum = 1;
    rig.dlg->ShowPage(2);
    rig.ClickControl(kG2);
    HoverMenuItem(rig, "Assign a Macro");
    auto* list = dynamic_cast<CMacroLibraryPopup*>(rig.dlg->Popup(PopupSlot::kMacroLibrary));
    ASSERT_NE(list, nullptr);
    std::vector<std::string> names;
    for (const PopupItem& i : list->Items()) names.push_back(i.text);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "Greeting");
    EXPECT_EQ(names.size(), rig.library.SetAt(0)->MacroKeyNum());
    rig.ClickPopupItem(list, "Greeting");
    rig.Settle();
    EXPECT_EQ(rig.model.Profile(0).GKey(1)->action, (KeyAction{1, 0, 0}));
    EXPECT_EQ(rig.model.Profile(0).GKey(1)->name, "Greeting");
    EXPECT_TRUE(rig.model.pending.macroPending[0][1]);

    Apply(rig);
    const auto state = rig.sim->State();
    EXPECT_EQ(state.profiles[0].actions[1], (KeyAction{1, 0, 0}));
    const auto& record = state.profiles[0].macros[1];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data()), 8), "Greeting");
}

TEST(MainWindowKeyAssignment, QuickLaunchStoresTheProgramAndTheKeyboardEventStartsIt) {
    MainWindowRig rig;
    SpawnProgramLauncher launcher;
    rig.launcher = &launcher;
    const std::string marker = rig.dir.path + "started";
    const std::string program = rig.dir.path + "hello.sh";
    {
        std::ofstream out(program);
        out << "#!/bin/sh\ntouch '" << marker << "'\n";
    }
    fs::permissions(program, fs::perms::owner_all);
    rig.programChoice = program;
    rig.Start();
    rig.onModal = [](CDlgBase& d) {
        ClickAt(d, QuickAt::kBrowse);
        ClickAt(d, QuickAt::kOk);
        return DialogResult::kOk;
    };
    ChooseInFunctionMenu(rig, kG5, "Quick Launch");
    const GKeySlot& g5 = *rig.model.Profile(0).GKey(4);
    EXPECT_EQ(g5.action, (KeyAction{7, 0, 0}));
    EXPECT_EQ(g5.name, "hello.sh");
    EXPECT_EQ(g5.launchPath, program);
    EXPECT_EQ(GButton(rig, kG5)->DisplayText(), "hello.sh");
    Apply(rig);
    EXPECT_EQ(rig.sim->State().profiles[0].actions[4], (KeyAction{7, 0, 0}));

    // The keyboard reports G5's quick launch.
    rig.sim->SendEvent(0x04, 5);
    for (int i = 0; i < 200 && !fs::exists(marker); ++i) {
        rig.Settle();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(fs::exists(marker));
}

TEST(MainWindowKeyAssignment, CancelledDialogsChangeNothing) {
    MainWindowRig rig;
    rig.programChoice = "/bin/true";
    rig.Start();
    const KeyboardProfile before = rig.model.Profile(0);
    rig.onModal = [](CDlgBase& d) {
        Type(d, {Evdev::kB});
        ClickAt(d, KeyMapAt::kDisableMode);
        ClickAt(d, KeyMapAt::kCancel);
        return DialogResult::kCancel;
    };
    rig.ClickControl(kA);
    rig.onModal = [](CDlgBase& d) {
        ClickAt(d, ShortcutAt::kCtrl);
        Type(d, {Evdev::kA});
        ClickAt(d, ShortcutAt::kCancel);
        return DialogResult::kCancel;
    };
    ChooseInFunctionMenu(rig, kG2, "Assign a Shortcut");
    rig.onModal = [](CDlgBase& d) {
        ClickAt(d, QuickAt::kBrowse);
        ClickAt(d, QuickAt::kCancel);
        return DialogResult::kCancel;
    };
    ChooseInFunctionMenu(rig, kG5, "Quick Launch");
    EXPECT_EQ(rig.modalRuns, 3);
    EXPECT_EQ(rig.model.Profile(0).Keys(), before.Keys());
    for (int g = 0; g < 5; ++g) {
        EXPECT_EQ(rig.model.Profile(0).GKey(g)->action, before.GKey(g)->action) << g;
        EXPECT_EQ(rig.model.Profile(0).GKey(g)->name, before.GKey(g)->name) << g;
    }
    EXPECT_EQ(rig.model.pending, PendingWrites{});
    EXPECT_FALSE(Key(rig, kA)->IsRemapped());
    EXPECT_EQ(GButton(rig, kG2)->DisplayText(), before.GKey(1)->name);
}

TEST(MainWindowKeyAssignment, PcOnlyProfileChangesStayOffTheKeyboardButPersistInTheirFile) {
    MainWindowRig rig;
    rig.Start();
    const SimKeyboardState keyboardBefore = rig.sim->State();
    rig.dlg->Commands().RunClick(MainId::kProfile5);
    ASSERT_EQ(rig.dlg->CurrentProfileNumber(), 4);
    rig.onModal = [](CDlgBase& d) {
        ClickAt(d, KeyMapAt::kDisableMode);
        ClickAt(d, KeyMapAt::kOk);
        return DialogResult::kOk;
    };
    rig.ClickControl(kA);
    ChooseInFunctionMenu(rig, kG3, "Default Function");
    EXPECT_EQ(rig.model.Profile(4).Keys()[kAIndex], 0);
    EXPECT_EQ(rig.model.Profile(4).GKey(2)->action, (KeyAction{6, 1, 32}));
    rig.log.Clear();
    Apply(rig);
    EXPECT_EQ(rig.log.Count("set 06"), 0) << "no key table is sent";
    const SimKeyboardState keyboardAfter = rig.sim->State();
    for (int p = 0; p < kOnBoardProfileCount; ++p)
        EXPECT_EQ(keyboardAfter.profiles[static_cast<size_t>(p)],
                  keyboardBefore.profiles[static_cast<size_t>(p)])
            << p;
    // A later start reads it back from profile 5's file.
    KeyboardModel reread;
    ASSERT_TRUE(ReadSettingsFile(reread.settings, rig.dir.path));
    ReadProfileFile(reread, 4);
    EXPECT_EQ(reread.Profile(4).Keys()[kAIndex], 0);
    EXPECT_EQ(reread.Profile(4).GKey(2)->action, (KeyAction{6, 1, 32}));
    EXPECT_EQ(reread.Profile(4).GKey(2)->name, "CTRL+3");
}

}  // namespace
}  // namespace lumbra::test
