// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWheelEvent>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../TestSupport.h"
#include "../platform/MouseEvents.h"
#include "MacroUiSupport.h"
#include "macro/CMacroManagerDlg.h"
#include "macro/CMacroManagerSmallDlg.h"
#include "macro/MacroManagerMessages.h"
#include "platform/Application.h"
#include "platform/EditBox.h"
#include "storage/MacroFiles.h"
#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CEditShowList.h"
#include "ui/CImageShowList.h"
#include "ui/CMacroSetListPopup.h"
#include "ui/CVScrollBar.h"
#include "ui/CWndPopup.h"

namespace lumbra {
namespace {

using test::Click;
using test::TempDir;

constexpr uint32_t kRelease = 0x80000000u;
// Centres of the manager's controls.
constexpr int kNewX = 49, kNewY = 443;
constexpr int kDeleteX = 136, kDeleteY = 443;
constexpr int kOkX = 569, kOkY = 443;
constexpr int kCancelX = 650, kCancelY = 443;
constexpr int kCloseX = 697, kCloseY = 14;
constexpr int kRecordX = 549, kRecordY = 118;
constexpr int kDelayX = 490, kDelayY = 154;
constexpr int kEmptyX = 600, kEmptyY = 300;  // the panel, no control
constexpr int kSmallOkX = 101, kSmallOkY = 182;

class MacroManager : public testing::Test {
protected:
    void SetUp() override {
        MacroLibrary lib;
        lib.AddSet("Keyboard Macro Set");
        lib.SetAt(0)->AddKey("Copy");
        lib.AddSet("Games");
        lib.SetAt(1)->AddKey("Jump");
        lib.SetAt(1)->AddKey("Run");
        lib.AddSet("Office");
        for (const char* n : {"Cut", "Paste", "Undo"}) lib.SetAt(2)->AddKey(n);
        ASSERT_TRUE(WriteMacroLibrary(lib, dir.Dir()));
        fileBefore = test::ReadBytes(MacroLibraryFilePath(dir.Dir()));
    }
    void TearDown() override {
        dlg.reset();
        Application::ProcessEvents();
    }

    void Open(uint32_t setNumber) {
        dlg = std::make_unique<CMacroManagerDlg>(nullptr, dir.Dir(), setNumber, hook);
        dlg->SetModalRunner([this](CDlgBase& small) {
            auto* d = dynamic_cast<CMacroManagerSmallDlg*>(&small);
            if (!d) return -1;
            if (dynamic_cast<CMacroManagerAddDlg*>(d)) ran.push_back("add");
            if (dynamic_cast<CMacroManagerDelSetDlg*>(d)) ran.push_back("delete set");
            if (dynamic_cast<CMacroManagerAttentionDlg*>(d)) ran.push_back("attention");
            if (dynamic_cast<CMacroManagerNoteDlg*>(d)) ran.push_back("note");
            d->Create();
            if (d->NameEdit()) d->NameEdit()->SetText(typedName);
            Click(*d->Window(), kSmallOkX, kSmallOkY);
            return d->Result();
        });
        ASSERT_TRUE(dlg->Create());
    }
    HostWindow& W() { return *dlg->Window(); }
    MacroSet* Set(uint32_t i) { return dlg->WorkingCopy().SetAt(i); }
    void TypeName(const std::string& name) {
        Click(W(), kNewX, kNewY);
        ASSERT_TRUE(dlg->MacroList()->IsEditing());
        dlg->MacroList()->Editor()->SetText(name);
    }
    // The popup's choice of an item type, as the set list popup reports it.
    void Choose(int type) {
        dlg->SetCombo()->onClick();
        SetList()->onItemChosen(type);
        Application::ProcessEvents();
    }
    CMacroSetListPopup* SetList() {
        return dynamic_cast<CMacroSetListPopup*>(dlg->Popup(PopupSlot::kMacroSetList));
    }
    void Hook(uint8_t vk, uint32_t ms, bool release = false) {
        W().Send(kMsgHookKey, vk, static_cast<intptr_t>(ms | (release ? kRelease : 0u)));
    }

