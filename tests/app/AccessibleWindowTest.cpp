// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window and key setting dialog as assistive tools read them:
// window titles, and key buttons named by what they send now.
#include <gtest/gtest.h>

#include <QAccessible>

#include "../keys/KeyEvents.h"
#include "AppTestSupport.h"
#include "platform/HostWidget.h"

namespace lumbra::test {
namespace {

constexpr uint32_t kCapsLock = 2258;
constexpr Point kKeySettingOk{246, 240};

QAccessibleInterface* Find(QAccessibleInterface* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* c = parent->child(i);
        if (c && c->text(QAccessible::Name) == name) return c;
        if (QAccessibleInterface* below = c ? Find(c, name) : nullptr) return below;
    }
    return nullptr;
}

QAccessibleInterface* Accessible(CDlgBase& d) {
    return QAccessible::queryAccessibleInterface(WidgetOf(*d.Window()));
}

TEST(AccessibleMainWindow, KeyButtonsSayWhatTheySendAndDialogsAreNamed) {
    MainWindowRig rig;
    rig.Start();
    QAccessibleInterface* main = Accessible(*rig.dlg);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->role(), QAccessible::Window);
    EXPECT_EQ(main->text(QAccessible::Name), "Lumbra");
    for (const char* name : {"Apply", "OK", "Cancel", "Reset All", "Minimize", "Close",
                             "Caps Lock, sends Caps Lock", "G Keys"})
        EXPECT_NE(Find(main, name), nullptr) << name;
    // Every control that acts on a click has a name.
    for (int i = 0; i < main->childCount(); ++i) {
        QAccessibleInterface* c = main->child(i);
        if (c && !c->object() && !c->actionInterface()->actionNames().isEmpty()) {
            EXPECT_FALSE(c->text(QAccessible::Name).isEmpty()) << "child " << i;
        }
    }
    QString dialogTitle;
    QString dialogRole;
    rig.onModal = [&](CDlgBase& d) {
        QAccessibleInterface* dialog = Accessible(d);
        dialogTitle = dialog->text(QAccessible::Name);
        dialogRole = dialog->role() == QAccessible::Dialog ? "dialog" : "other";
        Tap(*d.Window(), Evdev::kEsc);
        Application::ProcessEvents();
        test::Click(*d.Window(), kKeySettingOk.x, kKeySettingOk.y);
        Application::ProcessEvents();
        return DialogResult::kOk;
    };
    rig.ClickControl(kCapsLock);
    EXPECT_EQ(dialogTitle, "Key Setting — Lumbra");
    EXPECT_EQ(dialogRole, "dialog");
    EXPECT_NE(Find(main, "Caps Lock, sends Esc"), nullptr);
    EXPECT_EQ(Find(main, "Caps Lock, sends Caps Lock"), nullptr);
    // On the G keys page each G key says what it does.
    rig.dlg->ShowPage(2);
    Application::ProcessEvents();
    // G1's drop-down and its menu item pressed through their actions.
    QAccessibleInterface* g1 = Find(main, "G1, no function");
    ASSERT_NE(g1, nullptr);
    EXPECT_EQ(g1->role(), QAccessible::ComboBox);
    g1->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    Application::ProcessEvents();
    CWndPopup* menu = rig.dlg->Popup(PopupSlot::kFunctionMenu);
    ASSERT_NE(menu, nullptr);
    QAccessibleInterface* item =
        Find(QAccessible::queryAccessibleInterface(WidgetOf(*menu->Window())), "Default Function");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->role(), QAccessible::MenuItem);
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    rig.Settle();
    EXPECT_EQ(g1->text(QAccessible::Name), "G1, sends CTRL+1");
}

}  // namespace
}  // namespace lumbra::test
