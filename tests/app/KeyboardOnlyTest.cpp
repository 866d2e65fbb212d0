// SPDX-License-Identifier: GPL-3.0-or-later
// One journey through the real main window done twice, once with clicks and
// once with keys alone: Caps Lock remapped to Esc, a macro recorded from the
// keyboard and given to G1, the lighting changed, Apply. The keyboard sees
// the same reports either way.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <map>
#include <sstream>

#include "../keys/KeyEvents.h"
#include "AppTestSupport.h"
#include "keys/ButtonIds.h"
#include "keys/CKeyMapSettingDlg.h"
#include "ui/CWndPopup.h"

namespace lumbra::test {
namespace {

constexpr uint32_t kNew = 2100, kRecord = 2113, kCapsLock = 2258;
constexpr const char* kMacroName = "Typed";
constexpr size_t kColour = 1;  // the second item of the colour list

// Keys as the window system delivers them to the window that has the
// keyboard (or the box focused in it): "Shift+Tab*6 Home" is Shift+Tab six
// times, then Home. A press may close the window; its release then goes nowhere.
void Keys(HostWindow& w, const std::string& keys) {
    // The scan codes of the keys a capture or a recording sees.
    const std::map<int, uint32_t> evdev{{Qt::Key_Return, Evdev::kEnter},
                                        {Qt::Key_Escape, Evdev::kEsc},
                                        {Qt::Key_Space, 57},
                                        {Qt::Key_Pause, Evdev::kPause}};
    std::istringstream in(keys);
    for (std::string token; in >> token;) {
        const size_t star = token.find('*');
        const int times = star == std::string::npos ? 1 : std::stoi(token.substr(star + 1));
        const QKeyCombination key =
            QKeySequence::fromString(QString::fromStdString(token.substr(0, star)))[0];
        ASSERT_NE(key.key(), Qt::Key_unknown) << token;
        const auto code = evdev.find(key.key());
        for (int i = 0; i < times; ++i) {
            QPointer<QObject> target = KeyTarget(w);
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                if (target.isNull()) break;
                QKeyEvent e(type, key.key(), key.keyboardModifiers(),
                            code == evdev.end() ? 0 : code->second + 8, 0, 0, QString());
                QCoreApplication::sendEvent(target, &e);
                Application::ProcessEvents();
            }
        }
    }
}

void TypeName(HostWindow& w) {
    for (const char c : std::string(kMacroName))
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, Qt::Key_A + (std::toupper(c) - 'A'), {}, QString(QChar(c)));
            QCoreApplication::sendEvent(KeyTarget(w), &e);
        }
    Keys(w, "Return");
}

// The keys recorded into the macro, with their time stamps.
void TypeMacroKeys(HostWindow& w) {
    SendKey(w, true, Evdev::kA, Qt::Key_A, 1000);
    SendKey(w, false, Evdev::kA, Qt::Key_A, 1040);
    SendKey(w, true, Evdev::kB, Qt::Key_B, 1300);
    SendKey(w, false, Evdev::kB, Qt::Key_B, 1330);
    Application::ProcessEvents();
}

// The main window with an empty macro set; the key setting dialog is led
// by `keySetting`. The journey's end: what the keyboard was sent.
struct Journey {
    MainWindowRig rig;
    std::function<void(CDlgBase&)> keySetting;
    Journey() {
        rig.Start();
        MacroSet* set = rig.library.SetAt(0);
        while (set->MacroKeyNum() > 0) set->RemoveKey(0);
        rig.onModal = [this](CDlgBase& d) {
            EXPECT_NE(dynamic_cast<CKeyMapSettingDlg*>(&d), nullptr);
            keySetting(d);
            return d.Result();
        };
        rig.log.Clear();
    }
    HostWindow& Popup(PopupSlot slot) {
        CWndPopup* p = rig.dlg->Popup(slot);
        EXPECT_NE(p, nullptr);
        return p ? *p->Window() : rig.W();
    }
    uint32_t FocusId() const {
        const CControlBase* f = rig.dlg->FocusControl();
        return f ? f->Id() : 0u;
    }
};