    TempDir dir;
    std::string fileBefore;
    test::FakeHook hook;
    std::unique_ptr<CMacroManagerDlg> dlg;
    std::vector<std::string> ran;
    std::string typedName;
};

TEST_F(MacroManager, OpensOnTheGivenSetOrOnNone) {
    Open(3);
    EXPECT_EQ(dlg->MacroList()->ShownSet(), 2);
    EXPECT_EQ(dlg->MacroList()->Selected(), 0);
    EXPECT_EQ(dlg->SetCombo()->DisplayText(), "Office");
    EXPECT_EQ(dlg->Current(), Set(2)->KeyAt(0));
    EXPECT_EQ(dlg->ActionList()->Key(), Set(2)->KeyAt(0));
    dlg.reset();

    Open(0);
    EXPECT_EQ(dlg->MacroList()->ShownSet(), -1);
    EXPECT_EQ(dlg->SetCombo()->DisplayText(), "");
    EXPECT_EQ(dlg->Current(), nullptr);
    EXPECT_EQ(dlg->WorkingCopy().MacroSetNum(), 3u);
}

TEST_F(MacroManager, SetListPopupOpensBelowTheComboAndChoosesASet) {
    Open(1);
    dlg->SetCombo()->onClick();
    CWndPopup* popup = dlg->Popup(PopupSlot::kMacroSetList);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->Kind(), 5);
    EXPECT_EQ(popup->Parameter(), CMacroManagerDlg::kIdSetCombo);
    const Point corner = W().ClientToScreen({17, 98});
    EXPECT_EQ(popup->Position(), corner);
    EXPECT_EQ(popup->Width(), 400) << "400 x 400 from the combo's bottom-left corner";
    EXPECT_TRUE(dlg->SetCombo()->IsPopupOpen());
    ASSERT_EQ(popup->Items().size(), 6u);
    EXPECT_EQ(popup->Items()[1].text, "Games");

    SetList()->onItemChosen(3);  // "Games"
    EXPECT_EQ(dlg->Popup(PopupSlot::kMacroSetList), nullptr);
    EXPECT_FALSE(dlg->SetCombo()->IsPopupOpen());
    EXPECT_EQ(dlg->SetNumber(), 2u);
    EXPECT_EQ(dlg->MacroList()->ShownSet(), 1);
    EXPECT_EQ(dlg->SetCombo()->DisplayText(), "Games");
    EXPECT_EQ(dlg->Current(), Set(1)->KeyAt(0));

