// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "UiTestSupport.h"
#include "ui/CComboPopup.h"
#include "ui/CLightBrightnessPopup.h"
#include "ui/CLightColorPopup.h"
#include "ui/CMacroLibraryPopup.h"
#include "ui/CMacroSetListPopup.h"
#include "ui/CMouseFunctionPopup.h"
#include "ui/CMultimediaKeyPopup.h"
#include "ui/CWindowManagePopup.h"

namespace lumbra {
namespace {

using test::Msg;
using test::TestDialog;

// A choice as the owner's handler saw it, and the popup it came from.
struct Report {
    const CWndPopup* from;
    ChoiceRecord record;
};

class Popups : public testing::Test {
protected:
    void SetUp() override {
        dlg = std::make_unique<TestDialog>(nullptr, 400, 300);
        dlg->Create();
    }
    void TearDown() override {
        dlg.reset();
        Application::ProcessEvents();
    }
    // Opens a popup in a slot at client (20, 30) with parameter 77, recording
    // what it tells its owner.
    template <typename T>
    T* Open(PopupSlot slot, T* popup, int width = 120) {
        popup->onChoice = [this, popup](const ChoiceRecord& r) { reports.push_back({popup, r}); };
        popup->onDeactivated = [this] { ++deactivations; };
        if (auto* menu = dynamic_cast<CComboPopup*>(static_cast<CWndPopup*>(popup))) {
            menu->onSubmenuWanted = [this](std::optional<FunctionSubList> list) {
                submenus.push_back(list);
            };
            menu->onShortcutWanted = [this] { requests.push_back("shortcut"); };
            menu->onQuickLaunchWanted = [this] { requests.push_back("quick launch"); };
        }
        dlg->ShowPopup(slot, Rect::FromSize(20, 30, width, 20), popup, 77);
        dlg->messages.clear();
        return popup;
    }
    // Hover and click the item at index i.
    void ClickItem(CWndPopup* p, size_t i) {
        Rect r = p->Items()[i].rect;
        test::Click(*p->Window(), r.left + 5, r.top + 5);
    }
    std::vector<Msg> Sent(uint32_t msg) const {
        std::vector<Msg> out;
        for (const Msg& m : dlg->messages)
            if (m.msg == msg) out.push_back(m);
        return out;
    }

    std::unique_ptr<TestDialog> dlg;
    std::vector<Report> reports;
    std::vector<std::optional<FunctionSubList>> submenus;
    std::vector<std::string> requests;
    int deactivations = 0;
};

TEST_F(Popups, ItemsAreLaidOutInSixteenPixelRowsAndSizeTheWindow) {
    auto* p = Open(PopupSlot::kFunctionMenu, new CComboPopup);
    ASSERT_EQ(p->Items().size(), 8u);
    EXPECT_EQ(p->Items()[0].rect, (Rect{3, 3, 222, 19}));
    EXPECT_EQ(p->Items()[7].rect, (Rect{3, 115, 222, 131}));
    EXPECT_EQ(p->Window()->ClientRect(), (Rect{0, 0, 225, 134}));
    const Point origin = dlg->W().ClientToScreen({20, 30});
    EXPECT_EQ(p->Window()->ScreenPos(), origin);
    const char* texts[] = {"Assign a Macro", "Multimedia",       "Window Manage",
                           "Mouse Function", "Default Function", "Assign a Shortcut",
                           "Quick Launch",   "No Function"};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(p->Items()[i].text, texts[i]);
        EXPECT_EQ(p->Items()[i].submenu, i < 4);
    }
    EXPECT_EQ(p->Parameter(), 77u);