std::vector<std::string> ByClicks() {
    Journey j;
    MainWindowRig& rig = j.rig;
    j.keySetting = [](CDlgBase& d) {
        Keys(*d.Window(), "Escape");
        Click(*d.Window(), 246, 240);  // OK
    };
    rig.ClickControl(kCapsLock);
    rig.ClickControl(MainId::kPage1Tab);
    rig.ClickControl(kNew);
    TypeName(rig.W());
    rig.Click(179, 225);  // its row
    rig.ClickControl(kRecord);
    TypeMacroKeys(rig.W());
    rig.ClickControl(kRecord);
    rig.ClickControl(MainId::kPage2Tab);
    rig.ClickControl(kFirstGKeyButtonId);
    const Rect item =
        rig.dlg->Popup(PopupSlot::kFunctionMenu)->Items()[0].rect;  // "Assign a Macro"
    Move(j.Popup(PopupSlot::kFunctionMenu), item.left + 5, item.top + 5);
    rig.ClickPopupItem(rig.dlg->Popup(PopupSlot::kMacroLibrary), kMacroName);
    rig.ClickControl(MainId::kPage3Tab);
    rig.ClickControl(MainId::kLightColor);
    CWndPopup* colours = rig.dlg->Popup(PopupSlot::kLightColor);
    rig.ClickPopupItem(colours, colours->Items()[kColour].text);
    rig.ClickControl(MainId::kApply);
    rig.Settle();
    return rig.log.Lines();
}

}  // namespace

// Caps Lock remapped to Esc, a macro recorded from the keyboard and given
// to G1, the lighting changed, Apply: by keys alone, the keyboard is sent
// what the clicks send.
TEST(KeyboardOnly, TheWholeJourneyByKeysSendsWhatTheClicksSend) {
    const std::vector<std::string> clicks = ByClicks();
    Journey j;
    MainWindowRig& rig = j.rig;
    HostWindow& w = rig.W();
    // Esc is captured and moves the focus to OK; Enter presses OK.
    j.keySetting = [](CDlgBase& d) { Keys(*d.Window(), "Escape Return"); };
    // The key picture is one Tab stop (on Esc); Down walks its rows.
    Keys(w, "Tab*7 Down*3");
    EXPECT_EQ(j.FocusId(), kCapsLock);
    Keys(w, "Return");
    // The page tabs are one stop; Right chooses the next page.
    Keys(w, "Tab*4 Right Tab*13");
    EXPECT_EQ(j.FocusId(), kNew);
    Keys(w, "Space");
    TypeName(w);
    // Home in the list selects the macro; Space on Record starts the
    // recording (its release is not recorded), Pause ends it.
    Keys(w, "Shift+Tab*6 Home Tab*2 Space");
    TypeMacroKeys(w);
    Keys(w, "Pause Tab*9 Right Tab*7");
    EXPECT_EQ(j.FocusId(), static_cast<uint32_t>(kFirstGKeyButtonId));
    Keys(w, "Alt+Down");
    // Down shows the macro library beside "Assign a Macro"; Right enters it.
    Keys(j.Popup(PopupSlot::kFunctionMenu), "Down Right");
    Keys(j.Popup(PopupSlot::kMacroLibrary), "Return");
    rig.Settle();
    Keys(w, "Tab*6 Right Tab*7 Return");
    Keys(j.Popup(PopupSlot::kLightColor), "Down Down Return");
    EXPECT_EQ(j.FocusId(), MainId::kLightColor) << "the focus is back on the drop-down";
    // Shift+F10 and the Menu key open the window's menu; closed, it runs nothing.
    Keys(w, "Shift+F10 Menu");
    EXPECT_EQ(rig.dialogs.menus.size(), 2u);
    Keys(w, "Tab*9");
    EXPECT_EQ(j.FocusId(), MainId::kApply);
    Keys(w, "Return");
    rig.Settle();
    EXPECT_EQ(rig.log.Lines(), clicks);
    EXPECT_EQ(rig.model.Profile(0).GKey(0)->name, kMacroName);
    EXPECT_EQ(rig.library.SetAt(0)->KeyAt(0)->ActionCount(), 7u) << "a, b and the pauses";
}

}  // namespace lumbra::test
