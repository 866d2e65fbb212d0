// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive tools see of a skinned dialog through Qt's accessibility
// interfaces: every control kind's role, name and states, the announcements
// of focus and state changes, and the default action.
#include <gtest/gtest.h>

#include <QAccessible>

#include "UiTestSupport.h"
#include "platform/HostWidget.h"
#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CImageButton.h"
#include "ui/CImageShowList.h"
#include "ui/CKeyboardButton.h"
#include "ui/CLightColorPopup.h"
#include "ui/CRadioButton.h"
#include "ui/CStaticText.h"
#include "ui/CTabControl.h"

namespace lumbra {
namespace {

using test::TestDialog;

QAccessibleInterface* Find(QAccessibleInterface* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* c = parent->child(i);
        if (!c) continue;
        if (c->text(QAccessible::Name) == name) return c;
        if (QAccessibleInterface* below = Find(c, name)) return below;
    }
    return nullptr;
}

// One control of every kind, each in a state worth reading back.
class AccessibleDialog : public testing::Test {
protected:
    void SetUp() override {
        test::RegisterTestPictures();
        step.InsertAction(0, MacroAction{{0x41, 0, 0, 0}});
        dlg = std::make_unique<TestDialog>(
            [this](TestDialog& d) {
                HostWindow* w = d.Window();
                apply = d.AddControl(0, std::make_unique<CImageButton>(
                                            w, 1, Rect::FromSize(10, 10, 20, 20), "", true, false));
                apply->SetAccessibleName("Apply");
                apply->onClick = [this] { ++applyClicks; };
                auto* off =
                    d.AddControl(0, std::make_unique<CImageButton>(
                                        w, 2, Rect::FromSize(40, 10, 20, 20), "Reset", true, true));
                (void)off;
                auto* tab =
                    d.AddControl(0, std::make_unique<CTabControl>(
                                        w, 3, Rect::FromSize(70, 10, 20, 20), "Keys", true, false));
                tab->SetSelected(true);
                auto* radio = d.AddControl(
                    0, std::make_unique<CRadioButton>(w, 4, Rect::FromSize(100, 10, 20, 20),
                                                      "Mouse", true, false));
                radio->SetSelected(true);
                check =
                    d.AddControl(0, std::make_unique<CCheckButton>(
                                        w, 5, Rect::FromSize(10, 40, 20, 20), "Loop", true, false));
                check->LoadImageStrip(test::kStrip7);
                auto* combo =
                    d.AddControl(0, std::make_unique<CComboButton>(
                                        w, 6, Rect::FromSize(40, 40, 60, 20), "", true, false));
                combo->SetDisplayText("Red");
                combo->SetAccessibleName("Lighting colour");
                auto* text = d.AddControl(
                    0, std::make_unique<CStaticText>(w, 7, Rect::FromSize(10, 70, 80, 20), "", true,
                                                     false, 0, 0));
                text->SetString("Hello");
                auto* key =
                    d.AddControl(1, std::make_unique<CKeyboardButton>(
                                        w, 8, Rect::FromSize(100, 40, 20, 20), "", true, false));
                key->SetKeyInfo("Caps Lock", 57, 57);
                auto* hidden = d.AddControl(
                    1, std::make_unique<CImageButton>(w, 9, Rect::FromSize(130, 40, 20, 20),
                                                      "Hidden", true, false));
                hidden->SetVisible(false);
                auto* steps = d.AddControl(
                    1, std::make_unique<CImageShowList>(w, 10, Rect::FromSize(10, 95, 100, 50),
                                                        "Steps", true, false));
                steps->SetMacroKey(&step);
                steps->SetSelected(0);
            },
            200, 150);
        dlg->Create();
        Application::ProcessEvents();
        window = QAccessible::queryAccessibleInterface(WidgetOf(dlg->W()));
    }
    void TearDown() override {
        SetAccessibleEventSpy(nullptr);
        dlg.reset();
        Application::ProcessEvents();
    }

