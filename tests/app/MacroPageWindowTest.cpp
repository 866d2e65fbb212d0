// SPDX-License-Identifier: GPL-3.0-or-later
// The macro page and the macro manager through the real main window on the
// simulated keyboard: names typed into the list's editor, keys recorded
// through the keyboard hook with real scan codes and time stamps, then what
// the library, its file, the keyboard (after Apply) and a restart hold.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <filesystem>

#include "../keys/KeyEvents.h"
#include "AppTestSupport.h"
#include "app/MacroPagePart.h"
#include "keys/ButtonIds.h"
#include "macro/MacroPageIds.h"
#include "macro/CMacroManagerDlg.h"
#include "macro/MacroPage.h"
#include "platform/EditBox.h"
#include "platform/HostWidget.h"
#include "storage/MacroFiles.h"
#include "ui/CCheckButton.h"
#include "ui/CEditShowList.h"
#include "ui/CImageShowList.h"

namespace lumbra::test {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kNew = 2100, kDelete = 2101, kImport = 2102, kExport = 2103;
constexpr uint32_t kMacroList = 2109, kRecord = 2113;
constexpr uint8_t kVkA = 0x41, kVkB = 0x42, kVkLeftCtrl = 0xA2;
constexpr const char* kAttention = "Attention!|";

CEditShowList* List(MainWindowRig& rig) {
    return dynamic_cast<CEditShowList*>(rig.dlg->FindControl(kMacroList));
}

// The main window on its macro page, the first set holding `names`.
void StartOnMacroPage(MainWindowRig& rig, std::initializer_list<const char*> names = {}) {
    rig.Start();
    MacroSet* set = rig.library.SetAt(0);
    ASSERT_NE(set, nullptr);
    while (set->MacroKeyNum() > 0) set->RemoveKey(0);
    for (const char* n : names) set->AddKey(n);
    rig.ClickControl(MainId::kPage1Tab);
    ASSERT_EQ(rig.dlg->PageShown(), MainPage::kMacros);
}

void ClickRow(MainWindowRig& rig, int row) {
    rig.Click(179, 215 + CEditShowList::kRowHeight * row + 10);
}

void TypeName(MainWindowRig& rig, const std::string& name) {
    rig.ClickControl(kNew);
    ASSERT_TRUE(List(rig)->IsEditing());
    List(rig)->Editor()->SetText(name);
}

void PressEnterInEditor(MainWindowRig& rig) {
    auto* edit = WidgetOf(rig.W())->findChild<QLineEdit*>(QStringLiteral("edit2016"));
    ASSERT_NE(edit, nullptr);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &press);
    Application::ProcessEvents();
}

std::vector<std::string> Names(MainWindowRig& rig) {
    std::vector<std::string> out;
    const MacroSet* set = rig.library.SetAt(0);
    for (uint32_t i = 0; set && i < set->MacroKeyNum(); ++i) out.push_back(set->KeyAt(i)->name);
    return out;
}

// A key transition at a time stamp, through the window system.
void Key(MainWindowRig& rig, bool press, uint32_t evdev, unsigned long ms) {
    SendKey(rig.W(), press, evdev, Qt::Key_unknown, ms);
    Application::ProcessEvents();
}

MacroAction Event(uint8_t vk, bool release) {
    return MacroAction{{vk, static_cast<uint8_t>(release ? 0x80 : 0x00), 0, 0}};
}
MacroAction Pause(uint32_t ms) {
    return MacroAction{{3, static_cast<uint8_t>(ms >> 16), static_cast<uint8_t>(ms >> 8),
                        static_cast<uint8_t>(ms)}};
}
std::vector<MacroAction> Actions(const MacroKey& k) {
    return {k.AllAction.begin(), k.AllAction.begin() + k.MacroActionNum};
}

