// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>

#include "UiTestSupport.h"
#include "base/UiDispatcher.h"
#include "platform/EditBox.h"
#include "ui/CComboButton.h"
#include "ui/CImageButton.h"
#include "ui/CImageShowList.h"
#include "ui/CKeyboardButton.h"
#include "ui/CRadioButton.h"
#include "ui/CTabControl.h"
#include "ui/ImageRoutines.h"

namespace lumbra {
namespace {

using test::Click;
using test::FrameColor;
using test::Move;
using test::Msg;
using test::Press;
using test::Release;
using test::TestDialog;

// A dialog with two buttons side by side (ids 2101, 2102), one overlapping
// the second (2103, added later), a hidden one in list 1 (2104) and a page tab.
class DialogRouting : public testing::Test {
protected:
    void SetUp() override {
        test::RegisterTestPictures();
        dlg = std::make_unique<TestDialog>([this](TestDialog& d) {
            a = d.AddControl(0, Button(d, 2101, Rect::FromSize(10, 10, 20, 20)));
            b = d.AddControl(0, Button(d, 2102, Rect::FromSize(50, 10, 20, 20)));
            over = d.AddControl(2, Button(d, 2103, Rect::FromSize(60, 10, 20, 20)));
            hidden = d.AddControl(1, Button(d, 2104, Rect::FromSize(100, 10, 20, 20)));
            hidden->SetVisible(false);
            tab = d.AddControl(
                0, std::make_unique<CTabControl>(d.Window(), 2004, Rect::FromSize(10, 50, 20, 20),
                                                 "", true, false));
            tab->LoadImageStrip(test::kStrip3);
            tab->onClick = [this] { tab->SetSelected(true); };
            for (CControlBase* c :
                 {static_cast<CControlBase*>(a), static_cast<CControlBase*>(b),
                  static_cast<CControlBase*>(over), static_cast<CControlBase*>(hidden)})
                d.Watch(c);
            d.SetViewSwitches({2004});
        });
        dlg->Create();
        Application::ProcessEvents();
    }
    void TearDown() override {
        dlg.reset();
        Application::ProcessEvents();
    }
    static std::unique_ptr<CImageButton> Button(TestDialog& d, uint32_t id, const Rect& r) {
        auto button = std::make_unique<CImageButton>(d.Window(), id, r, "", true, false);
        button->LoadImageStrip(test::kStrip3);
        return button;
    }
    HostWindow& W() { return dlg->W(); }

