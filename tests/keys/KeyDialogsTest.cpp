// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "../ui/UiTestSupport.h"
#include "KeyEvents.h"
#include "keys/CKeyMapSettingDlg.h"
#include "keys/CQuickLaunchDlg.h"
#include "keys/CShortcutDlg.h"
#include "keys/KeyAssignment.h"
#include "model/KeyNames.h"
#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CMouseFunctionPopup.h"
#include "ui/CRadioButton.h"
#include "ui/CStaticText.h"

namespace lumbra {
namespace {

using namespace test::Evdev;
using test::TestDialog;

// Centres of the dialogs' controls, from their layouts.
namespace KeyMapAt {
constexpr Point kClose{378, 19}, kRestore{300, 70}, kKeyMode{32, 104}, kMouseMode{32, 144};
constexpr Point kCombo{280, 146}, kDisableMode{32, 182}, kOk{246, 240}, kCancel{347, 240};
constexpr Point kKeyName{286, 104};
}  // namespace KeyMapAt
namespace ShortcutAt {
constexpr Point kClose{402, 13}, kNone{28, 110}, kCtrl{89, 110}, kShift{142, 110}, kAlt{192, 110};
constexpr Point kWin{238, 110}, kOk{52, 176}, kCancel{150, 176};
}  // namespace ShortcutAt
namespace QuickAt {
constexpr Point kClose{287, 14}, kBrowse{269, 96}, kOk{100, 212}, kCancel{184, 212};
}  // namespace QuickAt

constexpr uint32_t kQButton = 0x8BE, kAButton = 0x8D3, kF3Button = 0x89B;
constexpr uintptr_t kG2 = 0x81F, kG5 = 0x822;

void ClickAt(CDlgBase& dlg, Point p) { test::Click(*dlg.Window(), p.x, p.y); }

std::string TextOf(const CDlgBase& dlg, uint32_t id) {
    const auto* text = dynamic_cast<const CStaticText*>(dlg.FindControl(id));
    return text ? text->String() : "<none>";
}

// The dialogs' owner: records what the dialogs choose and hands it to the
// key assignment as the main window does.
class KeyDialogs : public testing::Test {
protected:
    struct Stored {
        uint32_t id;
        uint8_t code;
        friend bool operator==(const Stored&, const Stored&) = default;
    };

    void SetUp() override {
        for (int s = 0; s < kProfileSlotCount; ++s) model.Profile(s).ResetDefaults(s);
        owner = std::make_unique<TestDialog>(nullptr, 300, 200);
        owner->Create();
    }
    void TearDown() override {
        owner.reset();
        Application::ProcessEvents();
    }
    HostWindow* Owner() { return owner->Window(); }
    CKeyMapSettingDlg& Wire(CKeyMapSettingDlg& dlg) {
        dlg.onCodeChosen = [this](uint32_t id, uint8_t code) {
            stored.push_back({id, code});
            assign.StoreKeyCode(id, code);
        };
        return dlg;
    }
    CShortcutDlg& Wire(CShortcutDlg& dlg) {
        dlg.onChosen = [this](const ChoiceRecord& record) {
            records.push_back(record);
            assign.ApplyShortcutResult(record);
        };
        return dlg;
    }
    CQuickLaunchDlg& Wire(CQuickLaunchDlg& dlg) {
        dlg.onChosen = [this](const std::string& path, const ChoiceRecord& record) {
            records.push_back(record);
            paths.push_back(path);
            assign.ApplyQuickLaunchResult(path, record);
        };
        return dlg;
    }
    bool NothingChosen() const { return stored.empty() && records.empty(); }
    // Types keys into a dialog and lets its window handle the hook's messages.
    void Type(CDlgBase& dlg, std::initializer_list<uint32_t> keys) {
        for (uint32_t k : keys) test::Tap(*dlg.Window(), k);
        Application::ProcessEvents();
    }