    dlg->SetCombo()->onClick();
    SetList()->onDeactivated();
    EXPECT_EQ(dlg->Popup(PopupSlot::kMacroSetList), nullptr);
    EXPECT_FALSE(dlg->SetCombo()->IsPopupOpen());
}

TEST_F(MacroManager, SetsAreAddedOnceAndOnlyWithAName) {
    Open(1);
    typedName = "Work";
    Choose(0);
    EXPECT_EQ(ran, (std::vector<std::string>{"add"}));
    ASSERT_EQ(dlg->WorkingCopy().MacroSetNum(), 4u);
    EXPECT_EQ(Set(3)->name, "Work");
    typedName = "Games";
    Choose(0);
    typedName = "";
    Choose(0);
    EXPECT_EQ(dlg->WorkingCopy().MacroSetNum(), 4u);
    typedName = "games";
    Choose(0);
    EXPECT_EQ(dlg->WorkingCopy().MacroSetNum(), 5u) << "names are compared exactly";
}

TEST_F(MacroManager, DeletingTheChosenSetFallsBackToTheFirstAndTheLastEmptiesEverything) {
    Open(3);
    typedName = "Office";
    Choose(1);
    EXPECT_EQ(ran, (std::vector<std::string>{"delete set"}));
    ASSERT_EQ(dlg->WorkingCopy().MacroSetNum(), 2u);
    EXPECT_EQ(dlg->MacroList()->ShownSet(), 0);
    EXPECT_EQ(dlg->SetNumber(), 1u) << "the number follows the set on screen";
    EXPECT_EQ(dlg->SetCombo()->DisplayText(), "Keyboard Macro Set");
    EXPECT_EQ(dlg->Current(), Set(0)->KeyAt(0));

    typedName = "Nowhere";
    Choose(1);
    typedName = "Games";
    Choose(1);
    EXPECT_EQ(dlg->SetNumber(), 1u);
    EXPECT_EQ(dlg->SetCombo()->DisplayText(), "Keyboard Macro Set");

    typedName = "Keyboard Macro Set";
    Choose(1);
    EXPECT_EQ(dlg->WorkingCopy().MacroSetNum(), 0u);
    EXPECT_EQ(dlg->SetNumber(), 0u);
    EXPECT_EQ(dlg->SetCombo()->DisplayText(), "");
    EXPECT_EQ(dlg->MacroList()->ShownSet(), -1);
    EXPECT_EQ(dlg->MacroList()->Selected(), -1);
    EXPECT_EQ(dlg->ActionList()->Key(), nullptr);
    EXPECT_EQ(dlg->Current(), nullptr);
    EXPECT_EQ(dlg->MacroScroll()->Position(), 0);
    EXPECT_EQ(dlg->MacroScroll()->Page(), 15);
    EXPECT_EQ(dlg->ActionScroll()->Position(), 0);
    EXPECT_EQ(dlg->ActionScroll()->Page(), 15);

    // New has nothing to add to now.
    ran.clear();
    Click(W(), kNewX, kNewY);
    EXPECT_EQ(ran, (std::vector<std::string>{"note"}));
    EXPECT_FALSE(dlg->MacroList()->IsEditing());
}

TEST_F(MacroManager, DeletingASetBeforeTheChosenOneKeepsTheListOnItAndNewMacrosGoThere) {
    Open(3);
    dlg->MacroList()->SetSelected(2);
    dlg->MacroList()->onClick();
    ASSERT_EQ(dlg->Current()->name, "Undo");
    typedName = "Games";
    Choose(1);
    EXPECT_EQ(dlg->SetNumber(), 2u);
    EXPECT_EQ(dlg->MacroList()->ShownSet(), 1);
    EXPECT_EQ(dlg->MacroList()->Selected(), 2);
    EXPECT_EQ(dlg->Current()->name, "Undo");

    TypeName("Redo");
    Click(W(), kEmptyX, kEmptyY);
    EXPECT_FALSE(dlg->MacroList()->IsEditing());
    ASSERT_EQ(Set(1)->MacroKeyNum(), 4u);
    EXPECT_EQ(Set(1)->KeyAt(3)->name, "Redo");
    EXPECT_EQ(Set(0)->MacroKeyNum(), 1u);
}

TEST_F(MacroManager, ClickElsewhereCommitsValidNamesOnly) {
    Open(2);
    TypeName("TwelveChars!");
    Click(W(), kEmptyX, kEmptyY);
    ASSERT_EQ(Set(1)->MacroKeyNum(), 3u);
    EXPECT_EQ(Set(1)->KeyAt(2)->name, "TwelveChars!");

    TypeName("Thirteen chrs");
    Click(W(), kEmptyX, kEmptyY);
    EXPECT_TRUE(dlg->MacroList()->IsEditing()) << "refused, as in the list";
    dlg->MacroList()->Editor()->SetText("Jump");
    Click(W(), kEmptyX, kEmptyY);
    EXPECT_TRUE(dlg->MacroList()->IsEditing());
    EXPECT_EQ(Set(1)->MacroKeyNum(), 3u);

    // The delete button drops the name, then deletes the selected macro.
    dlg->MacroList()->Editor()->SetText("Dropped");
    ASSERT_EQ(dlg->MacroList()->Selected(), 0);
    Click(W(), kDeleteX, kDeleteY);
    EXPECT_FALSE(dlg->MacroList()->IsEditing());
    ASSERT_EQ(Set(1)->MacroKeyNum(), 2u);
    EXPECT_EQ(Set(1)->KeyAt(0)->name, "Run");
    EXPECT_EQ(dlg->MacroList()->Selected(), -1);
    EXPECT_EQ(dlg->Current(), nullptr);

    ran.clear();
    Click(W(), kDeleteX, kDeleteY);
    EXPECT_EQ(ran, (std::vector<std::string>{"attention"}));
}

TEST_F(MacroManager, ARefusedNameSaysWhyAsTheMacroPageDoes) {
    Open(2);
    std::vector<std::string> shown;
    dlg->SetMessageShower([&](std::string_view text, std::string_view title) {
        shown.push_back(std::string(title) + "|" + std::string(text));
    });
    TypeName("Thirteen chrs");
    Click(W(), kEmptyX, kEmptyY);
    dlg->MacroList()->Editor()->SetText("Jump");
    Click(W(), kEmptyX, kEmptyY);
    dlg->MacroList()->Editor()->SetText("宏一二三四五六七八九十二");  // 36 bytes
    Click(W(), kEmptyX, kEmptyY);
    // A click in the list's empty rows: the list refuses, in its own words.
    Click(W(), 100, 380);
    EXPECT_TRUE(dlg->MacroList()->IsEditing()) << "each refusal keeps the editor open";
    EXPECT_EQ(Set(1)->MacroKeyNum(), 2u);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Attention!|The lengh of name exceed 12,please new it again!",
                         "Attention!|The macro is existing.Please try a new macro name.",
                         "Attention!|The lengh of name exceed 12,please new it again!",
                         "Attention!|The lengh of name is exceed 12,please new it again!"}));
    dlg->MacroList()->Editor()->SetText("宏一二三");
    Click(W(), kEmptyX, kEmptyY);
    ASSERT_EQ(Set(1)->MacroKeyNum(), 3u);
    EXPECT_EQ(Set(1)->KeyAt(2)->name, "宏一二三");
    EXPECT_EQ(shown.size(), 4u);
}