TEST(MacroPageWindow, NamesCommitByEnterAndByClicksWithTheirOwnRefusals) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Alpha"});
    TypeName(rig, "TwelveChars!");
    PressEnterInEditor(rig);
    EXPECT_FALSE(List(rig)->IsEditing());
    EXPECT_EQ(Names(rig), (std::vector<std::string>{"Alpha", "TwelveChars!"}));
    EXPECT_NE(ReadText(rig.Config("MacroLibraryFile.mlf")).find("TwelveChars!"), std::string::npos);

    // Thirteen characters by Enter: the window's text, the name discarded.
    TypeName(rig, "ThirteenChars");
    PressEnterInEditor(rig);
    EXPECT_FALSE(List(rig)->IsEditing());
    // By a click in the list: the list's own wording, the editor stays open.
    TypeName(rig, "ThirteenChars");
    rig.Click(179, 420);
    EXPECT_TRUE(List(rig)->IsEditing());
    // A duplicate, committed by a click elsewhere on the page.
    List(rig)->Editor()->SetText("Alpha");
    rig.Click(620, 330);
    EXPECT_FALSE(List(rig)->IsEditing());
    // The delete button discards a typed name.
    TypeName(rig, "Discarded");
    rig.ClickControl(kDelete);
    EXPECT_FALSE(List(rig)->IsEditing());
    EXPECT_EQ(Names(rig), (std::vector<std::string>{"Alpha", "TwelveChars!"}));
    ASSERT_GE(rig.dialogs.messages.size(), 3u);
    EXPECT_EQ(rig.dialogs.messages[0],
              std::string(kAttention) + "The lengh of name exceed 12,please new it again!");
    EXPECT_EQ(rig.dialogs.messages[1],
              std::string(kAttention) + "The lengh of name is exceed 12,please new it again!");
    EXPECT_EQ(rig.dialogs.messages[2],
              std::string(kAttention) + "The macro is existing.Please try a new macro name.");
}

// Enter pressed on whatever has the keyboard focus in the main window.
void PressEnterOnFocus(MainWindowRig& rig) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    ASSERT_EQ(focus->window(), WidgetOf(rig.W())->window());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(focus, &press);
    Application::ProcessEvents();
}