    KeyboardModel model;
    KeyAssignment assign{model};
    std::unique_ptr<TestDialog> owner;
    std::vector<Stored> stored;
    std::vector<ChoiceRecord> records;
    std::vector<std::string> paths;
};

// ---- Key setting dialog ----------------------------------------------------

TEST_F(KeyDialogs, KeyHoldingAMouseFunctionOpensInMouseModeAndOkSendsIt) {
    CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 210);
    Wire(dlg).Create();
    EXPECT_TRUE(dlg.Hook().IsRunning());
    EXPECT_EQ(dlg.CurrentMode(), CKeyMapSettingDlg::Mode::kMouse);
    EXPECT_TRUE(dynamic_cast<CRadioButton&>(*dlg.FindControl(2014)).IsSelected());
    EXPECT_EQ(dynamic_cast<CComboButton*>(dlg.FindControl(2012))->DisplayText(),
              "Univeral scrolling");
    EXPECT_EQ(TextOf(dlg, 2015), "A");
    EXPECT_EQ(TextOf(dlg, 2017), "A");
    ClickAt(dlg, KeyMapAt::kOk);
    EXPECT_EQ(stored, (std::vector<Stored>{{kAButton, 210}}));
    EXPECT_EQ(dlg.Result(), DialogResult::kOk);
}

TEST_F(KeyDialogs, DisabledKeyOpensInDisableModeAndKeyModeSendsTheFactoryCode) {
    CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 0);
    Wire(dlg).Create();
    EXPECT_EQ(dlg.CurrentMode(), CKeyMapSettingDlg::Mode::kDisable);
    EXPECT_EQ(dynamic_cast<CComboButton*>(dlg.FindControl(2012))->DisplayText(), "Click");
    EXPECT_EQ(TextOf(dlg, 2017), "A");
    ClickAt(dlg, KeyMapAt::kKeyMode);
    EXPECT_EQ(dlg.CurrentMode(), CKeyMapSettingDlg::Mode::kKey);
    ClickAt(dlg, KeyMapAt::kOk);
    EXPECT_EQ(stored, (std::vector<Stored>{{kAButton, 4}}));
}

TEST_F(KeyDialogs, CapturedKeyIsSentInKeyModeAndTheMouseChoiceInMouseMode) {
    {
        CKeyMapSettingDlg dlg(Owner(), kQButton, "Q", 235, 235);
        Wire(dlg).Create();
        EXPECT_EQ(dlg.CurrentMode(), CKeyMapSettingDlg::Mode::kKey);
        EXPECT_EQ(TextOf(dlg, 2017), "Q");
        Type(dlg, {kA});
        EXPECT_EQ(dlg.CapturedName(), "A");
        EXPECT_EQ(dlg.CapturedVirtualKey(), 0x41);
        EXPECT_EQ(TextOf(dlg, 2017), "A");
        ClickAt(dlg, KeyMapAt::kOk);
    }
    {
        CKeyMapSettingDlg dlg(Owner(), kQButton, "Q", 235, 235);
        Wire(dlg).Create();
        Type(dlg, {kA});
        ClickAt(dlg, KeyMapAt::kMouseMode);
        ClickAt(dlg, KeyMapAt::kOk);
    }
    EXPECT_EQ(stored, (std::vector<Stored>{{kQButton, 4}, {kQButton, 208}}));
}

TEST_F(KeyDialogs, EveryKindOfKeyIsCapturedAsItsOwnKeyCode) {
    struct Case {
        uint32_t evdev;
        uint8_t usage;
        const char* name;
    };
    // Usages and names as the key-code and virtual-key tables give them.
    const Case cases[] = {{kEsc, 41, "Esc"},         {kEnter, 40, "Enter"},
                          {kTab, 43, "Tab"},         {kKpEnter, 88, "Keypad Enter"},
                          {kKp5, 93, "Keypad 5"},    {kShiftL, 225, "Shift_L"},
                          {kShiftR, 229, "Shift_R"}, {kCtrlR, 228, "Ctrl_R"},
                          {kAltL, 226, "Alt_L"},     {kWinL, 227, "Win_L"},
                          {kApp, 101, "App"},        {kPrint, 70, "Print Screen"},
                          {kPause, 72, "Pause"},     {kF4, 61, "F4"}};
    CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
    Wire(dlg).Create();
    for (const Case& c : cases) {
        // A capture moves the focus on to OK; a click on the field captures again.
        ClickAt(dlg, KeyMapAt::kKeyName);
        Type(dlg, {c.evdev});
        EXPECT_EQ(dlg.KeyChoice(), c.usage) << c.name;
        EXPECT_EQ(VkToHid(dlg.CapturedVirtualKey()), c.usage) << c.name;
    }
    // A closing popup's notice (0, 0) on the same message is no key.
    dlg.Window()->Send(kMsgHookKey, 0, 0);
    EXPECT_EQ(dlg.KeyChoice(), 61);
}

