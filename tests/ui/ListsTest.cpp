// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "platform/EditBox.h"
#include "ui/CEditShowList.h"
#include "ui/CImageShowList.h"
#include "ui/CStaticText.h"
#include "ui/CVScrollBar.h"
#include "ui/ControlMessages.h"

namespace lumbra {
namespace {

using test::Msg;
using test::TestDialog;

class Lists : public testing::Test {
protected:
    void SetUp() override {
        // Arrow strips of 3 frames of 17 x 17.
        RegisterResourceImage(ResourceKind::kPng, CVScrollBar::kUpArrowPng,
                              test::MakeStrip(3, 17, 17));
        RegisterResourceImage(ResourceKind::kPng, CVScrollBar::kDownArrowPng,
                              test::MakeStrip(3, 17, 17));
        dlg = std::make_unique<TestDialog>(nullptr, 300, 340);
        dlg->Create();
    }
    void TearDown() override {
        dlg.reset();
        Application::ProcessEvents();
    }
    HostWindow* W() { return dlg->Window(); }
    std::unique_ptr<TestDialog> dlg;
};

TEST_F(Lists, ScrollBarLaysOutArrowsTrackAndThumb) {
    CVScrollBar bar(W(), 2060, {0, 0, 17, 302}, "", true, false);
    EXPECT_EQ(bar.UpArrowRect(), (Rect{0, 0, 17, 16}));
    EXPECT_EQ(bar.DownArrowRect(), (Rect{0, 286, 17, 302}));
    EXPECT_EQ(bar.TrackRect(), (Rect{0, 17, 17, 286}));  // length 270
    EXPECT_EQ(bar.ThumbRect(), bar.TrackRect());

    bar.UpdateScroll(0, 15, 15);  // everything fits: the thumb fills the track
    EXPECT_EQ(bar.ThumbRect(), (Rect{0, 17, 17, 286}));
    bar.UpdateScroll(10, 15, 30);  // half the length, a third down
    EXPECT_EQ(bar.ThumbRect(), (Rect{0, 107, 17, 241}));
    bar.UpdateScroll(3, 1, 0);  // a range of 0 keeps a full thumb and the old values
    EXPECT_EQ(bar.ThumbRect(), bar.TrackRect());
    EXPECT_EQ(bar.Position(), 10);
    EXPECT_EQ(bar.Range(), 30);
}

TEST_F(Lists, ScrollBarPressNamesThePartPressed) {
    CVScrollBar bar(W(), 2060, {0, 0, 17, 302}, "", true, false);
    bar.UpdateScroll(10, 15, 30);  // thumb 107..241
    std::vector<ScrollPart> presses;
    bar.onPartPressed = [&](ScrollPart part) { presses.push_back(part); };
    const int ys[] = {5, 295, 150, 60, 260};
    for (int y : ys) {
        EXPECT_TRUE(bar.OnLButtonDown(0, 5, y));
        bar.OnLButtonUp(0, 5, y);
    }
    std::vector<ScrollPart> expected{ScrollPart::kUpArrow, ScrollPart::kDownArrow,
                                     ScrollPart::kThumb, ScrollPart::kPageUp,
                                     ScrollPart::kPageDown};
    EXPECT_EQ(presses, expected);
    EXPECT_FALSE(bar.OnLButtonDown(0, 30, 30));  // outside the bar
}

TEST_F(Lists, DraggedThumbStopsAtTheTrackEndAndSnapsOnRelease) {
    CVScrollBar bar(W(), 2060, {0, 0, 17, 302}, "", true, false);
    dlg->Watch(&bar);
    bar.UpdateScroll(0, 15, 30);               // thumb 17..151 (length 135)
    ASSERT_TRUE(bar.OnLButtonDown(0, 5, 27));  // 10 below the thumb's top
    EXPECT_TRUE(bar.IsDragging());
    int drags = 0;
    bar.onThumbDragged = [&] { ++drags; };
    dlg->events.clear();
    bar.OnMouseMove(0, 5, 127);  // top 117: position (100 * 30 / 270) = 11
    EXPECT_EQ(bar.Position(), 11);
    EXPECT_EQ(bar.DragRect().top, 117);
    bar.OnMouseMove(0, 5, 900);  // far past the end
    EXPECT_EQ(bar.DragRect().bottom, bar.TrackRect().bottom);
    EXPECT_EQ(bar.Position(), 15);  // top 152: 135 * 30 / 270
    EXPECT_EQ(drags, 2);
    bar.OnMouseMove(0, 5, 901);  // no new position, nothing told
    EXPECT_EQ(drags, 2);
    EXPECT_TRUE(dlg->events.empty());
    bar.OnLButtonUp(0, 5, 200);
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(bar.ThumbRect().top, 17 + 135);  // laid out from position 15 of 30
    EXPECT_EQ(dlg->events.back(), (Msg{2060, 0, 2}));
}

TEST_F(Lists, ThumbDragsThroughTheDialogWhileThePointerStaysOnTheBar) {
    auto* bar = dlg->AddControl(
        0, std::make_unique<CVScrollBar>(W(), 2060, Rect{0, 0, 17, 302}, "", true, false));
    bar->UpdateScroll(0, 15, 30);  // thumb 17..151
    std::vector<std::string> events;
    bar->onPartPressed = [&](ScrollPart part) {
        events.push_back(part == ScrollPart::kThumb ? "thumb" : "other");
    };
    bar->onThumbDragged = [&] { events.push_back("dragged"); };
    bar->onClick = [&] { events.push_back("click"); };
    test::Move(*W(), 5, 27);
    test::Press(*W(), 5, 27);
    test::Move(*W(), 5, 127, true);
    test::Move(*W(), 40, 200, true);  // off the bar: the dialog keeps it to the hot control
    EXPECT_EQ(bar->Position(), 11);
    test::Release(*W(), 5, 127);
    EXPECT_EQ(events, (std::vector<std::string>{"thumb", "dragged", "click"}));
    EXPECT_EQ(bar->ThumbRect().top, 17 + 99);  // snapped: 270 * 11 / 30 = 99
    EXPECT_EQ(dlg->HotControl(), bar);
}

TEST_F(Lists, ScrollBarHoverFlagsFollowThePointer) {
    CVScrollBar bar(W(), 2060, {0, 0, 17, 302}, "", true, false);
    EXPECT_TRUE(bar.OnMouseMove(0, 5, 5));
    EXPECT_TRUE(bar.IsUpHover());
    EXPECT_TRUE(bar.OnMouseMove(0, 5, 100));
    EXPECT_TRUE(bar.IsThumbHover());
    EXPECT_FALSE(bar.IsUpHover());
    EXPECT_FALSE(bar.OnMouseMove(0, 5, 101));
    EXPECT_TRUE(bar.OnMouseMove(0, 50, 100));
    EXPECT_EQ(bar.State(), CControlBase::kNormal);
    EXPECT_FALSE(bar.IsThumbHover());
}

class NameList : public Lists {
protected:
    void SetUp() override {
        Lists::SetUp();
        library.ResetToDefault();
        set = library.SetAt(0);
    }
    CEditShowList& List() {
        if (!list) {
            list = std::make_unique<CEditShowList>(W(), 2061, Rect{10, 10, 150, 312}, "", true,
                                                   false, &library);
            dlg->Watch(list.get());
        }
        return *list;
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i) set->AddKey("M" + std::to_string(i));
    }
    void TearDown() override {
        list.reset();
        Lists::TearDown();
    }
    MacroLibrary library;
    MacroSet* set = nullptr;
    std::unique_ptr<CEditShowList> list;
};

TEST_F(NameList, RowsSelectionAndClicksBelowTheLastName) {
    EXPECT_EQ(List().RowCount(), 15);  // 302 pixels
    List().SelectSet(0);
    EXPECT_EQ(List().Selected(), -1);  // an empty set
    Fill(3);
    List().SelectSet(0);
    EXPECT_EQ(List().Selected(), 0);
    EXPECT_TRUE(List().OnLButtonDown(0, 20, 10 + 45));  // row 2
    EXPECT_EQ(List().Selected(), 2);
    List().OnLButtonDown(0, 20, 10 + 65);  // below the last name
    EXPECT_EQ(List().Selected(), 2);
    List().SelectSet(5);  // no such set: presses select nothing
    List().OnLButtonDown(0, 20, 15);
    EXPECT_EQ(List().Selected(), -1);
    EXPECT_TRUE(dlg->events.empty());  // presses send nothing
}

TEST_F(NameList, ScrolledListSelectsOnlyShownNames) {
    Fill(20);
    List().SelectSet(0);
    List().ScrollToEnd();
    EXPECT_EQ(List().FirstRow(), 5);
    List().OnLButtonDown(0, 20, 10 + 14 * 20 + 5);  // last row
    EXPECT_EQ(List().Selected(), 19);
    List().SetFirstRow(10);
    List().OnLButtonDown(0, 20, 10 + 12 * 20 + 5);  // row 12 would be item 22
    EXPECT_EQ(List().Selected(), 19);
}

TEST_F(NameList, NameEditorTakesTheLastRowAndScrollsWhenFull) {
    Fill(15);
    List().SelectSet(0);
    ASSERT_TRUE(List().BeginNameEdit());
    EXPECT_FALSE(List().BeginNameEdit());  // already open
    EXPECT_EQ(List().FirstRow(), 1);
    ASSERT_NE(List().Editor(), nullptr);
    EXPECT_EQ(List().Editor()->Id(), 2016);
}

TEST_F(NameList, CommitAddsOrRefusesAndReports) {
    Fill(2);
    List().SelectSet(0);
    std::vector<MacroNameCheck> refusals;
    List().onNameRefused = [&](MacroNameCheck check) { refusals.push_back(check); };
    ASSERT_TRUE(List().BeginNameEdit());
    List().Editor()->SetText("M1");  // taken
    List().OnLButtonDown(0, 20, 20);
    List().Editor()->SetText("Thirteen chrs");  // 13 characters
    List().OnLButtonDown(0, 20, 20);
    EXPECT_TRUE(List().IsEditing());
    // 12 characters, 36 bytes: more than the keyboard keeps.
    List().Editor()->SetText("宏一二三四五六七八九十二");
    List().OnLButtonDown(0, 20, 20);
    EXPECT_TRUE(List().IsEditing());
    List().Editor()->SetText("宏一二三");  // 12 bytes
    std::string seenText;
    List().onNameAdded = [&] { seenText = List().GetEditText(); };
    List().OnLButtonDown(0, 20, 20);
    EXPECT_FALSE(List().IsEditing());
    ASSERT_EQ(set->MacroKeyNum(), 3u);
    EXPECT_EQ(set->KeyAt(2)->name, "宏一二三");
    EXPECT_EQ(seenText, "宏一二三");  // the handler still sees the text
    std::vector<MacroNameCheck> expected{MacroNameCheck::kExists, MacroNameCheck::kTooLong,
                                         MacroNameCheck::kTooLong};
    EXPECT_EQ(refusals, expected);
    EXPECT_TRUE(dlg->events.empty());

    ASSERT_TRUE(List().BeginNameEdit());  // an empty name just closes the editor
    List().OnLButtonDown(0, 500, 500);
    EXPECT_FALSE(List().IsEditing());
    EXPECT_EQ(set->MacroKeyNum(), 3u);
}

TEST_F(NameList, EditorOnARemovedSetClosesWithoutAdding) {
    library.AddSet("Second");
    List().SelectSet(1);
    ASSERT_TRUE(List().BeginNameEdit());
    List().Editor()->SetText("New");
    library.RemoveSet(1);
    bool told = false;
    List().onNameAdded = [&] { told = true; };
    List().onNameRefused = [&](MacroNameCheck) { told = true; };
    List().OnLButtonDown(0, 20, 20);
    EXPECT_FALSE(List().IsEditing());
    EXPECT_FALSE(told);
    EXPECT_TRUE(dlg->events.empty());
}

TEST(MacroSteps, CaptionsNamePausesAndKeys) {
    StepCaption pause = DescribeStep(MacroAction::Pause(1015));
    EXPECT_EQ(pause.text, "1015ms");
    EXPECT_EQ(pause.icon, StepIcon::kPause);
    StepCaption press = DescribeStep(MacroAction::KeyEvent(0x41, false));
    EXPECT_EQ(press.text, "A Press");
    EXPECT_EQ(press.icon, StepIcon::kPress);
    StepCaption release = DescribeStep(MacroAction::KeyEvent(0xDC, true));
    EXPECT_EQ(release.text, "\\ Release");
    EXPECT_EQ(release.icon, StepIcon::kRelease);
    EXPECT_EQ(DescribeStep(MacroAction{{0, 0x01, 0x02, 0x03}}).text, "66051ms");
}

TEST_F(Lists, ActionListSelectsOnlyShownSteps) {
    MacroKey key("K");
    key.InsertAction(0, MacroAction::KeyEvent(0x41, false));
    key.InsertAction(1, MacroAction::Pause(20));
    key.InsertAction(2, MacroAction::KeyEvent(0x41, true));
    CImageShowList list(W(), 2062, {0, 0, 200, 302}, "", true, false);
    dlg->Watch(&list);
    EXPECT_EQ(list.RowCount(), 15);
    EXPECT_TRUE(list.OnLButtonDown(0, 50, 25));  // no macro: nothing selected
    EXPECT_EQ(list.Selected(), -1);
    list.SetMacroKey(&key);
    list.OnLButtonDown(0, 50, 45);
    EXPECT_EQ(list.Selected(), 2);
    list.OnLButtonDown(0, 50, 65);
    EXPECT_EQ(list.Selected(), 2);
    list.OnLButtonUp(0, 50, 65);
    std::vector<Msg> expected{{2062, 0, 2}};
    EXPECT_EQ(dlg->events, expected);

    Surface s(200, 302);
    list.Draw(s, {0, 0, 200, 302});
    EXPECT_EQ(s.GetPixel(100, 41), Color{0xDEA035});  // the selected row
    EXPECT_EQ(s.GetPixel(100, 61), Color{0x5A4E14});  // below the last step
}

TEST_F(Lists, StaticTextSendsPressAndClick) {
    CStaticText label(W(), 2070, {0, 0, 100, 20}, "", true, false, 0xFE9252, 0);
    label.SetString("Attention");
    dlg->Watch(&label);
    EXPECT_TRUE(label.OnLButtonDown(0, 5, 5));
    EXPECT_TRUE(label.OnLButtonUp(0, 5, 5));
    std::vector<Msg> expected{{2070, 0, 1}, {2070, 0, 2}};
    EXPECT_EQ(dlg->events, expected);
    Surface s(100, 20);
    label.Draw(s, {0, 0, 100, 20});
    bool coloured = false;
    for (int x = 0; x < 100 && !coloured; ++x)
        for (int y = 0; y < 20 && !coloured; ++y) coloured = s.GetPixel(x, y) != 0;
    EXPECT_TRUE(coloured);
}

}  // namespace
}  // namespace lumbra
