// SPDX-License-Identifier: GPL-3.0-or-later
// The message, reset and edit-profile dialogs, run modally and answered by
// synthetic clicks on their buttons.

#include <gtest/gtest.h>

#include <QKeyEvent>

#include "../platform/MouseEvents.h"
#include "app/CAttentionDlg.h"
#include "app/CEditProfileDlg.h"
#include "app/CFirmwareResetDlg.h"
#include "app/MainWindowMessages.h"
#include "app/ModalDialogs.h"
#include "base/UiDispatcher.h"
#include "platform/Application.h"
#include "platform/EditBox.h"
#include "ui/CStaticText.h"

namespace lumbra::test {
namespace {

struct Point2 {
    int x;
    int y;
};

// Runs one of ModalDialogs' calls while a click at `at` answers the dialog.
template <typename Call>
int AnswerWithClick(Point2 at, Call call, std::function<void(CDlgBase&)> before = nullptr) {
    ModalDialogs dialogs;
    dialogs.SetOpenedObserver([at, before](CDlgBase& dlg) {
        HostWindow* w = dlg.Window();
        TheUiDispatcher().Post([w, at, before, &dlg] {
            if (before) before(dlg);
            Click(*w, at.x, at.y);
        });
    });
    return call(dialogs);
}

TEST(AttentionDialog, OkGivesOkAndCancelOrCloseGiveCancel) {
    const auto message = [](ModalDialogs& d) { return d.Message(nullptr, "Attention!", "Text"); };
    EXPECT_EQ(AnswerWithClick({273, 241}, message), DialogResult::kOk);
    EXPECT_EQ(AnswerWithClick({323, 241}, message), DialogResult::kCancel);
    EXPECT_EQ(AnswerWithClick({378, 19}, message), DialogResult::kCancel);
}

TEST(AttentionDialog, ShowsTitleAndTextInTheirPlaces) {
    CAttentionDlg dlg("Attention!", "The keyboard is disconnected.Please connect.", nullptr);
    dlg.Create();
    auto* title = dynamic_cast<CStaticText*>(dlg.FindControl(2012));
    auto* text = dynamic_cast<CStaticText*>(dlg.FindControl(2013));
    ASSERT_NE(title, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(title->String(), "Attention!");
    EXPECT_EQ(text->String(), "The keyboard is disconnected.Please connect.");
    EXPECT_EQ(text->GetRect(), (Rect{2, 127, 400, 147}));
    EXPECT_EQ(dlg.Window()->ClientRect(), (Rect{0, 0, 400, 270}));
}

TEST(ResetDialog, OnlyItsOkButtonConfirms) {
    for (int picture : {kResetProfilePicture, kResetAllPicture}) {
        const auto confirm = [picture](ModalDialogs& d) {
            return d.ConfirmReset(nullptr, picture);
        };
        EXPECT_EQ(AnswerWithClick({273, 241}, confirm), DialogResult::kOk) << picture;
        EXPECT_EQ(AnswerWithClick({323, 241}, confirm), DialogResult::kCancel) << picture;
    }
    // No close button: a click where the message dialog has one does nothing.
    CFirmwareResetDlg dlg(kResetAllPicture, nullptr);
    dlg.Create();
    Click(*dlg.Window(), 378, 19);
    EXPECT_EQ(dlg.Result(), 0);
    EXPECT_EQ(dlg.FindControl(2004), nullptr);
}

TEST(EditProfileDialog, OkReturnsTheTypedNameAndTheBrowsedPrograms) {
    CEditProfileDlg dlg("Profile 1", ProfilePrograms{{"", "/bin/old", ""}}, nullptr);
    dlg.SetBrowser([](HostWindow*) { return std::optional<std::string>("/usr/bin/racer"); });
    dlg.Create();
    ASSERT_NE(dlg.NameEdit(), nullptr);
    EXPECT_EQ(dlg.NameEdit()->Text(), "Profile 1");
    dlg.NameEdit()->SetText("Racing");
    Click(*dlg.Window(), 316, 145);  // browse for program 1
    Click(*dlg.Window(), 316, 185);  // browse for program 3
    auto* path1 = dynamic_cast<CStaticText*>(dlg.FindControl(2013));
    ASSERT_NE(path1, nullptr);
    EXPECT_EQ(path1->String(), "/usr/bin/racer");
    Move(*dlg.Window(), 40, 323);
    Click(*dlg.Window(), 40, 323);  // OK
    EXPECT_EQ(dlg.Result(), DialogResult::kOk);
    EXPECT_EQ(dlg.Name(), "Racing");
    EXPECT_EQ(dlg.Programs().paths,
              (std::array<std::string, 3>{"/usr/bin/racer", "/bin/old", "/usr/bin/racer"}));
}

TEST(EditProfileDialog, EachClearButtonRemovesItsProgramOnly) {
    const std::array<std::string, 3> chosen{"/usr/bin/one", "/usr/bin/two", "/usr/bin/three"};
    for (int k = 0; k < 3; ++k) {
        CEditProfileDlg dlg("P", ProfilePrograms{chosen}, nullptr);
        dlg.Create();
        const int y = 145 + 20 * k;
        Click(*dlg.Window(), 339, y);
        std::array<std::string, 3> expected = chosen;
        expected[static_cast<size_t>(k)].clear();
        auto* text = dynamic_cast<CStaticText*>(dlg.FindControl(k == 0 ? 2013 : 2015 + k));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->String(), "") << k;
        Click(*dlg.Window(), 339, y);  // clearing an empty program keeps it empty
        Move(*dlg.Window(), 40, 323);
        Click(*dlg.Window(), 40, 323);  // OK
        EXPECT_EQ(dlg.Result(), DialogResult::kOk);
        EXPECT_EQ(dlg.Programs().paths, expected) << k;
    }
}

TEST(EditProfileDialog, MissingProgramsAreGreyedAndTheDesktopLimitIsSaid) {
    constexpr Color kWhite = Rgb(255, 255, 255), kGrey = Rgb(128, 128, 128);
    CEditProfileDlg dlg("P", ProfilePrograms{{"/bin/sh", "/no/such/game", ""}}, nullptr);
    dlg.SetBrowser([](HostWindow*) { return std::optional<std::string>("/no/such/tool"); });
    dlg.Create();
    const auto text = [&](uint32_t id) { return dynamic_cast<CStaticText*>(dlg.FindControl(id)); };
    ASSERT_NE(text(2013), nullptr);
    EXPECT_EQ(text(2013)->TextColor(), kWhite);
    EXPECT_EQ(text(2016)->TextColor(), kGrey);
    EXPECT_EQ(text(2017)->TextColor(), kWhite);
    Click(*dlg.Window(), 316, 185);  // browse for program 3: a path that is not there
    EXPECT_EQ(text(2017)->TextColor(), kGrey);
    Click(*dlg.Window(), 339, 165);  // clear program 2
    EXPECT_EQ(text(2016)->TextColor(), kWhite);
    // Nobody told the dialog what the desktop shows.
    ASSERT_NE(text(2021), nullptr);
    EXPECT_EQ(text(2021)->String(), "Programs are not followed on this desktop.");
}

TEST(EditProfileDialog, OnGnomeTheNoteEnablesTheExtensionForTheNextLogin) {
    for (const bool works : {true, false}) {
        CEditProfileDlg dlg("P", ProfilePrograms{}, nullptr);
        dlg.SetFollowCoverage(FollowCoverage::kX11OnlyNeedsExtension);
        int calls = 0;
        dlg.SetExtensionEnabler([&](std::string* error) {
            ++calls;
            *error = "every extension is turned off";
            return works;
        });
        dlg.Create();
        auto* note = dynamic_cast<CStaticText*>(dlg.FindControl(2021));
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->String(),
                  "Only X11 programs are followed. Click to enable the Lumbra extension.");
        Click(*dlg.Window(), 100, 213);
        Click(*dlg.Window(), 100, 213);  // said once: a second click does nothing
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(note->String(),
                  works
                      ? "The Lumbra extension is enabled: it works after you log in again."
                      : "The Lumbra extension could not be enabled: every extension is turned off");
    }
}

TEST(EditProfileDialog, CancelAndCloseLeaveTheCallersValues) {
    for (Point2 at : {Point2{120, 323}, Point2{507, 15}}) {
        std::string name = "Keep";
        ProfilePrograms programs{{"/a", "", ""}};
        const int code = AnswerWithClick(
            at,
            [&](ModalDialogs& d) {
                return d.EditProfile(nullptr, name, programs, FollowCoverage::kEverything);
            },
            [](CDlgBase& dlg) {
                static_cast<CEditProfileDlg&>(dlg).NameEdit()->SetText("Changed");
            });
        EXPECT_EQ(code, DialogResult::kCancel);
        EXPECT_EQ(name, "Keep");
        EXPECT_EQ(programs.paths[0], "/a");
    }
}

// Enter is OK and Esc is Cancel in every dialog; in edit-profile they pass
// through the focused name box, which has no use for them.
TEST(DialogKeys, EnterIsOkAndEscIsCancelInEveryDialog) {
    const auto answer = [](int qtKey, auto call) {
        ModalDialogs dialogs;
        dialogs.SetOpenedObserver([qtKey](CDlgBase& dlg) {
            HostWindow* w = dlg.Window();
            TheUiDispatcher().Post([w, qtKey, &dlg] {
                if (auto* edit = dynamic_cast<CEditProfileDlg*>(&dlg)) edit->NameEdit()->Focus();
                QWidget* target = WidgetOf(*w)->focusWidget();
                if (!target) target = WidgetOf(*w);
                QKeyEvent e(QEvent::KeyPress, qtKey, Qt::NoModifier);
                QCoreApplication::sendEvent(target, &e);
                if (dlg.Result() == 0) dlg.EndDialog(-5);
            });
        });
        return call(dialogs);
    };
    std::string name = "Name";
    ProfilePrograms programs;
    const std::vector<std::pair<const char*, std::function<int(ModalDialogs&)>>> dialogs{
        {"message", [](ModalDialogs& d) { return d.Message(nullptr, "Attention!", "Text"); }},
        {"reset", [](ModalDialogs& d) { return d.ConfirmReset(nullptr, kResetAllPicture); }},
        {"edit-profile",
         [&](ModalDialogs& d) {
             return d.EditProfile(nullptr, name, programs, FollowCoverage::kEverything);
         }},
    };
    for (const auto& [what, call] : dialogs) {
        EXPECT_EQ(answer(Qt::Key_Return, call), DialogResult::kOk) << what;
        EXPECT_EQ(answer(Qt::Key_Escape, call), DialogResult::kCancel) << what;
    }
}

}  // namespace
}  // namespace lumbra::test