TEST_F(KeyDialogs, MouseFunctionListSetsTheMouseChoiceAndCloses) {
    CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
    Wire(dlg).Create();
    ClickAt(dlg, KeyMapAt::kCombo);
    auto* list = dynamic_cast<CMouseFunctionPopup*>(dlg.Popup(PopupSlot::kMouseFunctionList));
    ASSERT_NE(list, nullptr);
    auto* combo = dynamic_cast<CComboButton*>(dlg.FindControl(2012));
    EXPECT_TRUE(combo->IsPopupOpen());
    EXPECT_EQ(list->Width(), 185);
    // "IE Forward" is the fifth item.
    const Rect item = list->Items()[4].rect;
    test::Click(*list->Window(), item.left + 5, item.top + 5);
    EXPECT_EQ(dlg.MouseChoice(), 212);
    EXPECT_EQ(combo->DisplayText(), "IE Forward");
    EXPECT_FALSE(combo->IsPopupOpen());
    EXPECT_EQ(dlg.Popup(PopupSlot::kMouseFunctionList), nullptr);
    EXPECT_EQ(dlg.CurrentMode(), CKeyMapSettingDlg::Mode::kKey) << "the mode does not change";
    Application::ProcessEvents();

    // The list's own text for 210.
    ClickAt(dlg, KeyMapAt::kCombo);
    list = dynamic_cast<CMouseFunctionPopup*>(dlg.Popup(PopupSlot::kMouseFunctionList));
    ASSERT_NE(list, nullptr);
    const Rect scrolling = list->Items()[2].rect;
    test::Click(*list->Window(), scrolling.left + 5, scrolling.top + 5);
    EXPECT_EQ(combo->DisplayText(), "Universal scrolling");
    EXPECT_EQ(dlg.MouseChoice(), 210);
    Application::ProcessEvents();

    // Losing activation closes the list and releases the combo.
    ClickAt(dlg, KeyMapAt::kCombo);
    ASSERT_NE(dlg.Popup(PopupSlot::kMouseFunctionList), nullptr);
    test::Deactivate(*dlg.Popup(PopupSlot::kMouseFunctionList)->Window());
    EXPECT_EQ(dlg.Popup(PopupSlot::kMouseFunctionList), nullptr);
    EXPECT_FALSE(combo->IsPopupOpen());
    Application::ProcessEvents();

    ClickAt(dlg, KeyMapAt::kMouseMode);
    ClickAt(dlg, KeyMapAt::kOk);
    EXPECT_EQ(stored, (std::vector<Stored>{{kAButton, 210}}));
}

TEST(KeyMapSettingChoices, MouseListChoicesGiveTheirCodes) {
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(3, 1), 208);
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(3, 2), 209);
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(3, 4), 210);
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(3, 8), 211);
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(3, 16), 212);
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(3, 3), 208);
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(4, 0), 213);
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(5, 0), 214);
    EXPECT_EQ(CKeyMapSettingDlg::MouseCodeForChoice(9, 0), 214);
}

TEST_F(KeyDialogs, RestoreGoesBackToTheFactoryCodeInKeyMode) {
    CKeyMapSettingDlg dlg(Owner(), kF3Button, "F3", 194, 0);
    Wire(dlg).Create();
    Type(dlg, {kB});
    ClickAt(dlg, KeyMapAt::kRestore);
    EXPECT_EQ(dlg.CurrentMode(), CKeyMapSettingDlg::Mode::kKey);
    EXPECT_EQ(dlg.KeyChoice(), 194);
    EXPECT_EQ(TextOf(dlg, 2017), "F3");
    ClickAt(dlg, KeyMapAt::kOk);
    EXPECT_EQ(stored, (std::vector<Stored>{{kF3Button, 194}}));
}