    MacroKey step{"m"};
    std::unique_ptr<TestDialog> dlg;
    CImageButton* apply = nullptr;
    CCheckButton* check = nullptr;
    int applyClicks = 0;
    QAccessibleInterface* window = nullptr;
};

TEST_F(AccessibleDialog, EveryControlKindHasItsRoleNameAndStates) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window) << "a dialog nothing owns is a window";
    struct Case {
        const char* name;
        QAccessible::Role role;
        bool disabled, checked, selected, focusable;
        const char* value;
    };
    const Case cases[] = {
        {"Apply", QAccessible::PushButton, false, false, false, true, ""},
        {"Reset", QAccessible::PushButton, true, false, false, false, ""},
        {"Keys", QAccessible::PageTab, false, false, true, true, ""},
        {"Mouse", QAccessible::RadioButton, false, true, false, true, ""},
        {"Loop", QAccessible::CheckBox, false, false, false, true, ""},
        {"Lighting colour", QAccessible::ComboBox, false, false, false, true, "Red"},
        {"Hello", QAccessible::StaticText, false, false, false, false, ""},
        {"Caps Lock", QAccessible::PushButton, false, false, false, true, ""},
        {"Steps", QAccessible::List, false, false, false, true, ""},
        {"A Press", QAccessible::ListItem, false, false, true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QAccessibleInterface* node = Find(window, c.name);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->role(), c.role);
        const QAccessible::State s = node->state();
        EXPECT_EQ(bool(s.disabled), c.disabled);
        EXPECT_EQ(bool(s.checked), c.checked);
        EXPECT_EQ(bool(s.selected), c.selected);
        EXPECT_EQ(bool(s.focusable), c.focusable);
        EXPECT_EQ(node->text(QAccessible::Value), c.value);
        // The tree agrees with itself both ways, and places the node on screen.
        QAccessibleInterface* parent = node->parent();
        ASSERT_NE(parent, nullptr);
        EXPECT_EQ(parent->child(parent->indexOfChild(node)), node);
        EXPECT_TRUE(window->rect().contains(node->rect())) << "screen coordinates";
    }
    EXPECT_EQ(Find(window, "Hidden"), nullptr) << "a hidden control is not shown to tools";
    EXPECT_EQ(Find(window, "Steps")->childCount(), 1);
    // The pointer's press shows as pressed.
    test::Move(dlg->W(), 15, 15);
    test::Press(dlg->W(), 15, 15);
    EXPECT_TRUE(Find(window, "Apply")->state().pressed);
    test::Release(dlg->W(), 15, 15);
    EXPECT_FALSE(Find(window, "Apply")->state().pressed);
}

TEST_F(AccessibleDialog, FocusMovesAndStateChangesAreAnnouncedAndTheActionPresses) {
    struct Heard {
        QAccessible::Event type;
        QString name;
        bool checkedChanged;
    };
    std::vector<Heard> heard;
    SetAccessibleEventSpy([&](QAccessibleEvent* e) {
        const bool checked = e->type() == QAccessible::StateChanged &&
                             static_cast<QAccessibleStateChangeEvent*>(e)->changedStates().checked;
        heard.push_back({e->type(), e->accessibleInterface()->text(QAccessible::Name), checked});
    });
    QAccessibleInterface* loop = Find(window, "Loop");
    ASSERT_NE(loop, nullptr);
    // Tab walks Apply, Keys, Mouse, then the row below: Loop.
    for (int i = 0; i < 4; ++i) test::Key(dlg->W(), Qt::Key_Tab);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back().type, QAccessible::Focus);
    EXPECT_EQ(heard.back().name, "Loop");
    EXPECT_EQ(window->focusChild(), loop);
    EXPECT_TRUE(loop->state().focused);
    heard.clear();
    test::Key(dlg->W(), Qt::Key_Space);
    dlg->W().RepaintNow();
    Application::ProcessEvents();
    EXPECT_TRUE(check->IsChecked());
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](const Heard& h) {
        return h.name == "Loop" && h.checkedChanged;
    })) << "the new check is announced";
    // The default action presses, from the event queue.
    QAccessibleActionInterface* action = Find(window, "Apply")->actionInterface();
    ASSERT_NE(action, nullptr);
    ASSERT_EQ(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(applyClicks, 0);
    Application::ProcessEvents();
    EXPECT_EQ(applyClicks, 1);
    EXPECT_TRUE(Find(window, "Reset")->actionInterface()->actionNames().isEmpty())
        << "a disabled button offers nothing";
}

TEST_F(AccessibleDialog, APopupIsADialogListingItsChoices) {
    auto* popup = new CLightColorPopup;
    std::vector<std::string> chosen;
    popup->onChoice = [&](const ChoiceRecord& c) { chosen.push_back(c.text); };
    dlg->ShowPopup(PopupSlot::kLightColor, Rect::FromSize(40, 60, 175, 20), popup, 0);
    Application::ProcessEvents();
    QAccessibleInterface* p = QAccessible::queryAccessibleInterface(WidgetOf(*popup->Window()));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->role(), QAccessible::Dialog);
    EXPECT_EQ(p->text(QAccessible::Name), "Lighting colour");
    QAccessibleInterface* green = Find(p, "Mode2");
    ASSERT_NE(green, nullptr);
    EXPECT_EQ(green->role(), QAccessible::ListItem);
    EXPECT_EQ(green->parent()->role(), QAccessible::List);
    green->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    Application::ProcessEvents();
    EXPECT_EQ(chosen, std::vector<std::string>{"Mode2"});
}

}  // namespace
}  // namespace lumbra