TEST_F(MacroManager, RecordingCountsCommandsKeepsLongPausesAndDisablesTheRest) {
    Open(3);
    MacroKey* cut = Set(2)->KeyAt(0);
    cut->MacroCommandActionNum = 42;
    Click(W(), kDelayX, kDelayY);
    Click(W(), kRecordX, kRecordY);
    ASSERT_TRUE(dlg->IsRecording());
    EXPECT_EQ(hook.log, (std::vector<std::string>{"start"}));
    EXPECT_EQ(hook.target, &W());
    EXPECT_TRUE(dlg->FindControl(CMacroManagerDlg::kIdNewMacro)->IsDisabled());
    EXPECT_TRUE(dlg->FindControl(CMacroManagerDlg::kIdOk)->IsDisabled());
    EXPECT_TRUE(dlg->FindControl(CMacroManagerDlg::kIdMacroList)->IsDisabled());
    EXPECT_FALSE(dlg->FindControl(CMacroManagerDlg::kIdRecord)->IsDisabled());
    EXPECT_FALSE(dlg->FindControl(CMacroManagerDlg::kIdDelaySwitch)->IsDisabled());
    EXPECT_EQ(cut->MacroCommandActionNum, 0);

    Hook(0x41, 1000);
    Hook(0x41, 1030);  // held
    Hook(0x41, 1000 + 70000, true);
    Hook(0x42, 0x7FFFFFF0);
    Hook(0x42, 0x10, true);  // the clock wrapped: 0x20 ms
    ASSERT_EQ(cut->MacroActionNum, 7u);
    EXPECT_EQ(cut->GetAction(1), MacroAction::Pause(70000)) << "beyond 0xFFFF here";
    EXPECT_EQ(cut->GetAction(5), MacroAction::Pause(0x20));
    EXPECT_EQ(cut->MacroCommandActionNum, 1 + 2 + 2 + 1);
    EXPECT_EQ(dlg->ActionScroll()->Range(), 7);

    Click(W(), kRecordX, kRecordY);
    EXPECT_FALSE(dlg->IsRecording());
    EXPECT_EQ(hook.log, (std::vector<std::string>{"start", "stop"}));
    EXPECT_FALSE(dlg->FindControl(CMacroManagerDlg::kIdNewMacro)->IsDisabled());
    Hook(0x43, 90000);
    EXPECT_EQ(cut->MacroActionNum, 7u);

    dlg.reset();
    EXPECT_EQ(hook.log.back(), "stop") << "closing stops the hook";
}

TEST_F(MacroManager, RecordWithoutAMacroShowsTheNote) {
    Open(0);
    Click(W(), kRecordX, kRecordY);
    EXPECT_EQ(ran, (std::vector<std::string>{"note"}));
    EXPECT_FALSE(
        static_cast<CCheckButton*>(dlg->FindControl(CMacroManagerDlg::kIdRecord))->IsChecked());
    EXPECT_TRUE(hook.log.empty());
}