TEST(MacroPageWindow, AfterANameTheWindowHasTheFocusAndEnterAnywhereOnThePageCommits) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Alpha"});
    WidgetOf(rig.W())->activateWindow();
    ClickRow(rig, 0);
    EditBox* loop = rig.dlg->LoopCountEdit();
    ASSERT_EQ(loop->Text(), "1");
    for (const char* name : {"Beta", "Gamma"}) {
        TypeName(rig, name);
        ASSERT_TRUE(List(rig)->Editor()->HasFocus());
        PressEnterInEditor(rig);
        EXPECT_FALSE(List(rig)->IsEditing());
        EXPECT_FALSE(loop->HasFocus()) << name;
        EXPECT_EQ(QApplication::focusWidget(), WidgetOf(rig.W())) << name;
    }
    // Digits typed next change no loop count.
    QKeyEvent digit(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
    QCoreApplication::sendEvent(QApplication::focusWidget(), &digit);
    EXPECT_EQ(loop->Text(), "1");

    // Enter with the focus in the loop count box, then on the window itself.
    TypeName(rig, "Delta");
    loop->Focus();
    ASSERT_TRUE(loop->HasFocus());
    PressEnterOnFocus(rig);
    EXPECT_FALSE(List(rig)->IsEditing());
    TypeName(rig, "Epsilon");
    TakeFocusFromEditBoxes(rig.W());
    PressEnterOnFocus(rig);
    EXPECT_FALSE(List(rig)->IsEditing());
    EXPECT_EQ(Names(rig), (std::vector<std::string>{"Alpha", "Beta", "Gamma", "Delta", "Epsilon"}));
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

// A name typed and committed with Enter, played by G1 of profile 1, applied,
// and read back from the keyboard by the next start: an accepted name comes
// back as the same, single macro, still on its G key.
struct RoundTripCase {
    const char* name;
    bool accepted;
};

class NameRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(NameRoundTrip, AcceptedNamesComeBackFromTheKeyboardAsTheSameMacro) {
    const RoundTripCase& c = GetParam();
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Other"});
    TypeName(rig, c.name);
    PressEnterInEditor(rig);
    if (!c.accepted) {
        EXPECT_EQ(Names(rig), (std::vector<std::string>{"Other"}));
        EXPECT_EQ(rig.dialogs.messages,
                  (std::vector<std::string>{std::string(kAttention) +
                                            "The lengh of name exceed 12,please new it again!"}));
        return;
    }
    ASSERT_EQ(Names(rig), (std::vector<std::string>{"Other", c.name}));
    GKeySlot& g = *rig.model.Profile(0).GKey(0);
    g.name = c.name;
    g.action = KeyAction{1, 0, 0};
    rig.model.pending.MarkKeyTable(0);
    rig.model.pending.MarkMacro(0, 0);
    rig.ClickControl(MainId::kApply);
    rig.Settle();

    MainWindowRig again;
    again.sim->SetState(rig.sim->State());
    ASSERT_TRUE(WriteMacroLibrary(rig.library, again.dir.path));
    again.Start();
    EXPECT_EQ(Names(again), (std::vector<std::string>{"Other", c.name}));
    EXPECT_EQ(again.model.Profile(0).GKey(0)->name, c.name);
}

INSTANTIATE_TEST_SUITE_P(AsciiCjkEmoji, NameRoundTrip,
                         testing::Values(RoundTripCase{"TwelveChars!", true},
                                         RoundTripCase{"宏一二三", true},
                                         RoundTripCase{"🔥🎮🚀", true},
                                         RoundTripCase{"é宏一二三", false},
                                         RoundTripCase{"宏一二三四五六七八九十二", false}));

TEST(MacroPageWindow, DeleteIsRefusedWhileAGKeyPlaysTheMacro) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Used", "Free"});
    GKeySlot& g = *rig.model.Profile(1).GKey(3);
    g.name = "Used";
    g.action = KeyAction{1, 0, 0};
    ClickRow(rig, 0);
    rig.ClickControl(kDelete);
    EXPECT_EQ(Names(rig), (std::vector<std::string>{"Used", "Free"}));
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0],
              std::string(kAttention) + "The Macro is currently in use,hence can't delete it!");
    ClickRow(rig, 1);
    rig.ClickControl(kDelete);
    EXPECT_EQ(Names(rig), (std::vector<std::string>{"Used"}));
    EXPECT_EQ(List(rig)->Selected(), -1);
    EXPECT_EQ(rig.dlg->OwnMacroPagePart()->Page().Current(), nullptr);
}

TEST(MacroPageWindow, LoopCountOutsideOneTo255IsRefusedAndLeavesOne) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Looped"});
    ClickRow(rig, 0);
    EditBox* edit = rig.dlg->LoopCountEdit();
    ASSERT_TRUE(edit->IsVisible());
    for (const char* bad : {"0", "256"}) {
        rig.dialogs.messages.clear();
        edit->SetText(bad);
        Application::ProcessEvents();
        EXPECT_EQ(rig.dialogs.messages,
                  (std::vector<std::string>{std::string(kAttention) +
                                            "Please insert a valid input between 1 to 255."}))
            << bad;
        EXPECT_EQ(edit->Text(), "1");
        EXPECT_EQ(rig.library.SetAt(0)->KeyAt(0)->LoopNum, 1);
    }
    edit->SetText("255");
    Application::ProcessEvents();
    EXPECT_EQ(rig.library.SetAt(0)->KeyAt(0)->LoopNum, 255);
    EXPECT_TRUE(rig.dlg->Link().LibraryChanged());
}