TEST_F(KeyDialogs, CancelAndCloseSendNothing) {
    for (Point p : {KeyMapAt::kCancel, KeyMapAt::kClose}) {
        CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
        Wire(dlg).Create();
        Type(dlg, {kB});
        ClickAt(dlg, KeyMapAt::kDisableMode);
        ClickAt(dlg, p);
        EXPECT_EQ(dlg.Result(), DialogResult::kCancel);
    }
    EXPECT_TRUE(NothingChosen());
    EXPECT_EQ(model.pending, PendingWrites{});
}

TEST_F(KeyDialogs, EscEnterAndTabAreCapturedWithoutClosingTheModalDialog) {
    CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
    bool stillOpen = false;
    bool grabbedWhileOpen = false;
    QTimer::singleShot(0, [&] {
        grabbedWhileOpen = QWidget::keyboardGrabber() == WidgetOf(*dlg.Window());
        Type(dlg, {kEsc, kEnter, kTab});
        stillOpen = dlg.Window()->InModalLoop() && dlg.Result() == 0;
        ClickAt(dlg, KeyMapAt::kOk);
    });
    EXPECT_EQ(Wire(dlg).DoModal(), DialogResult::kOk);
    EXPECT_TRUE(grabbedWhileOpen);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(stored, (std::vector<Stored>{{kAButton, 43}}));
    // The grab ends with the modal run, before the dialog is destroyed.
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST_F(KeyDialogs, ClosingByTheWindowManagerEndsTheRunAndTheGrab) {
    CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
    QTimer::singleShot(0, [&] { WidgetOf(*dlg.Window())->close(); });
    EXPECT_EQ(Wire(dlg).DoModal(), DialogResult::kCancel);
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    EXPECT_TRUE(NothingChosen());
}

TEST_F(KeyDialogs, KeySettingResultsReachTheModelThroughTheKeyAssignment) {
    // Q given its own usage: the factory code, not remapped.
    {
        CKeyMapSettingDlg dlg(Owner(), kQButton, "Q", 235, 235);
        Wire(dlg).Create();
        Type(dlg, {kQ});
        ClickAt(dlg, KeyMapAt::kOk);
    }
    EXPECT_EQ(model.Profile(0).Keys()[96], 235);
    // F3 given F1's usage does F1's function; A disabled.
    {
        CKeyMapSettingDlg dlg(Owner(), kF3Button, "F3", 194, 194);
        Wire(dlg).Create();
        Type(dlg, {59});  // F1
        ClickAt(dlg, KeyMapAt::kOk);
    }
    EXPECT_EQ(model.Profile(0).Keys()[129], 192);
    {
        CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
        Wire(dlg).Create();
        ClickAt(dlg, KeyMapAt::kDisableMode);
        ClickAt(dlg, KeyMapAt::kOk);
    }
    EXPECT_EQ(model.Profile(0).Keys()[48], 0);
    EXPECT_TRUE(model.pending.keyTablePending[0]);
}

// ---- Shortcut dialog -------------------------------------------------------

TEST_F(KeyDialogs, ShortcutOfTickedModifiersAndACapturedKey) {
    assign.RememberShortcutButton(kG2);
    CShortcutDlg dlg(Owner());
    Wire(dlg).Create();
    EXPECT_TRUE(dlg.Hook().IsRunning());
    ClickAt(dlg, ShortcutAt::kCtrl);
    ClickAt(dlg, ShortcutAt::kAlt);
    Type(dlg, {kA});
    EXPECT_EQ(TextOf(dlg, 2012), "A");
    ClickAt(dlg, ShortcutAt::kOk);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "Ctrl+Alt+A");
    EXPECT_EQ(records[0].b0, 6);
    EXPECT_EQ(records[0].b1, 5);
    EXPECT_EQ(records[0].b2, 4);
    EXPECT_EQ(dlg.Result(), DialogResult::kCancel);
    // Stored in G2 of the current profile.
    EXPECT_EQ(model.Profile(0).GKey(1)->action, (KeyAction{6, 5, 4}));
    EXPECT_EQ(model.Profile(0).GKey(1)->name, "Ctrl+Alt+A");
    EXPECT_TRUE(model.pending.keyTablePending[0]);
}

TEST_F(KeyDialogs, ShortcutOfModifiersAloneDropsTheTrailingPlus) {
    CShortcutDlg dlg(Owner());
    Wire(dlg).Create();
    ClickAt(dlg, ShortcutAt::kCtrl);
    ClickAt(dlg, ShortcutAt::kOk);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "Ctrl");
    EXPECT_EQ(records[0].b1, 1);
    EXPECT_EQ(records[0].b2, 0);
}