    std::unique_ptr<TestDialog> dlg;
    CImageButton* a = nullptr;
    CImageButton* b = nullptr;
    CImageButton* over = nullptr;
    CImageButton* hidden = nullptr;
    CTabControl* tab = nullptr;
};

TEST_F(DialogRouting, ClickOnAControlSendsPressThenClickAndNeverMovesTheWindow) {
    Click(W(), 15, 15);
    std::vector<Msg> expected{{2101, 0, 1}, {2101, 0, 2}};
    EXPECT_EQ(dlg->events, expected);
    EXPECT_EQ(W().WindowMoveCount(), 0);
    EXPECT_EQ(dlg->HotControl(), a);
    EXPECT_EQ(a->State(), CControlBase::kHover);
    EXPECT_EQ(dlg->PressedRect(), (Rect{-1, -1, -1, -1}));
}

TEST_F(DialogRouting, PressOnTheBackgroundMovesTheWindow) {
    Move(W(), 150, 120);
    Press(W(), 150, 120);
    EXPECT_EQ(W().WindowMoveCount(), 1);
    EXPECT_EQ(dlg->HotControl(), nullptr);
    EXPECT_TRUE(dlg->events.empty());
}

TEST_F(DialogRouting, DraggingOffAControlSendsNoClickAndLeavesNoHotControl) {
    Move(W(), 15, 15);
    Press(W(), 15, 15);
    EXPECT_TRUE(dlg->IsButtonDown());
    EXPECT_TRUE(W().HasCapture());
    Move(W(), 55, 15, true);  // over b: the hot control stays a while held
    EXPECT_EQ(dlg->HotControl(), a);
    EXPECT_EQ(b->State(), CControlBase::kNormal);
    Release(W(), 55, 15);
    std::vector<Msg> expected{{2101, 0, 1}};
    EXPECT_EQ(dlg->events, expected);
    EXPECT_EQ(dlg->HotControl(), nullptr);
    EXPECT_EQ(dlg->LastPoint(), (Point{-1, -1}));
    EXPECT_EQ(a->State(), CControlBase::kNormal);
    EXPECT_FALSE(W().HasCapture());
}

TEST_F(DialogRouting, OverlappingControlsGiveTheLaterOneThePress) {
    Click(W(), 65, 15);  // inside b and over
    std::vector<Msg> expected{{2103, 0, 1}, {2103, 0, 2}};
    EXPECT_EQ(dlg->events, expected);
    EXPECT_EQ(b->State(), CControlBase::kHover);  // b was offered the move too
}

TEST_F(DialogRouting, HiddenControlsAreNotHoveredButDoubleClicksOnThemAreConsumed) {
    Click(W(), 105, 15);
    EXPECT_TRUE(dlg->events.empty());
    EXPECT_EQ(W().WindowMoveCount(), 1);
    test::DoubleClick(W(), 105, 15);
    EXPECT_EQ(dlg->PressedRect(), hidden->GetRect());
}

TEST_F(DialogRouting, HoverChangesRepaintOnlyTheControlsConcerned) {
    Move(W(), 15, 15);
    dlg->WatchInvalidations();
    Move(W(), 16, 16);  // inside the hot control: nothing changes
    EXPECT_TRUE(dlg->invalidated.empty());
    Move(W(), 55, 15);
    std::vector<Rect> expected{a->GetRect(), b->GetRect()};
    EXPECT_EQ(dlg->invalidated, expected);
    EXPECT_EQ(a->State(), CControlBase::kNormal);
    EXPECT_EQ(b->State(), CControlBase::kHover);
}

TEST_F(DialogRouting, LeavingTheWindowReturnsTheHotControlToNormal) {
    Move(W(), 15, 15);
    test::Leave(W());
    EXPECT_EQ(dlg->HotControl(), nullptr);
    EXPECT_EQ(a->State(), CControlBase::kNormal);
    EXPECT_EQ(dlg->LastPoint(), (Point{-1, -1}));
    // Tracking is asked for again on the next move.
    Move(W(), 15, 15);
    EXPECT_EQ(dlg->HotControl(), a);
}

TEST_F(DialogRouting, PageTabClickRepaintsTheWholeWindow) {
    dlg->WatchInvalidations();
    Click(W(), 15, 55);
    EXPECT_TRUE(tab->IsSelected());
    EXPECT_EQ(tab->Frame(), CControlBase::kPressed);
    ASSERT_FALSE(dlg->invalidated.empty());
    EXPECT_EQ(dlg->invalidated.back(), W().ClientRect());
}

TEST_F(DialogRouting, AHandlerThatHidesTheHotControlEndsTheReleaseSafely) {
    a->onClick = [this] {
        a->SetVisible(false);
        dlg->ClearHotControl();
    };
    Click(W(), 15, 15);
    EXPECT_EQ(dlg->HotControl(), nullptr);
    EXPECT_EQ(dlg->PressedRect(), (Rect{-1, -1, -1, -1}));
    Move(W(), 16, 16);
    EXPECT_EQ(dlg->HotControl(), nullptr);
}

TEST_F(DialogRouting, AnEarlierPressedControlIsReleasedWhenANewPressStartsElsewhere) {
    struct Counting : CImageButton {
        using CImageButton::CImageButton;
        int releases = 0;
        int ReleaseActive(int) override { return ++releases; }
    };
    auto* counting = dlg->AddControl(
        0, std::make_unique<Counting>(dlg->Window(), 2105, Rect::FromSize(10, 90, 20, 20), "", true,
                                      false));
    Click(W(), 15, 95);
    EXPECT_EQ(dlg->ActiveControl(), counting);
    Click(W(), 15, 15);
    EXPECT_EQ(counting->releases, 1);
    EXPECT_EQ(dlg->ActiveControl(), a);
}

TEST_F(DialogRouting, PaintingDrawsVisibleControlsWithTheirFrames) {
    Move(W(), 15, 15);
    Image shot = W().Render();
    EXPECT_EQ(shot.PixelColor(20, 20), FrameColor(1));  // a hovered
    EXPECT_EQ(shot.PixelColor(55, 20), FrameColor(0));  // b normal
    EXPECT_EQ(shot.PixelColor(75, 20), FrameColor(0));  // over, drawn after b
    EXPECT_EQ(shot.PixelColor(15, 55), FrameColor(0));  // tab of page 1, page 0 shown
    EXPECT_EQ(shot.PixelColor(105, 15), CDlgBase::kInitialBackground);  // hidden: not drawn
    EXPECT_EQ(dlg->FindControl(2103), over);
    EXPECT_EQ(dlg->FindControl(2999), nullptr);
}

TEST_F(DialogRouting, DisabledControlsTakeTheHoverButNeitherReactNorMoveTheWindow) {
    b->SetDisabled(true);
    Click(W(), 55, 15);
    EXPECT_EQ(dlg->HotControl(), b);
    EXPECT_EQ(b->State(), CControlBase::kNormal);
    EXPECT_TRUE(dlg->events.empty());
    EXPECT_EQ(W().WindowMoveCount(), 0);
}

TEST_F(DialogRouting, HoverNoticeRepaintsTheHotControl) {
    Move(W(), 15, 15);
    dlg->WatchInvalidations();
    Application::ProcessEventsFor(30);  // the hover time is 1 ms
    ASSERT_FALSE(dlg->invalidated.empty());
    EXPECT_EQ(dlg->invalidated.back(), a->GetRect());
    EXPECT_EQ(dlg->LastPoint(), (Point{15, 15}));
}

TEST_F(DialogRouting, TabWalksTheLayoutByRowsAndTheMarkShowsOnlyForTheKeyboard) {
    const Image untouched = W().Render();
    Click(W(), 15, 15);
    EXPECT_EQ(dlg->FocusControl(), nullptr) << "a click leaves the focus where it is";
    b->SetDisabled(true);
    // Row by row, left to right; hidden and disabled controls are skipped.
    const std::vector<CControlBase*> forward{a, over, tab, a};
    for (CControlBase* expected : forward) {
        test::Key(W(), Qt::Key_Tab);
        EXPECT_EQ(dlg->FocusControl(), expected) << expected->Id();
    }
    test::Key(W(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(dlg->FocusControl(), tab) << "Shift+Tab goes back round";
    b->SetDisabled(false);
    test::Key(W(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(dlg->FocusControl(), over);

    // The mark: black and white dashes around the control, nothing before.
    const Image marked = W().Render();
    const Rect r = over->GetRect();
    int dark = 0, light = 0, changed = 0;
    for (int x = r.left - 2; x < r.right + 2; ++x) {
        const Color c = marked.PixelColor(x, r.top - 2);
        dark += c == Rgb(0, 0, 0);
        light += c == Rgb(255, 255, 255);
        changed += c != untouched.PixelColor(x, r.top - 2);
    }
    EXPECT_GT(dark, 4);
    EXPECT_GT(light, 4);
    EXPECT_GT(changed, 4);
}

TEST_F(DialogRouting, EnterAndEscRunTheDialogButtonsUnlessAFocusedButtonTakesEnter) {
    dlg->SetDialogKeys(2101, 2102);
    struct Step {
        int key;
        bool repeat;
        std::vector<Msg> events;
    };
    const Msg clickA{2101, 0, 2}, clickB{2102, 0, 2}, pressOver{2103, 0, 1}, clickOver{2103, 0, 2};
    const Step steps[] = {
        {Qt::Key_Return, false, {clickA}}, {Qt::Key_Enter, false, {clickA}},
        {Qt::Key_Escape, false, {clickB}}, {Qt::Key_Escape, true, {}},
        {Qt::Key_Space, false, {}},
    };
    for (const Step& s : steps) {
        dlg->events.clear();
        test::Key(W(), s.key, Qt::NoModifier, s.repeat);
        EXPECT_EQ(dlg->events, s.events) << s.key;
    }
    dlg->SetFocus(over);
    dlg->events.clear();
    test::Key(W(), Qt::Key_Return);
    test::Key(W(), Qt::Key_Escape);
    EXPECT_EQ(dlg->events, (std::vector<Msg>{pressOver, clickOver, clickB}));
    a->SetDisabled(true);
    dlg->SetFocus(nullptr);
    dlg->events.clear();
    test::Key(W(), Qt::Key_Return);
    EXPECT_TRUE(dlg->events.empty()) << "a disabled default button stays inert";
}

TEST(DialogBackground, BitmapGivesAverageColourFadeAndOutline) {
    // A 100 x 50 bitmap: left half red, right half blue, in a 200 x 150 dialog.
    Image bmp(100, 50, Rgb(255, 0, 0));
    bmp.Fill({50, 0, 100, 50}, Rgb(0, 0, 255));
    RegisterResourceImage(ResourceKind::kBitmap, 9301, bmp);
    Image outline(200, 150, Rgb(0, 0, 0));
    outline.Fill({0, 0, 200, 10}, kOutlineKey);
    RegisterResourceImage(ResourceKind::kBitmap, 9302, outline);

    TestDialog d(nullptr);
    d.Create();
    d.SetBackgroundBitmap(9301);
    d.SetWindowRegionFromBitmap(9302);
    EXPECT_EQ(d.BackgroundColor(), Rgb(127, 0, 127));
    EXPECT_EQ(d.FadeWidth(), 50);
    EXPECT_EQ(d.BackgroundWidth(), 100);
    EXPECT_EQ(d.Outline().Rects().size(), 140u);
    EXPECT_EQ(d.Outline().Rects().front(), (Rect{0, 10, 200, 11}));

    Image shot = d.W().Render();
    EXPECT_EQ(shot.PixelColor(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(shot.PixelColor(150, 100), Rgb(127, 0, 127));  // beyond the picture

    // A missing bitmap keeps the earlier picture and sizes.
    d.SetBackgroundBitmap(9399);
    EXPECT_EQ(d.BackgroundWidth(), 100);
    EXPECT_EQ(d.BackgroundColor(), Rgb(127, 0, 127));
    Application::ProcessEvents();
}

TEST(DialogBackground, SettingAPictureAgainFollowsANewPictureAndANewWindowSize) {
    // Green with a blue right half, 40 x 30: it covers a window of its size.
    Image first(40, 30, Rgb(0, 255, 0));
    first.Fill({20, 0, 40, 30}, Rgb(0, 0, 255));
    RegisterResourceImage(ResourceKind::kBitmap, 9311, first);
    TestDialog d(nullptr, 40, 30);
    d.Create();
    d.SetBackgroundBitmap(9311);
    EXPECT_EQ(d.FadeWidth(), 0);
    EXPECT_EQ(d.BackgroundColor(), Rgb(0, 127, 127));
    EXPECT_EQ(d.W().Render().PixelColor(39, 29), Rgb(0, 0, 255));

    // Another picture under the same id.
    Image second(40, 30, Rgb(255, 0, 0));
    second.Fill({20, 0, 40, 30}, Rgb(0, 0, 255));
    RegisterResourceImage(ResourceKind::kBitmap, 9311, second);
    d.SetBackgroundBitmap(9311);
    EXPECT_EQ(d.BackgroundColor(), Rgb(127, 0, 127));
    EXPECT_EQ(d.W().Render().PixelColor(0, 0), Rgb(255, 0, 0));

    // The same picture in a larger window fades into its colour.
    d.SetWindowSize(80, 60);
    d.SetBackgroundBitmap(9311);
    ASSERT_EQ(d.FadeWidth(), 30);
    Surface expected(40, 30);
    PrepareBackground(expected, second, 30, Rgb(127, 0, 127));
    const Image shot = d.W().Render();
    for (const Point p : {Point{39, 29}, Point{39, 0}, Point{0, 29}, Point{25, 15}})
        EXPECT_EQ(shot.PixelColor(p.x, p.y), expected.GetPixel(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_NE(shot.PixelColor(39, 29), Rgb(0, 0, 255));
    Application::ProcessEvents();
}

// A dialog run modally is modal when it first shows, so that nothing else of
// the program (a second key dialog, the main window's buttons) takes input
// while it runs.
TEST(DialogModality, DoModalShowsTheWindowModalAndItBlocksTheOthersWhileItRuns) {
    TestDialog other(nullptr);
    other.Create();
    bool modalAtShow = false;
    QWidget* modalDuringRun = nullptr;
    TestDialog dlg([&](TestDialog& d) {
        // The initialisation builds the controls once the window shows.
        modalAtShow = d.W().IsVisible() && d.W().IsModal();
        TheUiDispatcher().Post([&modalDuringRun, &d] {
            modalDuringRun = QApplication::activeModalWidget();
            d.EndDialog(5);
        });
    });
    EXPECT_EQ(dlg.DoModal(), 5);
    EXPECT_TRUE(modalAtShow);
    EXPECT_EQ(modalDuringRun, WidgetOf(dlg.W()));
    EXPECT_FALSE(other.W().IsModal());
    Application::ProcessEvents();
}

// The keys over every kind of group: tabs and radios (arrows move round and
// choose), keys in two rows (arrows move, nothing is pressed), a list, a
// drop-down, a lone button and two edit boxes in the Tab order.
class KeysInGroups : public testing::Test {
protected:
    // Ids: tabs 1..3, radios 11..13, keys 21..23 over 24 and 25 (offset:
    // 24 is nearest below 22), drop-down 40, button 50, list 30 (5 rows of 20).
    void SetUp() override {
        test::RegisterTestPictures();
        for (uint32_t i = 0; i < 20; ++i) steps.InsertAction(i, MacroAction::Pause(20 + i));
        dlg = std::make_unique<TestDialog>(
            [this](TestDialog& d) {
                const auto add = [&](auto c) { return d.Watch(d.AddControl(0, std::move(c))); };
                const auto at = [](int x, int y, int w = 20) {
                    return Rect::FromSize(x, y, w, 20);
                };
                std::vector<CControlBase*> tabs, keys;
                for (uint32_t i = 0; i < 3; ++i) {
                    const int x = 10 + 30 * static_cast<int>(i);
                    tabs.push_back(add(std::make_unique<CTabControl>(d.Window(), 1 + i, at(x, 10),
                                                                     "", true, false)));
                    add(std::make_unique<CRadioButton>(d.Window(), 11 + i, at(x, 40), "", true,
                                                       false));
                    keys.push_back(add(std::make_unique<CKeyboardButton>(
                        d.Window(), 21 + i, at(x, 70), "", true, false)));
                }
                keys.push_back(add(std::make_unique<CKeyboardButton>(d.Window(), 24, at(25, 100),
                                                                     "", true, false)));
                keys.push_back(add(std::make_unique<CKeyboardButton>(d.Window(), 25, at(60, 100),
                                                                     "", true, false)));
                d.AddArrowGroup(tabs, ArrowGroup::kChoose);
                d.AddArrowGroup(keys, ArrowGroup::kGrid);
                add(std::make_unique<CComboButton>(d.Window(), 40, at(120, 110, 60), "", true,
                                                   false));
                add(std::make_unique<CImageButton>(d.Window(), 50, at(10, 160), "", true, false));
                auto list = std::make_unique<CImageShowList>(
                    d.Window(), 30, Rect::FromSize(100, 190, 60, 90), "", true, false);
                list->SetMacroKey(&steps);
                add(std::move(list));
            },
            220, 300);
        dlg->Create();
        for (int i = 0; i < 2; ++i)
            boxes.push_back(std::make_unique<EditBox>(*dlg->Window(), 60 + i,
                                                      Rect::FromSize(40 + 70 * i, 160, 60, 20)));
        Application::ProcessEvents();
    }
    void TearDown() override {
        boxes.clear();
        dlg.reset();
        Application::ProcessEvents();
    }
    uint32_t FocusId() const { return dlg->FocusControl() ? dlg->FocusControl()->Id() : 0; }

    MacroKey steps{"Steps"};
    std::unique_ptr<TestDialog> dlg;
    std::vector<std::unique_ptr<EditBox>> boxes;
};

TEST_F(KeysInGroups, ArrowsMoveWithinTheirGroupAndChooseWhereTheGroupChooses) {
    struct Case {
        uint32_t from;
        int key;
        Qt::KeyboardModifiers modifiers;
        uint32_t focus;  // afterwards
        uint32_t click;  // the control the key pressed, 0 for none
    };
    const Case cases[] = {
        {1, Qt::Key_Right, {}, 2, 2},
        {1, Qt::Key_Left, {}, 3, 3},  // round the group
        {3, Qt::Key_Down, {}, 1, 1},
        {12, Qt::Key_Up, {}, 11, 11},  // radios: a group by themselves
        {13, Qt::Key_Right, {}, 11, 11},
        {21, Qt::Key_Right, {}, 22, 0},  // keys move only
        {23, Qt::Key_Right, {}, 23, 0},
        {22, Qt::Key_Down, {}, 24, 0},  // the nearest of the next row
        {25, Qt::Key_Up, {}, 23, 0},
        {21, Qt::Key_Up, {}, 21, 0},
        {50, Qt::Key_Right, {}, 50, 0},
        {40, Qt::Key_Down, Qt::AltModifier, 40, 40},  // opens
        {40, Qt::Key_Down, {}, 40, 0},
    };
    for (const Case& c : cases) {
        dlg->SetFocus(dlg->FindControl(c.from));
        dlg->events.clear();
        test::Key(dlg->W(), c.key, c.modifiers);
        EXPECT_EQ(FocusId(), c.focus) << c.from << " key " << std::hex << c.key;
        const std::vector<Msg> clicked{{c.click, 0, TestDialog::kClicked}};
        std::vector<Msg> events = dlg->events;
        std::erase_if(events, [](const Msg& m) { return m.second != TestDialog::kClicked; });
        EXPECT_EQ(events, c.click ? clicked : std::vector<Msg>{})
            << c.from << " key " << std::hex << c.key;
    }
}

// A group is one stop, where its focus was last; a box is one where it sits,
// and Tab in a box moves on in the window's order, never within the boxes.
TEST_F(KeysInGroups, TabStopsFollowGroupsAndEditBoxes) {
    dlg->SetFocus(dlg->FindControl(23));
    dlg->SetFocus(dlg->FindControl(50));
    std::vector<uint32_t> order;
    for (CControlBase* c : dlg->FocusOrder()) order.push_back(c->Id());
    EXPECT_EQ(order, (std::vector<uint32_t>{1, 11, 23, 40, 50, 0, 0, 30}));
    const auto tab = [&](bool back) {
        QWidget* focus = WidgetOf(dlg->W())->focusWidget();
        QKeyEvent e(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                    back ? Qt::ShiftModifier : Qt::NoModifier);
        QCoreApplication::sendEvent(focus ? focus : WidgetOf(dlg->W()), &e);
        Application::ProcessEvents();
        return boxes[0]->HasFocus() ? 60u : boxes[1]->HasFocus() ? 61u : FocusId();
    };
    EXPECT_EQ(tab(false), 60u);
    EXPECT_EQ(tab(false), 61u);
    EXPECT_EQ(tab(false), 30u);
    EXPECT_EQ(tab(true), 61u);
    EXPECT_EQ(tab(true), 60u);
    EXPECT_EQ(tab(true), 50u);
}

TEST_F(KeysInGroups, ListRowsFollowUpDownHomeEndAndStayInView) {
    auto* list = dynamic_cast<CImageShowList*>(dlg->FindControl(30));
    dlg->SetFocus(list);
    const std::tuple<int, int, int> cases[] = {
        // key, selected row, first row shown
        {Qt::Key_Down, 0, 0}, {Qt::Key_Down, 1, 0}, {Qt::Key_End, 19, 15}, {Qt::Key_Down, 19, 15},
        {Qt::Key_Up, 18, 15}, {Qt::Key_Home, 0, 0}, {Qt::Key_Up, 0, 0}};
    for (const auto& [key, selected, first] : cases) {
        test::Key(dlg->W(), key);
        EXPECT_EQ(std::pair(list->Selected(), list->FirstRow()), std::pair(selected, first))
            << std::hex << key;
    }
}

}  // namespace
}  // namespace lumbra