TEST(MacroPageWindow, ExportThenImportIntoAnotherMacroCopiesEverythingButTheName) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Source", "Target"});
    MacroKey& source = *rig.library.SetAt(0)->KeyAt(0);
    source.SetAction(0, Event(kVkA, false));
    source.SetAction(1, Pause(300));
    source.SetAction(2, Event(kVkA, true));
    source.MacroActionNum = 3;
    source.MacroCommandActionNum = 2;
    source.LoopEnable = 1;
    source.LoopNum = 7;
    const std::string file = rig.dir.path + "source.mkf";
    rig.macroFileToSave = file;
    ClickRow(rig, 0);
    rig.ClickControl(kExport);
    ASSERT_TRUE(fs::exists(file));
    rig.macroFileToOpen = file;
    ClickRow(rig, 1);
    rig.ClickControl(kImport);
    const MacroKey& target = *rig.library.SetAt(0)->KeyAt(1);
    EXPECT_EQ(target.name, "Target");
    EXPECT_EQ(Actions(target), Actions(source));
    EXPECT_EQ(target.LoopNum, 7);
    EXPECT_EQ(target.LoopEnable, 1);
    EXPECT_EQ(rig.dlg->OwnMacroPagePart()->Page().Current(), &target);
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(MacroPageWindow, ExportAndImportThatCannotBeSavedAreSaidWithTheFileAndTheReason) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Source", "Target"});
    const std::string file = rig.dir.path + "source.mkf",
                      library = rig.Config("MacroLibraryFile.mlf");
    rig.macroFileToSave = file + "/in-a-file.mkf";
    ClickRow(rig, 0);
    ASSERT_TRUE(WriteMacroKeyFile(*rig.library.SetAt(0)->KeyAt(0), file));
    rig.ClickControl(kExport);
    // An import whose library cannot be written afterwards.
    fs::remove(library);
    fs::create_directory(library);
    rig.macroFileToOpen = file;
    ClickRow(rig, 1);
    rig.ClickControl(kImport);
    EXPECT_EQ(rig.dialogs.messages,
              (std::vector<std::string>{
                  kAttention + ("Could not save " + *rig.macroFileToSave + ": Not a directory."),
                  kAttention + ("Could not save " + library + ": Is a directory.")}));
    EXPECT_TRUE(rig.dlg->Link().LibraryChanged()) << "the next Apply tries again";
}