TEST_F(KeyDialogs, NoneDisablesAndOverridesTheModifiers) {
    CShortcutDlg dlg(Owner());
    Wire(dlg).Create();
    ClickAt(dlg, ShortcutAt::kCtrl);
    ClickAt(dlg, ShortcutAt::kNone);
    auto* ctrl = dynamic_cast<CCheckButton*>(dlg.FindControl(2006));
    EXPECT_TRUE(ctrl->IsDisabled());
    EXPECT_TRUE(ctrl->IsChecked());
    EXPECT_TRUE(dynamic_cast<CCheckButton*>(dlg.FindControl(2009))->IsDisabled());
    ClickAt(dlg, ShortcutAt::kShift);  // disabled: no tick
    EXPECT_FALSE(dynamic_cast<CCheckButton*>(dlg.FindControl(2008))->IsChecked());
    Type(dlg, {kWinL});
    ClickAt(dlg, ShortcutAt::kOk);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "Win_L");
    EXPECT_EQ(records[0].b1, 0);
    EXPECT_EQ(records[0].b2, 227);

    // Unticking None enables them again, ticks kept.
    CShortcutDlg again(Owner());
    Wire(again).Create();
    ClickAt(again, ShortcutAt::kWin);
    ClickAt(again, ShortcutAt::kNone);
    ClickAt(again, ShortcutAt::kNone);
    EXPECT_FALSE(dynamic_cast<CCheckButton*>(again.FindControl(2009))->IsDisabled());
    Type(again, {kB});
    ClickAt(again, ShortcutAt::kOk);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].text, "Win+B");
    EXPECT_EQ(records[1].b1, 8);
}

TEST_F(KeyDialogs, ShortcutWithNothingOrCancelledSendsNothing) {
    assign.RememberShortcutButton(kG2);
    {
        CShortcutDlg dlg(Owner());
        Wire(dlg).Create();
        ClickAt(dlg, ShortcutAt::kOk);
        EXPECT_EQ(dlg.Result(), DialogResult::kCancel);
    }
    for (Point p : {ShortcutAt::kCancel, ShortcutAt::kClose}) {
        CShortcutDlg dlg(Owner());
        Wire(dlg).Create();
        ClickAt(dlg, ShortcutAt::kShift);
        Type(dlg, {kA});
        ClickAt(dlg, p);
        EXPECT_EQ(dlg.Result(), DialogResult::kCancel);
    }
    EXPECT_TRUE(NothingChosen());
    EXPECT_EQ(model.pending, PendingWrites{});
    EXPECT_EQ(model.Profile(0).GKey(1)->action, (KeyAction{}));
}

