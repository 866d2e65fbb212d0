// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window shows of its state (changes pending, a write that
// ended, the profile being edited) and the question asked at the user's Exit.

#include <gtest/gtest.h>

#include "AppTestSupport.h"

namespace lumbra::test {
namespace {

constexpr const char* kGoodbye = "set 05 03 07";

// Apply's corner, where the mark of pending changes is drawn.
constexpr int kMarkX = 683 + 46 - 6;
constexpr int kMarkY = 105;
constexpr Color kMarkColor = Rgb(0xFF, 0xB3, 0x40);

bool MarkOnApply(MainWindowRig& rig) {
    Application::ProcessEvents();
    return rig.W().Render().PixelColor(kMarkX, kMarkY) == kMarkColor;
}

TEST(WindowState, PendingChangesSentConfirmationAndTheProfileAreShown) {
    MainWindowRig rig;
    rig.Start();
    WindowStateShown shown = rig.dlg->StateShown();
    EXPECT_FALSE(shown.pending);
    EXPECT_FALSE(shown.sent);
    EXPECT_FALSE(MarkOnApply(rig));

    rig.dlg->Commands().SetLightMode(2);
    EXPECT_TRUE(rig.dlg->StateShown().pending);
    EXPECT_TRUE(MarkOnApply(rig));

    rig.ClickControl(MainId::kApply);
    shown = rig.dlg->StateShown();
    EXPECT_FALSE(shown.pending);
    EXPECT_TRUE(shown.sent) << "the end of the write is confirmed";
    EXPECT_FALSE(MarkOnApply(rig));

    // Profiles 4 and 5 have no tab: the header names them. Their changes are
    // never sent, and once Apply has saved them nothing is pending.
    rig.dlg->Commands().ChooseBaseProfile(3);
    rig.model.Profile(3).SetPairValue(KeyboardProfile::kProfileNamePair, "Racing");
    EXPECT_EQ(ProfileLine(rig.dlg->StateShown().profile, rig.dlg->StateShown().profileName),
              "Editing profile 4: Racing");
    rig.dlg->Commands().SetLightMode(3);
    EXPECT_TRUE(rig.dlg->StateShown().pending);
    rig.ClickControl(MainId::kApply);
    EXPECT_FALSE(rig.dlg->StateShown().pending);
    EXPECT_FALSE(rig.dlg->Commands().Session()->Busy());
}

enum class ExitBy { kTrayMenu, kCloseWithoutTray, kWindowManagerWithoutTray, kSignal };

struct ExitCase {
    const char* name;
    ExitBy by;
    bool pending;
    ExitAnswer answer;
    bool signalWhileAsked;
    bool asked;
    bool closed;
    bool sent;  // the pending lighting reached the keyboard
};

constexpr ExitCase kExitCases[] = {
    {"nothing pending", ExitBy::kTrayMenu, false, ExitAnswer::kCancel, false, false, true, false},
    {"send", ExitBy::kTrayMenu, true, ExitAnswer::kSend, false, true, true, true},
    {"discard", ExitBy::kTrayMenu, true, ExitAnswer::kDiscard, false, true, true, false},
    {"cancel", ExitBy::kTrayMenu, true, ExitAnswer::kCancel, false, true, false, false},
    {"close, no tray", ExitBy::kCloseWithoutTray, true, ExitAnswer::kCancel, false, true, false,
     false},
    {"window manager, no tray", ExitBy::kWindowManagerWithoutTray, true, ExitAnswer::kSend, false,
     true, true, true},
    {"a signal never asks", ExitBy::kSignal, true, ExitAnswer::kSend, false, false, true, false},
    {"a signal while asked wins", ExitBy::kTrayMenu, true, ExitAnswer::kSend, true, true, true,
     false},
};

TEST(WindowState, TheUsersExitAsksWhetherToSendPendingChanges) {
    for (const ExitCase& c : kExitCases) {
        SCOPED_TRACE(c.name);
        MainWindowRig rig;
        rig.withTray = c.by == ExitBy::kTrayMenu;
        rig.Start();
        // On a loaded machine the keyboard may be asked only after a while.
        for (int i = 0; i < 300 && !rig.dlg->Commands().KeyboardStarted(); ++i) {
            Application::ProcessEventsFor(5);
            rig.Idle();
        }
        if (c.pending) rig.dlg->Commands().SetLightMode(2);
        rig.dialogs.exitAnswer = c.answer;
        if (c.signalWhileAsked) rig.dialogs.whileExitQuestionOpen = [&rig] { rig.dlg->Exit(); };
        rig.log.Clear();
        switch (c.by) {
            case ExitBy::kTrayMenu:
                rig.tray.command(MainCommand::kExit);
                break;
            case ExitBy::kCloseWithoutTray:
                rig.ClickControl(MainId::kClose);
                break;
            case ExitBy::kWindowManagerWithoutTray:
                EXPECT_FALSE(rig.dlg->OnCloseRequest());
                break;
            case ExitBy::kSignal:
                rig.dlg->Exit();
                break;
        }
        for (int i = 0; i < 100 && !rig.closed; ++i) Application::ProcessEventsFor(5);
        rig.Settle();
        EXPECT_EQ(rig.dialogs.exitQuestions, c.asked ? 1 : 0);
        EXPECT_EQ(rig.closed, c.closed);
        int sets = 0;
        for (const std::string& l : rig.log.Sets())
            if (l != kGoodbye) ++sets;
        EXPECT_EQ(sets > 0, c.sent);
        EXPECT_EQ(rig.dlg->StateShown().pending, c.pending && !c.sent);
    }
}

}  // namespace
}  // namespace lumbra::test