TEST(MacroPageWindow, RecordedMacroAssignedToG1ReachesTheKeyboardAndComesBackOnRestart) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Typed"});
    ClickRow(rig, 0);
    // Under a Wayland compositor the desktop keeps its shortcuts: said while recording.
    setenv("WAYLAND_DISPLAY", "wayland-test", 1);
    rig.ClickControl(kRecord);
    unsetenv("WAYLAND_DISPLAY");
    const MacroPagePart& part = *rig.dlg->OwnMacroPagePart();
    ASSERT_TRUE(part.Hook().IsRunning());
    EXPECT_TRUE(rig.dlg->FindControl(kNew)->IsDisabled());
    const CControlBase* note = rig.dlg->FindControl(MacroPageId::kWaylandRecordingNote);
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->IsVisible());
    // Ctrl held (its repeats recorded once), A tapped, then a long pause.
    Key(rig, true, Evdev::kCtrlL, 1000);
    Key(rig, true, Evdev::kCtrlL, 1030);
    Key(rig, true, Evdev::kA, 1200);
    Key(rig, false, Evdev::kA, 1215);
    Key(rig, false, Evdev::kCtrlL, 2231);  // 1016 ms later: a command of its own
    Key(rig, true, Evdev::kB, 3246);       // 1015 ms
    rig.ClickControl(kRecord);
    EXPECT_FALSE(part.Hook().IsRunning());
    EXPECT_FALSE(rig.dlg->FindControl(kNew)->IsDisabled());
    EXPECT_FALSE(note->IsVisible());
    const MacroKey& typed = *rig.library.SetAt(0)->KeyAt(0);
    EXPECT_EQ(Actions(typed), (std::vector<MacroAction>{
                                  Event(kVkLeftCtrl, false), Pause(200), Event(kVkA, false),
                                  Pause(15), Event(kVkA, true), Pause(1016),
                                  Event(kVkLeftCtrl, true), Pause(1015), Event(kVkB, false)}));
    EXPECT_EQ(typed.MacroCommandActionNum, 6);
    EXPECT_NE(ReadText(rig.Config("MacroLibraryFile.mlf")).find("Typed"), std::string::npos);

    // Recorded again, with pauses the keyboard keeps exactly (it counts in 8 ms).
    rig.ClickControl(kRecord);
    Key(rig, true, Evdev::kCtrlL, 5000);
    Key(rig, true, Evdev::kA, 5200);
    Key(rig, false, Evdev::kA, 5216);
    Key(rig, false, Evdev::kCtrlL, 6232);
    rig.ClickControl(kRecord);
    EXPECT_EQ(Actions(typed),
              (std::vector<MacroAction>{Event(kVkLeftCtrl, false), Pause(200), Event(kVkA, false),
                                        Pause(16), Event(kVkA, true), Pause(1016),
                                        Event(kVkLeftCtrl, true)}));
    EXPECT_EQ(typed.MacroCommandActionNum, 5);

    // Assigned to G1 and applied.
    rig.dlg->ShowPage(2);
    rig.ClickControl(kFirstGKeyButtonId);
    CWndPopup* menu = rig.dlg->Popup(PopupSlot::kFunctionMenu);
    ASSERT_NE(menu, nullptr);
    const Rect item = menu->Items()[0].rect;  // "Assign a Macro"
    Move(*menu->Window(), (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    Application::ProcessEvents();
    rig.ClickPopupItem(rig.dlg->Popup(PopupSlot::kMacroLibrary), "Typed");
    rig.Settle();
    rig.ClickControl(MainId::kApply);
    rig.Settle();
    const SimKeyboardState keyboard = rig.sim->State();
    EXPECT_EQ(keyboard.profiles[0].actions[0], (KeyAction{1, 0, 0}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(keyboard.profiles[0].macros[0].data()), 5),
              "Typed");

    // A restart with nothing on disk reads the macro back from the keyboard.
    MainWindowRig again;
    again.sim->SetState(keyboard);
    again.Start();
    const MacroKey* back = again.library.FindMacroKeyByName("Typed");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Actions(*back), Actions(typed));
    EXPECT_EQ(back->MacroCommandActionNum, typed.MacroCommandActionNum);
    EXPECT_EQ(back->LoopNum, typed.LoopNum);
    EXPECT_EQ(back->LoopEnable, typed.LoopEnable);
    EXPECT_EQ(again.model.Profile(0).GKey(0)->name, "Typed");
}

TEST(MacroPageWindow, WithoutPausesEveryEventIsOneCommandAndTheHundredthEndsTheRecording) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Long"});
    ClickRow(rig, 0);
    rig.Click(562, 260);  // the delay switch off
    ASSERT_FALSE(dynamic_cast<CCheckButton*>(rig.dlg->FindControl(2112))->IsChecked());
    rig.ClickControl(kRecord);
    const MacroPagePart& part = *rig.dlg->OwnMacroPagePart();
    for (int i = 0; i < 51; ++i) {
        Key(rig, true, Evdev::kA, 100 + 40 * i);
        Key(rig, false, Evdev::kA, 120 + 40 * i);
    }
    const MacroKey& k = *rig.library.SetAt(0)->KeyAt(0);
    EXPECT_EQ(k.MacroActionNum, 100u);
    EXPECT_EQ(k.MacroCommandActionNum, 100);
    EXPECT_EQ(Actions(k)[0], Event(kVkA, false));
    EXPECT_EQ(Actions(k)[99], Event(kVkA, true));
    EXPECT_FALSE(part.Hook().IsRunning());
    EXPECT_FALSE(dynamic_cast<CCheckButton*>(rig.dlg->FindControl(kRecord))->IsChecked());
    EXPECT_FALSE(rig.dlg->FindControl(kNew)->IsDisabled());
    EXPECT_EQ(rig.dialogs.messages, (std::vector<std::string>{std::string(kAttention) +
                                                              "The Number of Action is full!"}));
    // Saved when it stopped.
    MacroLibrary saved;
    ASSERT_TRUE(ReadMacroLibrary(saved, rig.dir.path));
    ASSERT_NE(saved.FindMacroKeyByName("Long"), nullptr);
    EXPECT_EQ(saved.FindMacroKeyByName("Long")->MacroActionNum, 100u);
}