// Keyboard only: the capture field takes every key, Esc included; the
// captured key moves the focus on to OK, and from there Tab, Enter and Esc
// act on the dialog. Tab back onto the field captures again.
TEST_F(KeyDialogs, EscIsAssignableAndTheKeyboardAloneLeavesEveryCaptureDialog) {
    constexpr int kStillOpen = -5;
    // Runs the dialog modally while `keys` are typed, one at a time.
    const auto run = [](CDlgBase& dlg, std::vector<std::pair<uint32_t, int>> keys) {
        QTimer::singleShot(0, [&dlg, keys] {
            for (const auto& [evdev, qtKey] : keys) {
                test::Tap(*dlg.Window(), evdev, qtKey);
                Application::ProcessEvents();
            }
            if (dlg.Result() == 0) dlg.EndDialog(kStillOpen);
        });
        return dlg.DoModal();
    };
    const std::pair<uint32_t, int> esc{kEsc, Qt::Key_Escape}, enter{kEnter, Qt::Key_Return},
        tab{kTab, Qt::Key_Tab}, backtab{kTab, Qt::Key_Backtab}, a{kA, Qt::Key_A};
    {
        CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
        EXPECT_EQ(run(Wire(dlg), {esc, tab, backtab, enter}), DialogResult::kOk);
        EXPECT_EQ(stored, (std::vector<Stored>{{kAButton, 41}})) << "Esc assigned";
    }
    {
        CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
        EXPECT_EQ(run(Wire(dlg), {enter, esc}), DialogResult::kCancel);
        EXPECT_EQ(dlg.KeyChoice(), 40) << "Enter captured, then Esc cancels";
    }
    {
        // Opened by Enter: that key's release reaches the dialog and is no choice.
        CKeyMapSettingDlg dlg(Owner(), kAButton, "A", 4, 4);
        QTimer::singleShot(0, [&dlg] {
            test::SendKey(*dlg.Window(), false, kEnter, Qt::Key_Return);
            Application::ProcessEvents();
            dlg.EndDialog(kStillOpen);
        });
        Wire(dlg).DoModal();
        EXPECT_EQ(dlg.KeyChoice(), 4) << "still A";
    }
    {
        CShortcutDlg dlg(Owner());
        EXPECT_EQ(run(Wire(dlg), {tab, backtab, a, enter}), DialogResult::kCancel);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].text, "A") << "Shift+Tab from OK captures again";
    }
    EXPECT_EQ(stored.size(), 1u);
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST_F(KeyDialogs, ShortcutDialogCapturesAltF4InsteadOfClosing) {
    CShortcutDlg dlg(Owner());
    QTimer::singleShot(0, [&] {
        ClickAt(dlg, ShortcutAt::kNone);
        test::SendKey(*dlg.Window(), true, kAltL, Qt::Key_Alt);
        test::SendKey(*dlg.Window(), true, kF4, Qt::Key_F4);
        Application::ProcessEvents();
        ClickAt(dlg, ShortcutAt::kOk);
    });
    Wire(dlg).DoModal();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "F4");
    EXPECT_EQ(records[0].b2, 61);
}

// ---- Quick-launch dialog ---------------------------------------------------

TEST_F(KeyDialogs, QuickLaunchSendsTheChosenProgram) {
    assign.RememberQuickLaunchButton(kG5);
    int asked = 0;
    CQuickLaunchDlg dlg(Owner(), [&](HostWindow* w) -> std::optional<std::string> {
        EXPECT_EQ(w, dlg.Window());
        return ++asked == 1 ? std::optional<std::string>("/usr/bin/xcalc") : std::nullopt;
    });
    Wire(dlg).Create();
    ClickAt(dlg, QuickAt::kBrowse);
    EXPECT_EQ(TextOf(dlg, 2013), "/usr/bin/xcalc");
    // Cancelling the file dialog keeps the earlier choice.
    ClickAt(dlg, QuickAt::kBrowse);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(dlg.FullPath(), "/usr/bin/xcalc");
    ClickAt(dlg, QuickAt::kOk);
    EXPECT_EQ(dlg.Result(), DialogResult::kCancel);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(paths[0], "/usr/bin/xcalc");
    EXPECT_EQ(records[0].text, "xcalc");
    EXPECT_EQ(records[0].b0, 7);
    EXPECT_EQ(records[0].b1, 0);
    EXPECT_EQ(records[0].b2, 0);
    const GKeySlot& g5 = *model.Profile(0).GKey(4);
    EXPECT_EQ(g5.action, (KeyAction{7, 0, 0}));
    EXPECT_EQ(g5.name, "xcalc");
    EXPECT_EQ(g5.launchPath, "/usr/bin/xcalc");
}

TEST_F(KeyDialogs, QuickLaunchWithoutAProgramOrCancelledSendsNothing) {
    assign.RememberQuickLaunchButton(kG5);
    {
        CQuickLaunchDlg dlg(Owner(), [](HostWindow*) { return std::nullopt; });
        Wire(dlg).Create();
        ClickAt(dlg, QuickAt::kBrowse);
        ClickAt(dlg, QuickAt::kOk);
    }
    for (Point p : {QuickAt::kCancel, QuickAt::kClose}) {
        CQuickLaunchDlg dlg(Owner(), [](HostWindow*) { return std::string("/bin/true"); });
        Wire(dlg).Create();
        ClickAt(dlg, QuickAt::kBrowse);
        ClickAt(dlg, p);
        EXPECT_EQ(dlg.Result(), DialogResult::kCancel);
    }
    EXPECT_TRUE(NothingChosen());
    EXPECT_EQ(model.pending, PendingWrites{});
}

}  // namespace
}  // namespace lumbra