    auto* m = Open(PopupSlot::kMouseFunctionList, new CMouseFunctionPopup,
                   140);  // its width is the creation width
    EXPECT_EQ(m->Window()->ClientRect().Width(), 140);
    EXPECT_EQ(m->Items()[0].rect.right, 137);
}

TEST_F(Popups, PaintingShowsFramePanelHoverAndSubmenuArrows) {
    auto* p = Open(PopupSlot::kFunctionMenu, new CComboPopup);
    test::Move(*p->Window(), 100, 8);  // hover item 0
    Image shot = p->Window()->Render();
    EXPECT_EQ(shot.PixelColor(0, 0), Color{0xF4FF20});
    EXPECT_EQ(shot.PixelColor(224, 133), Color{0xF4FF20});
    EXPECT_EQ(shot.PixelColor(1, 1), Color{0x564A12});
    EXPECT_EQ(shot.PixelColor(200, 4), Color{0xDEA035});  // hovered row
    EXPECT_EQ(shot.PixelColor(200, 20), Color{0x564A12});
    // The arrow of item 1 (right 222, top 19).
    for (Point q : SubmenuArrowPixels(222, 19)) EXPECT_EQ(shot.PixelColor(q.x, q.y), 0xFFFFFFu);
    EXPECT_EQ(shot.PixelColor(222 - 3, 19 + 5), Color{0x564A12});
}

TEST_F(Popups, ComboHoverRequestsSubmenusEachTimeAnItemTakesTheHover) {
    auto* p = Open(PopupSlot::kFunctionMenu, new CComboPopup);
    HostWindow& w = *p->Window();
    test::Move(w, 50, 5);    // item 0
    test::Move(w, 60, 10);   // still item 0: nothing
    test::Move(w, 50, 21);   // item 1
    test::Move(w, 50, 133);  // below the items: hover cleared, nothing sent
    test::Move(w, 50, 25);   // back to item 1
    test::Move(w, 50, 70);   // item 4 "Default Function"
    const std::vector<std::optional<FunctionSubList>> expected{
        FunctionSubList::kMacro, FunctionSubList::kMultimedia, FunctionSubList::kMultimedia,
        std::nullopt};
    EXPECT_EQ(submenus, expected);
    EXPECT_TRUE(dlg->messages.empty());
}

TEST_F(Popups, ComboChoicesReportOrRequestByItem) {
    auto* p = Open(PopupSlot::kFunctionMenu, new CComboPopup);
    ClickItem(p, 2);  // "Window Manage": a submenu item chooses nothing
    ClickItem(p, 4);  // "Default Function"
    ClickItem(p, 5);  // "Assign a Shortcut"
    ClickItem(p, 6);  // "Quick Launch"
    ClickItem(p, 7);  // "No Function"
    EXPECT_EQ(requests, (std::vector<std::string>{"shortcut", "quick launch"}));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].from, p);
    EXPECT_EQ(reports[0].record.text, "默认功能");
    EXPECT_EQ(reports[0].record.b0, 6);
    EXPECT_EQ(reports[0].record.b1, 1);
    EXPECT_EQ(reports[1].record.text, "No Function");
    EXPECT_EQ(reports[1].record.b0, 0);
    EXPECT_EQ(reports[1].record.b1, 0);
    EXPECT_TRUE(dlg->messages.empty());
}

struct FunctionCase {
    const char* name;
    std::function<CWndPopup*()> make;
    PopupSlot slot;
    size_t item;
    std::string text;
    uint8_t b0, b1;
};

class FunctionPopups : public Popups, public testing::WithParamInterface<FunctionCase> {};

TEST_P(FunctionPopups, ReleaseReportsTheItemsFunction) {
    const FunctionCase& c = GetParam();
    auto* p = Open(c.slot, c.make());
    ClickItem(p, c.item);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].from, p);
    EXPECT_EQ(p->Parameter(), 77u);
    EXPECT_EQ(reports[0].record.text, c.text);
    EXPECT_EQ(reports[0].record.b0, c.b0);
    EXPECT_EQ(reports[0].record.b1, c.b1);
}

