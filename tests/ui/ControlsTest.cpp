// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>

#include "UiTestSupport.h"
#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CImageButton.h"
#include "ui/CKeyboardButton.h"
#include "ui/CProgressStrip.h"
#include "ui/CRadioButton.h"
#include "ui/CRegionButton.h"
#include "ui/CTabControl.h"
#include "ui/ControlMessages.h"

namespace lumbra {
namespace {

using test::FrameColor;
using test::Msg;
using test::TestDialog;

class Controls : public testing::Test {
protected:
    void SetUp() override {
        test::RegisterTestPictures();
        dlg = std::make_unique<TestDialog>(nullptr);
        dlg->Create();
    }
    void TearDown() override {
        dlg.reset();
        Application::ProcessEvents();
    }
    HostWindow* W() { return dlg->Window(); }

    std::unique_ptr<TestDialog> dlg;
    const Rect kRect = Rect::FromSize(10, 10, 20, 20);
};

// Every class: press inside, release outside tells only the press and leaves
// the state normal; a disabled control ignores everything.
using Factory = std::function<std::unique_ptr<CControlBase>(HostWindow*, const Rect&, bool)>;
struct ClassCase {
    const char* name;
    Factory make;
    bool sendsPress;
    // Gives the control its test pictures.
    std::function<void(CControlBase&)> dress;
};

class EveryButtonClass : public Controls, public testing::WithParamInterface<ClassCase> {};

TEST_P(EveryButtonClass, ReleaseOutsideSendsOnlyThePress) {
    auto c = GetParam().make(W(), kRect, false);
    dlg->Watch(c.get());
    EXPECT_TRUE(c->OnMouseMove(0, 15, 15));
    EXPECT_EQ(c->State(), CControlBase::kHover);
    EXPECT_TRUE(c->OnLButtonDown(0, 15, 15));
    EXPECT_EQ(c->State(), CControlBase::kPressed);
    EXPECT_FALSE(c->OnMouseMove(0, 100, 100));  // moves do not change a pressed control
    EXPECT_EQ(c->State(), CControlBase::kPressed);
    EXPECT_TRUE(c->OnLButtonUp(0, 100, 100));
    EXPECT_EQ(c->State(), CControlBase::kNormal);
    std::vector<Msg> expected;
    if (GetParam().sendsPress) expected.push_back({2100, 0, 1});
    EXPECT_EQ(dlg->events, expected);
}

TEST_P(EveryButtonClass, DisabledIgnoresTheMouse) {
    auto c = GetParam().make(W(), kRect, true);
    dlg->Watch(c.get());
    c->SetState(CControlBase::kHover);
    EXPECT_FALSE(c->OnMouseMove(0, 100, 100));
    EXPECT_FALSE(c->OnLButtonDown(0, 15, 15));
    EXPECT_FALSE(c->OnLButtonUp(0, 15, 15));
    EXPECT_EQ(c->State(), CControlBase::kHover);
    EXPECT_TRUE(dlg->events.empty());
}

TEST_P(EveryButtonClass, TakesTheFocusAndSpaceOrEnterPressItAsAClick) {
    CControlBase* c = dlg->AddControl(0, GetParam().make(W(), kRect, false));
    dlg->Watch(c);
    test::Key(*W(), Qt::Key_Tab);
    ASSERT_EQ(dlg->FocusControl(), c);
    test::Key(*W(), Qt::Key_Space);
    test::Key(*W(), Qt::Key_Return);
    test::Key(*W(), Qt::Key_Space, Qt::NoModifier, /*autoRepeat=*/true);
    const Msg press{2100, 0, 1}, click{2100, 0, 2};
    std::vector<Msg> once{click};
    if (GetParam().sendsPress) once.insert(once.begin(), press);
    std::vector<Msg> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(dlg->events, twice) << "a held key presses once";
    EXPECT_EQ(c->State(), CControlBase::kNormal) << "never hovered by the pointer";
    c->SetDisabled(true);
    EXPECT_TRUE(dlg->FocusOrder().empty());
}

// The disabled look of every kind differs from its normal look, drawn the same.
TEST_P(EveryButtonClass, DisabledLooksUnlikeNormal) {
    const auto look = [&](bool disabled) {
        auto c = GetParam().make(W(), kRect, disabled);
        GetParam().dress(*c);
        Surface s(40, 40);
        s.FillSolidRect({0, 0, 40, 40}, Rgb(200, 200, 200));
        c->Draw(s, kRect);
        return s.Snapshot().PixelColor(15, 15);
    };
    EXPECT_NE(look(true), look(false));
}

template <typename C>
std::function<void(CControlBase&)> Strip(int id) {
    return [id](CControlBase& c) { dynamic_cast<C&>(c).LoadImageStrip(id); };
}
void Keyed(CControlBase& c) {
    dynamic_cast<CRegionButton&>(c).SetBitmap(test::kKeyedBitmap, 17, 17, 0, 0);
}

template <typename T>
Factory Make() {
    return [](HostWindow* p, const Rect& r, bool disabled) {
        return std::make_unique<T>(p, 2100, r, "", true, disabled);
    };
}

INSTANTIATE_TEST_SUITE_P(AllClasses, EveryButtonClass,
                         testing::Values(
                             ClassCase{"Image", Make<CImageButton>(), true,
                                       Strip<CImageButton>(test::kStrip3)},
                             ClassCase{"Tab", Make<CTabControl>(), true,
                                       Strip<CTabControl>(test::kStrip3)},
                             ClassCase{"Keyboard", Make<CKeyboardButton>(), true,
                                       Strip<CKeyboardButton>(test::kStrip3)},
                             ClassCase{"Check", Make<CCheckButton>(), true,
                                       Strip<CCheckButton>(test::kStrip7)},
                             ClassCase{"Combo", Make<CComboButton>(), true,
                                       Strip<CComboButton>(test::kStrip5)},
                             ClassCase{"Radio", Make<CRadioButton>(), true, Keyed},
                             ClassCase{"Region", Make<CRegionButton>(), true, Keyed}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Controls, PressAndClickReachTheOwnerInOrder) {
    CImageButton image(W(), 2001, kRect, "", true, false);
    CKeyboardButton key(W(), 2200, kRect, "", true, false);
    CComboButton combo(W(), 2078, kRect, "", true, false);
    for (CControlBase* c : std::initializer_list<CControlBase*>{&image, &key, &combo}) {
        dlg->Watch(c);
        c->OnLButtonDown(0, 12, 12);
        c->OnLButtonUp(0, 12, 12);
        EXPECT_EQ(c->State(), CControlBase::kHover);
    }
    std::vector<Msg> expected{{2001, 0, 1}, {2001, 0, 2}, {2200, 0, 1},
                              {2200, 0, 2}, {2078, 0, 1}, {2078, 0, 2}};
    EXPECT_EQ(dlg->events, expected);
    EXPECT_TRUE(dlg->messages.empty());
}

TEST_F(Controls, CheckToggleIsVisibleToTheHandlerAndFollowsPressHandlerChanges) {
    CCheckButton check(W(), 2030, kRect, "", true, false);
    std::vector<bool> seen;
    check.onPress = [&] {
        seen.push_back(check.IsChecked());
        check.SetChecked(true);  // the handler sets it
    };
    check.onClick = [&] { seen.push_back(check.IsChecked()); };
    check.OnLButtonDown(0, 12, 12);
    check.OnLButtonUp(0, 12, 12);
    EXPECT_EQ(seen, (std::vector<bool>{false, false}));  // toggled from true back to false
    check.onPress = nullptr;
    check.OnLButtonDown(0, 12, 12);
    check.SetChecked(false);
    check.OnLButtonUp(0, 12, 12);
    EXPECT_TRUE(check.IsChecked());
    EXPECT_TRUE(seen.back());
}

TEST_F(Controls, CheckFramesCoverStatesCheckedAndDisabled) {
    CCheckButton check(W(), 2030, kRect, "", true, false);
    const int expected[2][3] = {{0, 1, 2}, {3, 4, 5}};
    for (int checked = 0; checked < 2; ++checked)
        for (int state = 0; state < 3; ++state) {
            check.SetChecked(checked);
            check.SetState(state);
            EXPECT_EQ(check.Frame(), expected[checked][state]);
        }
    check.SetDisabled(true);
    EXPECT_EQ(check.Frame(), 6);
}

// Tabs and radio buttons show the pressed frame while their owner says they
// are selected; a click only tells the owner, who decides what is selected.
TEST_F(Controls, TabsAndRadiosShowWhatTheirOwnerSelects) {
    CTabControl page2(W(), 2005, kRect, "", true, false);
    CTabControl page0(W(), 2003, Rect::FromSize(60, 10, 10, 10), "", true, false);
    CRadioButton radio(W(), 2014, Rect::FromSize(40, 10, 17, 17), "", true, false);
    page0.SetSelected(true);
    EXPECT_EQ(page0.Frame(), 2);
    EXPECT_EQ(page2.Frame(), 0);
    EXPECT_EQ(radio.Frame(), 0);
    for (CControlBase* c : std::initializer_list<CControlBase*>{&page2, &radio}) {
        dlg->Watch(c);
        const Rect r = c->GetRect();
        c->OnLButtonDown(0, r.left + 2, r.top + 2);
        c->OnLButtonUp(0, r.left + 2, r.top + 2);
    }
    EXPECT_EQ(dlg->events,
              (std::vector<Msg>{{2005, 0, 1}, {2005, 0, 2}, {2014, 0, 1}, {2014, 0, 2}}));
    EXPECT_EQ(page2.Frame(), 1) << "a click alone selects nothing";
    EXPECT_EQ(radio.Frame(), 1);
    page2.SetSelected(true);
    page0.SetSelected(false);
    radio.SetSelected(true);
    EXPECT_EQ(page2.Frame(), 2);
    EXPECT_EQ(page0.Frame(), 0);
    EXPECT_EQ(radio.Frame(), 2);
}

TEST_F(Controls, RemappedKeyRestsOnThePressedFrame) {
    CKeyboardButton key(W(), 2216, kRect, "", true, false);
    key.SetKeyInfo("~", 0x35, 0x35);
    EXPECT_EQ(key.KeyIndex(), 2216u);
    EXPECT_EQ(key.Frame(), 0);
    key.SetKeyInfo("~", 0x04, 0x35);
    EXPECT_TRUE(key.IsRemapped());
    EXPECT_EQ(key.Frame(), 2);
    key.OnMouseMove(0, 12, 12);
    EXPECT_EQ(key.Frame(), 1);
    key.OnLButtonDown(0, 12, 12);
    EXPECT_EQ(key.Frame(), 2);
}

TEST_F(Controls, ComboLooksAndAlternateLookSendsNothing) {
    CComboButton combo(W(), 2090, kRect, "", true, false);
    dlg->Watch(&combo);
    EXPECT_EQ(combo.Frame(), 0);
    combo.SetPopupOpen(true);
    EXPECT_EQ(combo.Frame(), 1);
    combo.SetPopupOpen(false);
    combo.SetAlternateLook(true);
    EXPECT_EQ(combo.Frame(), 3);
    EXPECT_TRUE(combo.OnMouseMove(0, 12, 12));
    EXPECT_EQ(combo.Frame(), 4);
    EXPECT_TRUE(combo.OnLButtonDown(0, 12, 12));
    EXPECT_TRUE(combo.OnLButtonUp(0, 12, 12));
    EXPECT_EQ(combo.Frame(), 4);
    EXPECT_TRUE(dlg->events.empty());
    combo.SetDisplayText("Mode1");
    EXPECT_EQ(combo.LabelText(), "Mode1");
    combo.SetShowDisable(true);
    EXPECT_EQ(combo.LabelText(), "Disable");
}

TEST_F(Controls, DrawingPutsTheChosenFrameStretchedIntoTheRectangle) {
    CCheckButton check(W(), 2030, kRect, "", true, false);
    ASSERT_TRUE(check.LoadImageStrip(test::kStrip7));
    check.SetChecked(true);
    check.SetState(CControlBase::kHover);
    Surface s(50, 50);
    check.Draw(s, {0, 0, 50, 50});
    EXPECT_EQ(s.GetPixel(10, 10), FrameColor(4));
    EXPECT_EQ(s.GetPixel(29, 29), FrameColor(4));
    EXPECT_EQ(s.GetPixel(30, 30), 0u);

    CRegionButton region(W(), 2040, Rect::FromSize(0, 0, 17, 17), "", true, false);
    region.SetBitmap(test::kKeyedBitmap, 17, 17, 0, 0);
    region.SetState(CControlBase::kPressed);
    s.FillSolidRect({0, 0, 50, 50}, Rgb(1, 1, 1));
    region.Draw(s, {0, 0, 50, 50});
    EXPECT_EQ(s.GetPixel(0, 0), Rgb(1, 1, 1));  // the key colour stays transparent
    EXPECT_EQ(s.GetPixel(5, 5), FrameColor(2));

    CImageButton missing(W(), 2001, kRect, "", true, false);
    EXPECT_FALSE(missing.LoadImageStrip(59999));
    s.FillSolidRect({0, 0, 50, 50}, Rgb(1, 1, 1));
    missing.Draw(s, {0, 0, 50, 50});  // draws nothing
    EXPECT_EQ(s.GetPixel(15, 15), Rgb(1, 1, 1));
}

TEST_F(Controls, SetTextRepaintsOnlyOnChangeWhileSetDisplayTextAlwaysDoes) {
    CComboButton combo(W(), 2078, kRect, "G1", true, false);
    dlg->WatchInvalidations();
    combo.SetText("G1");
    EXPECT_TRUE(dlg->invalidated.empty());
    combo.SetText("G2");
    ASSERT_EQ(dlg->invalidated.size(), 1u);
    EXPECT_EQ(dlg->invalidated[0], kRect);
    combo.SetDisplayText("x");
    combo.SetDisplayText("x");
    EXPECT_EQ(dlg->invalidated.size(), 3u);
}

}  // namespace
}  // namespace lumbra

namespace lumbra {
namespace {

// The frame of the progress strip depends on done and total alone: empty
// before the first step, full only at the end, never out of its strip.
TEST(ProgressStrip, FrameIsAFunctionOfDoneAndTotal) {
    struct Case {
        int done, total, frame;
    };
    const Case cases[] = {
        {0, 0, 0},    {0, 10, 0},   {1, 10, 1},   {5, 10, 8},      {9, 10, 14},
        {10, 10, 16}, {12, 10, 16}, {1, 1000, 0}, {999, 1000, 15}, {-1, 10, 0},
        {3, -4, 0},   {17, 17, 16}, {16, 17, 15}, {1, 2, 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CProgressStrip::FrameFor(c.done, c.total), c.frame) << c.done << "/" << c.total;
    }
}

}  // namespace
}  // namespace lumbra
