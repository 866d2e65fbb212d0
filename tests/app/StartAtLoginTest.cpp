// SPDX-License-Identifier: GPL-3.0-or-later
// Lumbra as the session starts it: the autostart entry behind "Start at
// login", and the hidden start.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "AppTestSupport.h"
#include "app/Autostart.h"
#include "platform/EditBox.h"

namespace lumbra::test {
namespace {

namespace fs = std::filesystem;

// A scratch folder with a program file and a folder that holds "lumbra".
struct ProgramFolders {
    ProgramFolders() {
        fs::create_directories(dir.path + "bin");
        fs::create_directories(dir.path + "build dir");
        program = dir.path + "build dir/lumbra";
        std::ofstream(program) << "#!/bin/sh\n";
        ::chmod(program.c_str(), 0755);
    }
    TempFolder dir;
    std::string program;
};

struct EntryCase {
    const char* what;
    std::optional<std::string> xdgConfigHome, home;
    std::string expectedFile;  // "" for none
};

TEST(Autostart, TheEntryLivesInTheAbsoluteXdgConfigHomeElseUnderHome) {
    const EntryCase cases[] = {
        {"XDG_CONFIG_HOME", "/x/cfg", "/home/u", "/x/cfg/autostart/lumbra.desktop"},
        {"trailing slash", "/x/cfg/", "/home/u", "/x/cfg/autostart/lumbra.desktop"},
        {"relative XDG_CONFIG_HOME", "cfg", "/home/u", "/home/u/.config/autostart/lumbra.desktop"},
        {"empty XDG_CONFIG_HOME", "", "/home/u", "/home/u/.config/autostart/lumbra.desktop"},
        {"HOME only", std::nullopt, "/home/u", "/home/u/.config/autostart/lumbra.desktop"},
        {"nothing", std::nullopt, std::nullopt, ""},
        {"relative HOME", std::nullopt, "home", ""},
    };
    for (const EntryCase& c : cases) {
        AutostartInputs in;
        in.xdgConfigHome = c.xdgConfigHome;
        in.home = c.home;
        EXPECT_EQ(ResolveAutostartEntry(in).file, c.expectedFile) << c.what;
    }
}

TEST(Autostart, ExecNamesLumbraWhenPathFindsThisProgramElseItsQuotedPath) {
    ProgramFolders f;
    AutostartInputs in;
    in.programPath = f.program;
    in.path = f.dir.path + "bin";
    // Not on PATH: by its path, quoted for the space in it.
    EXPECT_EQ(ResolveAutostartEntry(in).exec, "\"" + f.program + "\" --hidden");
    // Another lumbra first on PATH: still this one.
    const std::string other = f.dir.path + "bin/lumbra";
    std::ofstream(other) << "#!/bin/sh\n";
    ::chmod(other.c_str(), 0755);
    EXPECT_EQ(ResolveAutostartEntry(in).exec, "\"" + f.program + "\" --hidden");
    // PATH's lumbra is this program (through a link): by name.
    fs::remove(other);
    fs::create_symlink(f.program, other);
    EXPECT_EQ(ResolveAutostartEntry(in).exec, "lumbra --hidden");
    in.path = "/nonexistent::" + f.dir.path + "bin";
    EXPECT_EQ(ResolveAutostartEntry(in).exec, "lumbra --hidden");
    // A file that is not executable is not what a shell would run.
    ::chmod(f.program.c_str(), 0644);
    EXPECT_EQ(ResolveAutostartEntry(in).exec, "\"" + f.program + "\" --hidden");
}

TEST(Autostart, EnablingWritesTheEntryAndDisablingRemovesIt) {
    TempFolder dir;
    const AutostartEntry entry{dir.path + "cfg/autostart/lumbra.desktop", "lumbra --hidden", ""};
    EXPECT_FALSE(IsAutostartEnabled(entry));
    EXPECT_TRUE(SetAutostartEnabled(entry, false)) << "nothing to remove is no failure";
    ASSERT_TRUE(SetAutostartEnabled(entry, true));
    EXPECT_TRUE(IsAutostartEnabled(entry));
    const std::string text = ReadText(entry.file);
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(text.find("\nExec=lumbra --hidden\n"), std::string::npos);
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    ASSERT_TRUE(SetAutostartEnabled(entry, false));
    EXPECT_FALSE(IsAutostartEnabled(entry));
    EXPECT_FALSE(SetAutostartEnabled(AutostartEntry{}, true));
}

// Program folders whose names the entry must quote, escape or refuse, each
// checked and launched the way a session does. Only the program's folder is
// hostile: the commands below name just the scratch folder.
TEST(Autostart, EveryProgramPathGivesAnEntryThatStartsItOrIsRefused) {
    const std::string startable[] = {
        "with space",
        "dq\"uote",
        "sq'uote",
        "dollar$HOME",
        "back`id`tick",
        "semi;colon",
        "amp&",
        "star*",
        "paren()",
        "angle<>",
        "hash#",
        "back\\slash",
        "two\\\\slashes",
        "per%cent",
        "%i%%u",
        "eq=ual",
        "all $`\"\\%;&*'#~|?",
    };
    const std::string refused[] = {"nl\n", "nl2\nExec=/bin/false #", "tab\t", "del\x7f"};
    TempFolder dir;
    const std::string ran = dir.path + "ran", log = dir.path + "log";
    auto run = [&](const std::string& command) {
        return std::system((command + " >>'" + log + "' 2>&1").c_str());
    };
    if (run("gio version") != 0 || run("desktop-file-validate --help") != 0)
        GTEST_SKIP() << "needs gio and desktop-file-validate";
    AutostartInputs in;
    in.xdgConfigHome = dir.path + "cfg";
    const std::string entryFile = dir.path + "cfg/autostart/lumbra.desktop";
    for (const std::string& folder : startable) {
        fs::create_directories(dir.path + folder);
        in.programPath = dir.path + folder + "/lumbra";
        std::ofstream(in.programPath) << "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > '" << ran
                                      << ".part'\nmv '" << ran << ".part' '" << ran << "'\n";
        ::chmod(in.programPath.c_str(), 0755);
        const AutostartEntry entry = ResolveAutostartEntry(in);
        fs::remove(ran);
        ASSERT_TRUE(SetAutostartEnabled(entry, true)) << folder;
        EXPECT_EQ(run("desktop-file-validate '" + entryFile + "'"), 0) << folder << ReadText(log);
        EXPECT_EQ(run("gio launch '" + entryFile + "'"), 0) << folder << ReadText(log);
        for (int i = 0; i < 500 && !fs::exists(ran); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(ReadText(ran), in.programPath + "\n--hidden\n") << "Exec=" << entry.exec;
    }
    fs::remove(entryFile);
    for (const std::string& folder : refused) {
        in.programPath = dir.path + folder + "/lumbra";
        const AutostartEntry entry = ResolveAutostartEntry(in);
        EXPECT_EQ(entry.refusal, kControlCharacterRefusal) << folder;
        EXPECT_FALSE(SetAutostartEnabled(entry, true)) << folder;
        EXPECT_FALSE(fs::exists(entryFile)) << folder;
    }
}

std::optional<MenuItem> StartAtLoginItem(MainWindowRig& rig) {
    rig.dialogs.menus.clear();
    SendMouse(rig.W(), QEvent::MouseButtonRelease, 30, 590, Qt::RightButton, Qt::NoButton);
    if (rig.dialogs.menus.size() != 1 || rig.dialogs.menus[0].empty()) return std::nullopt;
    return rig.dialogs.menus[0].back();
}

TEST(MainWindowStartAtLogin, TheCheckItemFollowsTheEntryAndTogglesIt) {
    MainWindowRig rig;
    rig.Start();
    const std::string entry = rig.dir.path + "autostart/lumbra.desktop";
    auto item = StartAtLoginItem(rig);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->text, "Start at login");
    EXPECT_EQ(item->check, MenuItem::Check::kUnchecked);

    rig.dialogs.menuAnswer = item->command;
    StartAtLoginItem(rig);
    Application::ProcessEvents();
    ASSERT_TRUE(fs::exists(entry));
    EXPECT_NE(ReadText(entry).find("\nExec=lumbra --hidden\n"), std::string::npos);
    rig.dialogs.menuAnswer = 0;
    EXPECT_EQ(StartAtLoginItem(rig)->check, MenuItem::Check::kChecked);

    rig.dialogs.menuAnswer = item->command;
    StartAtLoginItem(rig);
    Application::ProcessEvents();
    EXPECT_FALSE(fs::exists(entry));
    rig.dialogs.menuAnswer = 0;
    EXPECT_EQ(StartAtLoginItem(rig)->check, MenuItem::Check::kUnchecked);
}

TEST(MainWindowStartAtLogin, ARefusedEntryIsSaidAndNothingIsWritten) {
    MainWindowRig rig;
    rig.autostart = {"", "", std::string(kControlCharacterRefusal)};
    rig.Start();
    rig.dialogs.menuAnswer = StartAtLoginItem(rig).value().command;
    StartAtLoginItem(rig);
    Application::ProcessEvents();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_NE(rig.dialogs.messages[0].find(kControlCharacterRefusal), std::string::npos);
    EXPECT_FALSE(fs::exists(rig.dir.path + "autostart"));
}

TEST(MainWindowStartAtLogin, AHiddenStartKeepsTheWindowInTheTrayOrMinimisedWithoutOne) {
    for (bool withTray : {true, false}) {
        MainWindowRig rig;
        rig.withTray = withTray;
        rig.startHidden = true;
        rig.Start();
        EXPECT_GE(rig.log.Count("get 06"), 3) << "the keyboard is read all the same";
        if (withTray) {
            EXPECT_TRUE(rig.tray.present);
            EXPECT_FALSE(rig.W().IsVisible());
            rig.tray.notify(kTrayLeftDoubleClick);
            Application::ProcessEvents();
            EXPECT_TRUE(rig.W().IsVisible());
        } else {
            EXPECT_TRUE(rig.W().IsVisible());
            EXPECT_TRUE(rig.W().IsMinimized());
        }
    }
}

TEST(MainWindowStartAtLogin, TheKeyboardIsAskedOnlyOnceTheWindowHasItsFirstFrame) {
    MainWindowRig rig;
    rig.Start(false);
    EXPECT_EQ(rig.log.Count("get "), 0) << "the keyboard holds up the first frame";
    EXPECT_TRUE(rig.W().IsVisible());
    rig.Settle();
    EXPECT_GE(rig.log.Count("get 06"), 3);
    EXPECT_TRUE(rig.dlg->Link().Found());
}

// The loop count's edit box is the first text of the window and sets up the
// fonts; the first frame shows no text and does not wait for it.
TEST(MainWindowStartAtLogin, TheEditBoxWaitsForTheFirstFrameAndAHiddenStartStillGetsIt) {
    for (bool hidden : {false, true}) {
        MainWindowRig rig;
        rig.startHidden = hidden;
        rig.Start(false);
        EXPECT_EQ(rig.dlg->LoopCountEdit(), nullptr) << hidden;
        rig.Settle();
        EditBox* edit = rig.dlg->LoopCountEdit();
        ASSERT_NE(edit, nullptr) << hidden;
        EXPECT_FALSE(edit->IsVisible()) << hidden;
        if (hidden) continue;
        rig.ClickControl(MainId::kPage1Tab);
        EXPECT_TRUE(edit->IsVisible());
        rig.ClickControl(MainId::kPage0Tab);
        EXPECT_FALSE(edit->IsVisible());
    }
}

}  // namespace
}  // namespace lumbra::test