TEST_F(MacroManager, CancelLeavesTheFileAndOkWritesTheWorkingCopy) {
    Open(2);
    typedName = "Temp";
    Choose(0);
    TypeName("Fresh");
    Click(W(), kEmptyX, kEmptyY);
    Click(W(), kCancelX, kCancelY);
    EXPECT_EQ(dlg->Result(), DialogResult::kCancel);
    EXPECT_EQ(test::ReadBytes(MacroLibraryFilePath(dir.Dir())), fileBefore);
    dlg.reset();

    Open(2);
    EXPECT_EQ(dlg->WorkingCopy().MacroSetNum(), 3u) << "the edits are gone";
    Click(W(), kCloseX, kCloseY);
    EXPECT_EQ(dlg->Result(), DialogResult::kCancel);
    dlg.reset();

    Open(2);
    TypeName("Fresh");
    Click(W(), kOkX, kOkY);
    EXPECT_EQ(dlg->Result(), DialogResult::kOk);
    MacroLibrary file;
    ASSERT_TRUE(ReadMacroLibrary(file, dir.Dir()));
    ASSERT_EQ(file.SetAt(1)->MacroKeyNum(), 3u);
    EXPECT_EQ(file.SetAt(1)->KeyAt(2)->name, "Fresh");
}

TEST_F(MacroManager, UnreadableFileOpensEmptyAndSetsCanStillBeAdded) {
    test::WriteBytes(MacroLibraryFilePath(dir.Dir()), "[MacroLibrary]\r\nMacroSetNum=2\r\n");
    Open(1);
    EXPECT_EQ(dlg->WorkingCopy().MacroSetNum(), 0u);
    EXPECT_EQ(dlg->SetNumber(), 0u);
    EXPECT_EQ(dlg->MacroList()->ShownSet(), -1);
    typedName = "First";
    Choose(0);
    ASSERT_EQ(dlg->WorkingCopy().MacroSetNum(), 1u);
    Choose(2);
    EXPECT_EQ(dlg->SetCombo()->DisplayText(), "First");
    TypeName("One");
    Click(W(), kEmptyX, kEmptyY);
    EXPECT_EQ(Set(0)->MacroKeyNum(), 1u);
}

TEST_F(MacroManager, BothScrollBarsScrollTheirLists) {
    MacroLibrary lib;
    lib.AddSet("Big");
    for (int i = 0; i < 20; ++i) lib.SetAt(0)->AddKey("M" + std::to_string(i));
    MacroKey* first = lib.SetAt(0)->KeyAt(0);
    for (uint32_t i = 0; i < 40; ++i) first->InsertAction(i, MacroAction::KeyEvent(0x41, i % 2));
    ASSERT_TRUE(WriteMacroLibrary(lib, dir.Dir()));
    Open(1);
    EXPECT_EQ(dlg->MacroScroll()->Range(), 20);
    EXPECT_EQ(dlg->MacroScroll()->Page(), 15);
    dlg->MacroScroll()->onPartPressed(ScrollPart::kDownArrow);
    EXPECT_EQ(dlg->MacroList()->FirstRow(), 1);
    dlg->MacroScroll()->onPartPressed(ScrollPart::kPageDown);
    EXPECT_EQ(dlg->MacroList()->FirstRow(), 5);
    EXPECT_EQ(dlg->MacroScroll()->Position(), 5);
    dlg->ActionScroll()->onPartPressed(ScrollPart::kPageDown);
    EXPECT_EQ(dlg->ActionList()->FirstRow(), 14);
    dlg->ActionScroll()->onPartPressed(ScrollPart::kUpArrow);
    EXPECT_EQ(dlg->ActionList()->FirstRow(), 13);

    test::Move(W(), 100, 200);  // over the macro list
    QWheelEvent wheel(QPointF(100, 200), QPointF(100, 200), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(WidgetOf(W()), &wheel);
    EXPECT_EQ(dlg->MacroList()->FirstRow(), 4);
    EXPECT_EQ(dlg->MacroScroll()->Position(), 4);
}

}  // namespace
}  // namespace lumbra