TEST(MacroPageWindow, APauseAcrossTheClockWrapIsMeasuredOverIt) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Wrap"});
    ClickRow(rig, 0);
    rig.ClickControl(kRecord);
    constexpr unsigned long kWrap = 1ul << 31;
    Key(rig, true, Evdev::kB, kWrap - 10);
    Key(rig, false, Evdev::kB, kWrap + 30);  // the stamp is 30 again
    rig.ClickControl(kRecord);
    EXPECT_EQ(Actions(*rig.library.SetAt(0)->KeyAt(0)),
              (std::vector<MacroAction>{Event(kVkB, false), Pause(40), Event(kVkB, true)}));
}

TEST(MacroPageWindow, RecordingWithoutAMacroSwitchesStraightBack) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {});
    rig.ClickControl(kRecord);
    EXPECT_FALSE(dynamic_cast<CCheckButton*>(rig.dlg->FindControl(kRecord))->IsChecked());
    EXPECT_FALSE(rig.dlg->OwnMacroPagePart()->Hook().IsRunning());
    EXPECT_EQ(rig.dialogs.messages,
              (std::vector<std::string>{std::string(kAttention) +
                                        "Please select the macro which to record!"}));
}

TEST(MacroManagerFromTheWindow, ContextMenuRunsItCancelLeavesEverythingOkReloads) {
    MainWindowRig rig;
    StartOnMacroPage(rig, {"Kept"});
    ASSERT_TRUE(WriteMacroLibrary(rig.library, rig.dir.path));
    const std::string before = ReadText(rig.Config("MacroLibraryFile.mlf"));
    ClickRow(rig, 0);
    uint32_t setShown = 99;
    // Cancel after adding a macro in the working copy.
    rig.onModal = [&](CDlgBase& d) {
        auto& mgr = dynamic_cast<CMacroManagerDlg&>(d);
        setShown = mgr.SetNumber();
        MacroSet* set = mgr.WorkingCopy().SetAt(0);
        if (set) set->AddKey("FromManager");
        test::Click(*d.Window(), 652, 443);  // Cancel
        return mgr.Result();
    };
    rig.dialogs.menuAnswer = static_cast<int>(MainCommand::kMacroManager);
    SendMouse(rig.W(), QEvent::MouseButtonRelease, 30, 590, Qt::RightButton, Qt::NoButton);
    Application::ProcessEvents();
    EXPECT_EQ(rig.modalRuns, 1);
    EXPECT_EQ(setShown, 0u);
    EXPECT_EQ(ReadText(rig.Config("MacroLibraryFile.mlf")), before);
    EXPECT_EQ(Names(rig), (std::vector<std::string>{"Kept"}));
    MacroKey* shownBefore = rig.dlg->OwnMacroPagePart()->Page().Current();
    EXPECT_NE(shownBefore, nullptr);

    // OK: the manager wrote the file; the window reads it again.
    rig.onModal = [&](CDlgBase& d) {
        auto& mgr = dynamic_cast<CMacroManagerDlg&>(d);
        MacroSet* set = mgr.WorkingCopy().SetAt(0);
        if (set) set->AddKey("FromManager");
        test::Click(*d.Window(), 569, 443);  // OK writes the working copy
        return mgr.Result();
    };
    rig.dlg->OwnMacroPagePart()->RunMacroManager(1);
    EXPECT_EQ(rig.modalRuns, 2);
    EXPECT_EQ(Names(rig), (std::vector<std::string>{"Kept", "FromManager"}));
    EXPECT_EQ(List(rig)->ShownSet(), 0);
}

}  // namespace
}  // namespace lumbra::test