INSTANTIATE_TEST_SUITE_P(
    AllTables, FunctionPopups,
    testing::Values(FunctionCase{"Search", [] { return new CWindowManagePopup; },
                                 PopupSlot::kWindowManageList, 0, "Search", 2, 0xA8},
                    FunctionCase{"Calculator", [] { return new CWindowManagePopup; },
                                 PopupSlot::kWindowManageList, 9, "Calculator", 2, 0xB1},
                    FunctionCase{"Mute", [] { return new CMultimediaKeyPopup; },
                                 PopupSlot::kMultimediaList, 0, "Mute", 2, 0xA0},
                    FunctionCase{"MediaStop", [] { return new CMultimediaKeyPopup; },
                                 PopupSlot::kMultimediaList, 7, "Stop", 2, 0xA7},
                    FunctionCase{"Click", [] { return new CMouseFunctionPopup; },
                                 PopupSlot::kMouseFunctionList, 0, "Click", 3, 1},
                    FunctionCase{"IEForward", [] { return new CMouseFunctionPopup; },
                                 PopupSlot::kMouseFunctionList, 4, "IE Forward", 3, 16},
                    FunctionCase{"DoubleClick", [] { return new CMouseFunctionPopup; },
                                 PopupSlot::kMouseFunctionList, 5, "Double-click", 4, 0},
                    FunctionCase{"Fire", [] { return new CMouseFunctionPopup; },
                                 PopupSlot::kMouseFunctionList, 6, "Fire", 5, 0},
                    FunctionCase{"Breath", [] { return new CLightBrightnessPopup; },
                                 PopupSlot::kLightBrightness, 0, "Breath", 24, 0},
                    FunctionCase{"Zero", [] { return new CLightBrightnessPopup; },
                                 PopupSlot::kLightBrightness, 4, "0%", 1, 0},
                    FunctionCase{"Mode2", [] { return new CLightColorPopup; },
                                 PopupSlot::kLightColor, 1, "Mode2", 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Popups, LightingPopupsKeepTheHoverWhileHeldAndReportOnlyTheChoice) {
    auto* p = Open(PopupSlot::kLightBrightness, new CLightBrightnessPopup);
    HostWindow& w = *p->Window();
    test::Move(w, 50, 5);  // "Breath"
    test::Press(w, 50, 5);
    test::Move(w, 50, 40, true);  // over "60%": the hover does not follow while held
    test::Release(w, 50, 5);      // released back on "Breath"
    ASSERT_EQ(reports.size(), 1u) << "the press tells nothing";
    EXPECT_EQ(reports[0].record.text, "Breath");

    // Pressed on one item, released on another: the hovered item at release
    // time is "Breath", the point is outside it, so only the hover clears.
    test::Move(w, 50, 5);
    test::Press(w, 50, 5);
    test::Move(w, 50, 40, true);
    test::Release(w, 50, 40);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(p->Hovered(), -1);
}

TEST_F(Popups, SeparatorsNeverTakeTheHover) {
    MacroLibrary lib;
    lib.ResetToDefault();
    lib.AddSet("Second");
    auto* list = new CMacroSetListPopup(&lib);
    std::vector<int> chosen;
    list->onItemChosen = [&](int type) { chosen.push_back(type); };
    auto* p = Open(PopupSlot::kMacroSetList, list);
    ASSERT_EQ(p->Items().size(), 5u);
    EXPECT_TRUE(p->Items()[2].separator);
    EXPECT_EQ(p->Items()[2].rect, (Rect{3, 37, 191, 38}));
    test::Move(*p->Window(), 50, 10);
    EXPECT_EQ(p->Hovered(), 0);
    test::Move(*p->Window(), 50, 37);
    EXPECT_EQ(p->Hovered(), -1);
    ClickItem(p, 3);  // "[+]Add a Macro Set" reports its type as a plain value
    ClickItem(p, 1);  // the second set
    EXPECT_EQ(chosen, (std::vector<int>{0, 3}));
    EXPECT_TRUE(dlg->messages.empty()) << "the choice travels through the callback only";
}

TEST_F(Popups, EmptyMacroLibraryShowsOneSeparatorAndReportsNothing) {
    MacroLibrary lib;
    lib.ResetToDefault();
    auto* p = Open(PopupSlot::kMacroLibrary, new CMacroLibraryPopup(&lib));
    ASSERT_EQ(p->Items().size(), 1u);
    EXPECT_TRUE(p->Items()[0].separator);
    EXPECT_EQ(p->Window()->ClientRect().Height(), 10);
    test::Click(*p->Window(), 50, 5);
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(dlg->messages.empty());
}

TEST_F(Popups, MacroLibraryPopupReportsTheMacro) {
    MacroLibrary lib;
    lib.ResetToDefault();
    lib.SetAt(0)->AddKey("Alpha");
    lib.SetAt(0)->AddKey("Beta");
    auto* p = Open(PopupSlot::kMacroLibrary, new CMacroLibraryPopup(&lib));
    ClickItem(p, 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].record.text, "Beta");
    EXPECT_EQ(reports[0].record.b0, 1);
}

TEST_F(Popups, LosingActivationTellsTheOwner) {
    auto* p = Open(PopupSlot::kWindowManageList, new CWindowManagePopup);
    test::Deactivate(*p->Window());
    EXPECT_EQ(deactivations, 1);
    EXPECT_TRUE(dlg->messages.empty());
}

TEST_F(Popups, ClosingInsideItsOwnReportIsSafe) {
    auto* p = Open(PopupSlot::kLightColor, new CLightColorPopup);
    bool destroyed = false;
    p->onChoice = [&](const ChoiceRecord&) {
        dlg->ClosePopup(PopupSlot::kLightColor);
        p->SetDestroyedCallback([&] { destroyed = true; });
    };
    ClickItem(p, 0);
    EXPECT_EQ(dlg->Popup(PopupSlot::kLightColor), nullptr);
    EXPECT_FALSE(destroyed);  // the close request is queued
    Application::ProcessEvents();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(Sent(kMsgHookKey).empty()) << "a closing popup sends no key";
}

TEST_F(Popups, ShowingASlotAgainClosesItsEarlierPopup) {
    auto* first = Open(PopupSlot::kFunctionMenu, new CComboPopup);
    auto* second = Open(PopupSlot::kFunctionMenu, new CComboPopup);
    int closed = 0;
    first->SetDestroyedCallback([&] { ++closed; });
    Application::ProcessEvents();
    EXPECT_EQ(dlg->Popup(PopupSlot::kFunctionMenu), second);
    EXPECT_EQ(closed, 1);
}

TEST_F(Popups, PopupsStillOpenGoAwayWithTheirOwner) {
    Open(PopupSlot::kFunctionMenu, new CComboPopup);
    Open(PopupSlot::kMultimediaList, new CMultimediaKeyPopup);
    dlg->ClosePopup(PopupSlot::kMultimediaList);  // close queued but not yet handled
    dlg.reset();                                  // both popup objects are deleted here
    Application::ProcessEvents();
}

}  // namespace
}  // namespace lumbra
