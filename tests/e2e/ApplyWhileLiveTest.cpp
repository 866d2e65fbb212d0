// SPDX-License-Identifier: GPL-3.0-or-later
// A long Apply through the real lumbra program on a private X display: every
// G key of the three on-board profiles is given a macro through its function
// menu, then Apply sends about 6.3 s of reports and pauses. Meanwhile the
// window must stay alive: a key button lights up under the pointer, the
// window follows a drag, and the progress strip shows. The trace must hold
// the flush exactly, with every pause the keyboard needs.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "E2eSupport.h"

namespace lumbra::e2e {
namespace {

namespace fs = std::filesystem;

// The main window's controls beside the ones every journey uses, in its
// client coordinates.
constexpr Box kProgressStrip{432, 590, 297, 18};
// A place on the window's background, away from every control: a press there
// moves the window.
constexpr Box kBackground{40, 40, 2, 2};
constexpr int kProfiles = 3, kGKeys = 5;
constexpr uint8_t kKeyTableId = 0x06, kMacroId = 0x08, kProfileId = 0x05;
constexpr size_t kKeyTableLength = 184, kMacroLength = 226;
// What the keyboard needs after each set before the next.
constexpr int kLongPauseMs = 350;

// The macro the test gives G(g+1) of profile p+1.
std::string MacroName(int profile, int g) {
    return "P" + std::to_string(profile + 1) + "G" + std::to_string(g + 1);
}

// A library of one set with a macro for every G key of every on-board
// profile, each pressing and releasing one key, in the library file's layout.
void WriteLibrary(const std::string& file) {
    std::string actions = "4100000041800000";
    actions.resize(1600, '0');
    std::string text = "[MacroLibrary]\r\nMacroSetNum=1\r\n\tMacroSet0Name=Keyboard Macro Set\r\n";
    text += "\t\tMacroKeyNum=" + std::to_string(kProfiles * kGKeys) + "\r\n";
    for (int i = 0; i < kProfiles * kGKeys; ++i) {
        const std::string tag = "MacroKey" + std::to_string(i);
        text += "\t\t" + tag + "Name=" + MacroName(i / kGKeys, i % kGKeys) + "\r\n";
        text += "\t\t\t" + tag + "LoopEnable=1\r\n\t\t\t" + tag + "LoopNum=1\r\n";
        text += "\t\t\tMacroActionNum=2\r\n\t\t\tMacroCommandActionNum=2\r\n";
        text += "\t\t\tAllAction=" + actions + "\r\n";
    }
    std::ofstream(file, std::ios::binary) << text;
}

// A set the keyboard was sent, with the time the simulator took it.
struct SentReport {
    long ms;
    std::vector<uint8_t> bytes;
};

class ApplyWhileLive : public E2eJourney {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(E2eJourney::SetUp());
        m_config = m_dir + "app/config/";
        fs::create_directories(m_config);
        WriteLibrary(m_config + "MacroLibraryFile.mlf");
    }

    std::optional<XWindow> MainWindow() const {
        for (const XWindow& w : m_x.Windows(m_lumbra.Pid()))
            if (IsMainWindow(w)) return w;
        return std::nullopt;
    }

    std::optional<XWindow> WaitForWidth(int width) const {
        return m_x.WaitForWindow(m_lumbra.Pid(),
                                 [width](const XWindow& w) { return w.width == width; });
    }

    // G(g+1)'s function menu, "Assign a Macro", then the macro's row in the
    // list that opens beside it.
    void AssignMacro(int g, int macroRow) {
        Click(kGKeyButtons[g]);
        const auto menu = WaitForWidth(kFunctionMenuWidth);
        ASSERT_TRUE(menu) << "no function menu for G" << g + 1;
        m_x.MovePointer(menu->x + kFunctionMenuWidth / 2, menu->y + RowY(0));
        m_x.MovePointer(menu->x + kFunctionMenuWidth / 2 + 4, menu->y + RowY(0));
        const auto macros = WaitForWidth(kMacroListWidth);
        ASSERT_TRUE(macros) << "no macro list for G" << g + 1;
        m_x.Click(macros->x + kMacroListWidth / 2, macros->y + RowY(macroRow));
        ASSERT_TRUE(WaitWindowGone(*menu));
        ASSERT_TRUE(WaitWindowGone(*macros));
    }

    // The sets sent since the trace held `from` lines.
    std::vector<SentReport> SetsSince(size_t from) const {
        std::vector<SentReport> out;
        const auto trace = ReadTrace(m_trace);
        for (size_t i = from; i < trace.size(); ++i) {
            EXPECT_EQ(trace[i].op, "set") << "only sets during the flush: " << trace[i].text;
            EXPECT_FALSE(trace[i].failed) << trace[i].text;
            out.push_back({std::stol(trace[i].text), trace[i].bytes});
        }
        return out;
    }
    bool FlushDone(size_t from) const {
        const auto trace = ReadTrace(m_trace);
        return std::any_of(trace.begin() + static_cast<long>(std::min(from, trace.size())),
                           trace.end(), [](const TraceLine& l) {
                               return l.op == "set" && !l.bytes.empty() && l.bytes[0] == kProfileId;
                           });
    }

