// SPDX-License-Identifier: GPL-3.0-or-later
// The main window against input it must not trust: a keyboard that comes and
// goes while its message is open, a profile number that names no slot, and
// the modality of the dialogs it runs.

#include <gtest/gtest.h>

#include <QApplication>

#include "AppTestSupport.h"
#include "app/ModalDialogs.h"
#include "base/UiDispatcher.h"
#include "platform/HostWidget.h"
#include "storage/TextFile.h"
#include "ui/CTabControl.h"

namespace lumbra::test {
namespace {

constexpr const char* kDisconnected = "Attention!|The keyboard is disconnected.Please connect.";

TEST(MainWindowGuards, RemovalsWhileTheMessageIsOpenAddNoSecondMessage) {
    MainWindowRig rig;
    rig.Start();
    ASSERT_TRUE(rig.dlg->Link().Found());
    // A flaky hub: three more plug and unplug cycles before anyone answers.
    rig.dialogs.whileMessageOpen = [&rig] {
        if (rig.dialogs.messages.size() > 1) return;  // no further cycles from a nested one
        for (int cycle = 0; cycle < 3; ++cycle) {
            rig.sim->Plug();
            rig.Settle();
            rig.sim->Unplug();
            rig.Settle();
        }
    };
    rig.sim->Unplug();
    rig.Settle();
    EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{kDisconnected});
    EXPECT_FALSE(rig.dlg->Link().Found());

    // Once answered, the next removal says it again.
    rig.dialogs.whileMessageOpen = nullptr;
    rig.sim->Plug();
    rig.Settle();
    ASSERT_TRUE(rig.dlg->Link().Found());
    rig.sim->Unplug();
    rig.Settle();
    EXPECT_EQ(rig.dialogs.messages, (std::vector<std::string>{kDisconnected, kDisconnected}));
}

TEST(MainWindowGuards, AProfileNumberOutsideTheSlotsIsProfileZeroAlsoOnTheKeyboard) {
    for (const char* stored : {"300", "-1", "5"}) {
        SCOPED_TRACE(stored);
        MainWindowRig rig;
        std::string ini = std::string("[Setting]\r\nCurrentProfile=") + stored + "\r\n";
        for (int s = 0; s < 5; ++s)
            ini += "ProfileSlot" + std::to_string(s) + "URL=" + rig.dir.path + "config/default" +
                   std::to_string(s) + ".psf\r\n";
        ASSERT_TRUE(WriteFileAtomically(rig.dir.path + "config/config.ini", ini));
        // The keyboard's profile read fails, so the file's number stays.
        rig.sim->FailNext(SimFault::kGet, 1);
        rig.Start();
        ASSERT_TRUE(rig.dlg->Link().Found());
        EXPECT_EQ(rig.model.settings.Value(0), stored);
        EXPECT_EQ(rig.dlg->CurrentProfileNumber(), 0);
        EXPECT_TRUE(
            dynamic_cast<CTabControl&>(*rig.dlg->FindControl(MainId::kProfile1)).IsSelected())
            << "the profile tabs show profile 1";

        rig.log.Clear();
        rig.ClickControl(MainId::kApply);
        EXPECT_EQ(rig.log.Sets(), std::vector<std::string>{"set 05 03 00"});
        EXPECT_EQ(rig.sim->State().currentProfile, 0);
        EXPECT_NE(ReadText(rig.Config("config.ini")).find("CurrentProfile=0\r\n"),
                  std::string::npos);
    }
}

// Every dialog the main window runs through its dialogs is modal from the
// moment it first shows: the system ignores a modality given to a window that
// shows already, and the main window would then go on taking clicks.
TEST(MainWindowGuards, TheMainWindowsDialogsAreModalWhenTheyFirstShow) {
    MainWindowRig rig;
    rig.Start();
    ModalDialogs dialogs;
    struct Seen {
        bool modalAtShow = false;
        bool blocksTheMainWindow = false;
    };
    std::vector<Seen> seen;
    dialogs.SetOpenedObserver([&](CDlgBase& dialog) {
        QWidget* widget = WidgetOf(*dialog.Window());
        const bool modalAtShow = widget && widget->isVisible() && dialog.Window()->IsModal();
        // The modal run starts after this call: look once it runs, then end it.
        TheUiDispatcher().Post([&seen, &rig, &dialog, widget, modalAtShow] {
            seen.push_back(
                {modalAtShow, QApplication::activeModalWidget() == widget && rig.W().IsVisible()});
            dialog.EndDialog(DialogResult::kCancel);
        });
    });
    ProfilePrograms programs;
    std::string name = "Default1";
    dialogs.Message(rig.dlg->Window(), "Attention!", "text");
    dialogs.ConfirmReset(rig.dlg->Window(), kResetProfilePicture);
    dialogs.EditProfile(rig.dlg->Window(), name, programs);
    ASSERT_EQ(seen.size(), 3u);
    for (const Seen& s : seen) {
        EXPECT_TRUE(s.modalAtShow);
        EXPECT_TRUE(s.blocksTheMainWindow);
    }
}

}  // namespace
}  // namespace lumbra::test
