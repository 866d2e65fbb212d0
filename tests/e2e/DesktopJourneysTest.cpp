// SPDX-License-Identifier: GPL-3.0-or-later
// Journeys of Lumbra as a desktop citizen on a private X display with a
// notification area: started hidden by the session, brought up from the tray
// icon, and told to start at login through its context menu, with a private
// XDG_CONFIG_HOME.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "E2eSupport.h"

namespace lumbra::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kTrayIconSize = 22;  // the test notification area's corner
constexpr int kBackgroundX = 30, kBackgroundY = 590;

bool IsTrayIcon(const XWindow& w) {
    return w.width == kTrayIconSize && w.height == kTrayIconSize &&
           w.x == kScreenWidth - kTrayIconSize && w.y == kScreenHeight - kTrayIconSize;
}

class DesktopJourney : public E2eJourney {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(E2eJourney::SetUp());
        m_xdgConfig = m_dir + "xdg-config";
    }

    void StartLumbra(const std::vector<std::string>& extra) {
        std::vector<std::string> args = LumbraArguments(m_dir + "app/", false);
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<std::string> env = m_x.Environment();
        env.push_back("XDG_CONFIG_HOME=" + m_xdgConfig);
        ASSERT_TRUE(StartLumbraWith(args, env));
    }

    // Start-up ran through: the keyboard's three profiles were read.
    bool ReadBackDone() const { return WaitForReadBack(); }

    bool MainWindowShown() const {
        const auto windows = m_x.Windows(m_lumbra.Pid());
        return std::any_of(windows.begin(), windows.end(), IsMainWindow);
    }

    // Right-clicks the window's background and chooses the context menu's
    // last entry, "Start at login".
    void ChooseStartAtLogin(const XWindow& main) {
        // The right button on the background, away from every control.
        m_x.Xdotool({"mousemove", std::to_string(main.x + kBackgroundX),
                     std::to_string(main.y + kBackgroundY), "click", "3"});
        const auto menu = m_x.WaitForWindow(m_lumbra.Pid(), [](const XWindow& w) {
            return !IsMainWindow(w) && !IsTrayIcon(w) && w.height > 100;
        });
        ASSERT_TRUE(menu) << "no context menu";
        m_x.Click(menu->x + menu->width / 2, menu->y + menu->height - 8);
        ASSERT_TRUE(WaitWindowGone(*menu)) << "the menu stays";
    }

    std::string AutostartEntry() const { return m_xdgConfig + "/autostart/lumbra.desktop"; }

    std::string m_xdgConfig;
};

TEST_F(DesktopJourney, HiddenStartShowsOnlyTheTrayIconAndADoubleClickOnItShowsTheWindow) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra({"--hidden"}));
    const auto icon = m_x.WaitForWindow(m_lumbra.Pid(), IsTrayIcon);
    ASSERT_TRUE(icon) << "no tray icon";
    ASSERT_TRUE(ReadBackDone()) << "a hidden start reads the keyboard all the same";
    // Drawn: not the notification area's black.
    EXPECT_TRUE(WaitUntil([&] {
        const MeanColour drawn =
            Mean(Crop(m_x.Shot(), icon->x, icon->y, icon->width, icon->height));
        return drawn.red + drawn.green + drawn.blue > 30.0;
    })) << "the tray icon is not drawn";
    EXPECT_FALSE(MainWindowShown()) << "--hidden shows the window";
    EXPECT_TRUE(m_lumbra.Running());

    m_x.Xdotool({"mousemove", std::to_string(icon->x + kTrayIconSize / 2),
                 std::to_string(icon->y + kTrayIconSize / 2), "click", "--repeat", "2", "--delay",
                 "80", "1"});
    const auto main = m_x.WaitForWindow(m_lumbra.Pid(), IsMainWindow);
    ASSERT_TRUE(main) << "the tray icon does not show the window";
    m_x.MovePointer(1, 1);
    fs::create_directories(LUMBRA_E2E_SHOTS_DIR);
    m_x.Shot(std::string(LUMBRA_E2E_SHOTS_DIR) + "/hidden-start.png");
}

TEST_F(DesktopJourney, StartAtLoginWritesTheAutostartEntryAndTakesItBack) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra({}));
    const auto main = m_x.WaitForWindow(m_lumbra.Pid(), IsMainWindowInPlace);
    ASSERT_TRUE(main) << "no main window";
    ASSERT_TRUE(ReadBackDone());
    ASSERT_FALSE(fs::exists(AutostartEntry()));

    ASSERT_NO_FATAL_FAILURE(ChooseStartAtLogin(*main));
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(AutostartEntry()); })) << "no autostart entry";
    // The journey's program is not on PATH: the entry names it by its path.
    const auto lines = ReadLines(AutostartEntry());
    EXPECT_EQ(lines.at(0), "[Desktop Entry]");
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), std::string("Exec=") + LUMBRA_PROGRAM + " --hidden"),
        lines.end())
        << ReadFile(AutostartEntry());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Type=Application"), lines.end());
    // Nothing half-written is left beside it.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(m_xdgConfig + "/autostart"), fs::directory_iterator()),
        1);

    ASSERT_NO_FATAL_FAILURE(ChooseStartAtLogin(*main));
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(AutostartEntry()); }))
        << "the entry stays after the second choice";
    EXPECT_TRUE(m_lumbra.Running());
}

}  // namespace
}  // namespace lumbra::e2e