    std::string m_config;
};

TEST_F(ApplyWhileLive, FifteenMacrosFlushWhileTheWindowHoversMovesAndShowsProgress) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    // The profile tabs are on the Keys page.
    for (int p = 0; p < kProfiles; ++p) {
        Click(kKeysTab);
        Click(kProfileTabs[p]);
        Click(kGKeysTab);
        for (int g = 0; g < kGKeys; ++g) ASSERT_NO_FATAL_FAILURE(AssignMacro(g, p * kGKeys + g));
    }
    // The pictures of an idle window, on the Keys page, with nothing hovered.
    Click(kKeysTab);
    PointerAway();
    QImage idle;
    ASSERT_TRUE(WaitUntil([&] {
        idle = m_x.Shot();
        return Mean(Client(idle, m_origin, kKeysTab)).blue > 130;
    })) << "the Keys page";
    const QImage sIdle = Client(idle, m_origin, kSKey);
    const QImage stripIdle = Client(idle, m_origin, kProgressStrip);

    const size_t traceStart = ReadTrace(m_trace).size();
    Click(kApply);
    ASSERT_TRUE(WaitUntil([&] { return ReadTrace(m_trace).size() > traceStart; }))
        << "Apply sends nothing";

    // Dragged by its background to a new place.
    const int fromX = m_origin.x + kBackground.Cx(), fromY = m_origin.y + kBackground.Cy();
    m_x.Xdotool({"mousemove", std::to_string(fromX), std::to_string(fromY), "mousedown", "1"});
    for (int step = 1; step <= 4; ++step) m_x.MovePointer(fromX - 20 * step, fromY - 10 * step);
    m_x.Xdotool({"mouseup", "1"});
    std::optional<XWindow> moved;
    ASSERT_TRUE(WaitUntil([&] {
        moved = MainWindow();
        return moved && moved->x == m_origin.x - 80 && moved->y == m_origin.y - 40;
    })) << "the window does not follow the drag; it is at "
        << (moved ? moved->x : -1) << "," << (moved ? moved->y : -1) << " from " << m_origin.x
        << "," << m_origin.y;
    EXPECT_FALSE(FlushDone(traceStart)) << "the drag came after the flush";

    // Hovered: S is drawn framed, and the progress strip shows.
    m_x.MovePointer(moved->x + kSKey.Cx(), moved->y + kSKey.Cy());
    QImage live;
    ASSERT_TRUE(WaitUntil([&] {
        live = m_x.Shot();
        return Client(live, *moved, kSKey) != sIdle &&
               Client(live, *moved, kProgressStrip) != stripIdle;
    })) << "no hover frame or no progress strip while Apply runs";
    EXPECT_FALSE(FlushDone(traceStart)) << "the picture came after the flush";
    fs::create_directories(LUMBRA_E2E_SHOTS_DIR);
    EXPECT_TRUE(
        live.save(QString::fromStdString(std::string(LUMBRA_E2E_SHOTS_DIR) + "/apply-live.png")));

    // Once the flush ends the strip goes and the files are written.
    ASSERT_TRUE(WaitUntil([&] { return FlushDone(traceStart); }));
    PointerAway();
    EXPECT_TRUE(WaitUntil([&] { return Client(m_x.Shot(), *moved, kProgressStrip) == stripIdle; }))
        << "the progress strip stays after the flush";
    EXPECT_TRUE(WaitUntil([&] {
        return ReadFile(m_config + "default2.psf").find("Key4Name=P3G5") != std::string::npos;
    }));

    // The flush: the three key tables, the fifteen macros in profile and G-key
    // order, then the current profile; each long set followed by its pause.
    const auto sets = SetsSince(traceStart);
    ASSERT_EQ(sets.size(), static_cast<size_t>(kProfiles + kProfiles * kGKeys + 1));
    for (int p = 0; p < kProfiles; ++p) {
        const std::vector<uint8_t>& table = sets[static_cast<size_t>(p)].bytes;
        ASSERT_EQ(table.size(), kKeyTableLength) << p;
        EXPECT_EQ(table[0], kKeyTableId) << p;
        EXPECT_EQ(table[2], p) << "the key table's profile";
        for (int g = 0; g < kGKeys; ++g)
            EXPECT_EQ(table[168 + 3 * static_cast<size_t>(g)], 0x01)
                << p << " G" << g + 1 << " plays a macro";
    }
    for (int i = 0; i < kProfiles * kGKeys; ++i) {
        const std::vector<uint8_t>& macro = sets[static_cast<size_t>(kProfiles + i)].bytes;
        ASSERT_EQ(macro.size(), kMacroLength) << i;
        EXPECT_EQ(macro[0], kMacroId) << i;
        EXPECT_EQ(macro[2], i / kGKeys) << "profile of macro " << i;
        EXPECT_EQ(macro[3], i % kGKeys) << "G key of macro " << i;
        const std::string name = MacroName(i / kGKeys, i % kGKeys);
        EXPECT_EQ(
            std::string(macro.begin() + 8, macro.begin() + 8 + static_cast<long>(name.size())),
            name);
    }
    EXPECT_EQ(sets.back().bytes, (std::vector<uint8_t>{kProfileId, 0x03, 0x02}))
        << "profile 3, the one shown, becomes current";
    // The clock may run late, never early: a pause shorter than 350 ms (less
    // a millisecond of rounding) would lose a report on the keyboard.
    for (size_t i = 1; i < sets.size(); ++i)
        EXPECT_GE(sets[i].ms - sets[i - 1].ms, kLongPauseMs - 1) << "before set " << i;

    EXPECT_TRUE(m_lumbra.Running());
    m_lumbra.Signal(SIGTERM);
    EXPECT_EQ(m_lumbra.Wait(), 0);
}

}  // namespace
}  // namespace lumbra::e2e
