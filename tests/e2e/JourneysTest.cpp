// SPDX-License-Identifier: GPL-3.0-or-later
// Journeys of a user through the real lumbra program on a private X display:
// pointer moves, clicks and keys from xdotool only, at the window's layout
// coordinates; what reached the simulated keyboard is read from its trace,
// what was saved from the files, what the window shows from screenshots.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <set>

#include "E2eSupport.h"

namespace lumbra::e2e {
namespace {

namespace fs = std::filesystem;

// The main window's controls beside the ones every journey uses, in its
// client coordinates.
constexpr Box kOk{582, 100, 46, 22};
constexpr Box kMacrosTab{267, 516, 88, 22}, kLightingTab{553, 516, 88, 22};
constexpr Box kCapsKey{177, 311, 36, 20}, kAKey{216, 311, 19, 20};
constexpr Box kBrightnessButton{97, 323, 175, 20}, kColourButton{97, 263, 175, 20};
constexpr Box kNewMacro{117, 448, 63, 15}, kRecord{556, 220, 143, 22};
constexpr Box kFirstMacroRow{107, 215, 144, 20};
// The key setting dialog, the shortcut dialog and the message dialog.
constexpr int kKeyDialogWidth = 400, kKeyDialogHeight = 270;
constexpr const char* kKeySettingTitle = "Key Setting — Lumbra";
constexpr int kTrayIconSize = 22;
constexpr Box kKeyDialogDisable{24, 174, 17, 17}, kKeyDialogOk{223, 229, 46, 22};
constexpr int kShortcutWidth = 420, kShortcutHeight = 206;
constexpr Box kShortcutCtrl{83, 104, 12, 12}, kShortcutShift{136, 104, 12, 12};
constexpr Box kShortcutOk{16, 162, 73, 29};
constexpr Box kAttentionOk{250, 230, 46, 22};
// Rows of the function menu.
constexpr int kAssignMacroRow = 0, kAssignShortcutRow = 5;

// Key-table positions, and the keys' codes.
constexpr size_t kCapsPosition = 111, kAPosition = 48;
constexpr uint8_t kEscCode = 0x29, kDisabledCode = 0x00;
constexpr size_t kTableOffset = 8, kTableSize = 160, kActionsOffset = 168;
constexpr const char* kDisconnected = "The keyboard is disconnected.Please connect.";

const fs::path kShots = LUMBRA_E2E_SHOTS_DIR;

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (uint8_t b : bytes) out += {digits[b >> 4], digits[b & 15]};
    return out;
}

// One key event of a macro as the keyboard stores it, with the pause before it.
struct MacroEntry {
    uint8_t key;
    bool release;
    int pauseMs;
};

// Reads the entries of a MacroReport the way the keyboard plays them back.
std::vector<MacroEntry> DecodeMacro(const std::vector<uint8_t>& report) {
    std::vector<MacroEntry> out;
    int pause = 0;
    const int count = report.at(33);
    for (int i = 0; i < count; ++i) {
        const uint8_t code = report.at(34 + 2 * i), value = report.at(35 + 2 * i);
        switch (code) {
            case 0:
                pause += (value & 0x7F) * 8;
                break;
            case 1:
                pause += value * 64;
                break;
            case 2:
                pause += value * 128;
                break;
            case 3:
                pause += value * 256;
                break;
            default:
                out.push_back({code, (value & 0x80) != 0, pause + (value & 0x7F) * 8});
                pause = 0;
        }
    }
    return out;
}

class Journey : public E2eJourney {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(E2eJourney::SetUp());
        m_appDir = m_dir + "app/";
        m_config = m_appDir + "config/";
        m_state = m_dir + "keyboard.state";
    }
    void StopChildren() override {
        m_second.Stop();
        m_lumbra.Stop();
    }

    std::vector<std::string> Arguments(const std::string& appDir) const {
        return LumbraArguments(appDir, true);
    }

    // SIGTERM, as a session's end sends it; lumbra exits with 0.
    void StopLumbra() {
        m_lumbra.Signal(SIGTERM);
        EXPECT_EQ(m_lumbra.Wait(), 0);
    }

    // The trace since the last start.
    std::vector<TraceLine> Trace() const {
        auto all = ReadTrace(m_trace);
        all.erase(all.begin(), all.begin() + static_cast<long>(std::min(m_traceStart, all.size())));
        return all;
    }
    bool WaitForTrace(const std::function<bool(const std::vector<TraceLine>&)>& cond) const {
        return WaitUntil([&] { return cond(Trace()); });
    }
    bool WaitForTraceLine(const std::string& op, const std::vector<uint8_t>& prefix) const {
        return WaitForTrace([&](const std::vector<TraceLine>& t) {
            return std::any_of(t.begin(), t.end(), [&](const TraceLine& l) {
                return l.op == op && l.bytes.size() >= prefix.size() &&
                       std::equal(prefix.begin(), prefix.end(), l.bytes.begin());
            });
        });
    }
    std::vector<TraceLine> Sets(uint8_t reportId) const {
        std::vector<TraceLine> out;
        for (const TraceLine& l : Trace())
            if (l.op == "set" && !l.bytes.empty() && l.bytes[0] == reportId) out.push_back(l);
        return out;
    }

    // The key table the keyboard answered for a profile in the last read-back.
    std::vector<uint8_t> KeyTableRead(uint8_t slot) const {
        std::vector<uint8_t> table;
        for (const TraceLine& l : Trace())
            if (l.op == "get" && l.bytes.size() == 184 && l.bytes[0] == 0x06 && l.bytes[2] == slot)
                table.assign(l.bytes.begin() + kTableOffset,
                             l.bytes.begin() + kTableOffset + kTableSize);
        return table;
    }

    std::optional<XWindow> WaitForLumbraWindow(const std::function<bool(const XWindow&)>& match) {
        return m_x.WaitForWindow(m_lumbra.Pid(), match);
    }
    std::optional<XWindow> WaitForDialog(int width, int height, const std::string& name) {
        return WaitForLumbraWindow([&](const XWindow& w) {
            return w.width == width && w.height == height && w.name == name;
        });
    }

    std::string WindowList() const {
        std::string list;
        for (const XWindow& w : m_x.Windows(m_lumbra.Pid()))
            list += "\"" + w.name + "\" " + std::to_string(w.width) + "x" + std::to_string(w.height) +
                    "+" + std::to_string(w.x) + "+" + std::to_string(w.y) + "; ";
        return list;
    }

    // Clicks a key of the picture, sets it in the key setting dialog
    // (pressing a key, or choosing "disable"), OK.
    void RemapKey(const Box& key, const std::string& pressed) {
        Click(key);
        const auto dialog = WaitForDialog(kKeyDialogWidth, kKeyDialogHeight, kKeySettingTitle);
        ASSERT_TRUE(dialog) << "no key setting dialog; lumbra's windows: " << WindowList();
        if (pressed.empty()) {
            ClickIn(*dialog, kKeyDialogDisable);
        } else {
            ASSERT_TRUE(m_x.WaitForKeyboardGrab()) << "the dialog does not capture keys";
            m_x.Keys({pressed});
        }
        ClickIn(*dialog, kKeyDialogOk);
        ASSERT_TRUE(WaitWindowGone(*dialog));
    }

    // Opens a G key's function menu on the G-Keys page.
    std::optional<XWindow> OpenFunctionMenu(int gKey) {
        Click(kGKeysTab);
        Click(kGKeyButtons[gKey]);
        return WaitForLumbraWindow([](const XWindow& w) { return w.width == kFunctionMenuWidth; });
    }

    // Records a macro named Walk on the macro page: `typed` is played into
    // the recording between the two clicks on Record.
    void RecordWalk(const std::function<void()>& typed) {
        Click(kMacrosTab);
        Click(kNewMacro);
        m_x.Xdotool({"type", "--delay", "20", "Walk"});
        m_x.Keys({"Return"});
        ASSERT_TRUE(WaitForFileText("MacroLibraryFile.mlf", "MacroKey0Name=Walk"));
        Click(kFirstMacroRow);
        Click(kRecord);
        ASSERT_TRUE(m_x.WaitForKeyboardGrab()) << "recording does not capture keys";
        typed();
        Click(kRecord);
    }
    // Gives G1 the library's first macro through its function menu.
    void AssignFirstMacroToG1() {
        const auto menu = OpenFunctionMenu(0);
        ASSERT_TRUE(menu) << "no function menu";
        // Resting on "Assign a Macro" opens the list of macros beside it.
        m_x.MovePointer(menu->x + kFunctionMenuWidth / 2, menu->y + RowY(kAssignMacroRow));
        m_x.MovePointer(menu->x + kFunctionMenuWidth / 2 + 4, menu->y + RowY(kAssignMacroRow));
        const auto macros =
            WaitForLumbraWindow([](const XWindow& w) { return w.width == kMacroListWidth; });
        ASSERT_TRUE(macros) << "no macro list";
        ClickIn(*macros, kMacroListWidth / 2, RowY(0));
        ASSERT_TRUE(WaitWindowGone(*menu));
    }

    QImage Screen() const { return m_x.Shot(); }
    // Waits until the window's picture fulfils cond.
    bool WaitForPicture(const std::function<bool(const QImage&)>& cond) const {
        return WaitUntil([&] { return cond(Screen()); });
    }
    void SaveShot(const std::string& journey) const {
        fs::create_directories(kShots);
        const QImage shot = m_x.Shot((kShots / (journey + ".png")).string());
        EXPECT_EQ(shot.width(), kScreenWidth) << "no screenshot of " << journey;
    }
    // A selected tab is drawn lit: its blue far above the dark panel's.
    bool Lit(const QImage& shot, const Box& tab) const {
        return Mean(Client(shot, tab)).blue > 130;
    }
    bool ProfileShown(const QImage& shot, int profile) const {
        for (int p = 0; p < 3; ++p)
            if (Lit(shot, kProfileTabs[p]) != (p == profile)) return false;
        return true;
    }

    std::string Config(const std::string& name) const { return m_config + name; }
    std::map<std::string, std::string> Values(const std::string& file) const {
        std::map<std::string, std::string> values;
        for (std::string line : ReadLines(Config(file))) {
            line.erase(0, line.find_first_not_of('\t'));
            const size_t eq = line.find('=');
            if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return values;
    }
    // Apply writes the files after its last report: they are waited for.
    std::string WaitForValue(const std::string& file, const std::string& key,
                             const std::string& value) const {
        std::string last;
        WaitUntil([&] {
            const auto values = Values(file);
            const auto it = values.find(key);
            last = it == values.end() ? "(none)" : it->second;
            return last == value;
        });
        return last;
    }
    bool WaitForFileText(const std::string& file, const std::string& text) const {
        return WaitUntil([&] { return ReadFile(Config(file)).find(text) != std::string::npos; });
    }

    Child m_second;
    std::string m_appDir, m_config, m_state;
};

const char* kConfigFiles[] = {"config.ini",   "default0.psf", "default1.psf",        "default2.psf",
                              "default3.psf", "default4.psf", "MacroLibraryFile.mlf"};

TEST_F(Journey, FirstRunCreatesEveryFileWithTheDefaultsAndShowsProfileOne) {
    ASSERT_FALSE(fs::exists(m_config));
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    for (const char* file : kConfigFiles)
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(Config(file)); })) << file;

    std::string settings = "[Setting]\r\nCurrentProfile=0\r\n";
    for (const std::string slot : {"0", "1", "2", "3", "4"})
        settings += "ProfileSlot" + slot + "URL=" + m_config + "default" + slot + ".psf\r\n";
    EXPECT_EQ(ReadFile(Config("config.ini")), settings);
    // Every profile file holds the factory key table the keyboard itself reports.
    const std::vector<uint8_t> factory = KeyTableRead(0);
    ASSERT_EQ(factory.size(), kTableSize);
    for (int slot = 0; slot < 5; ++slot) {
        const std::string file = "default" + std::to_string(slot) + ".psf";
        const auto v = Values(file);
        EXPECT_EQ(ReadLines(Config(file)).at(0), "[Setting]") << file;
        EXPECT_EQ(v.at("ProfileName"), "Default" + std::to_string(slot + 1)) << file;
        EXPECT_EQ(v.at("LightColor"), "1") << file;
        EXPECT_EQ(v.at("LightBrightness"), "8") << file;
        EXPECT_EQ(v.at("AllRCKey"), Hex(factory)) << file;
        for (int g = 0; g < 5; ++g) {
            const std::string key = "Key" + std::to_string(g);
            EXPECT_EQ(v.at(key + "Name"), "No Function") << file << key;
            EXPECT_EQ(v.at(key + "Value"), "000000") << file << key;
            EXPECT_EQ(v.at(key + "URL"), "") << file << key;
        }
        if (slot < 3) {
            EXPECT_EQ(KeyTableRead(static_cast<uint8_t>(slot)), factory) << slot;
        }
    }
    const auto library = Values("MacroLibraryFile.mlf");
    EXPECT_EQ(ReadLines(Config("MacroLibraryFile.mlf")).at(0), "[MacroLibrary]");
    EXPECT_EQ(library.at("MacroSetNum"), "1");
    EXPECT_EQ(library.at("MacroSet0Name"), "Keyboard Macro Set");
    EXPECT_EQ(library.at("MacroKeyNum"), "0");
    // A first start only reads the keyboard: it selects, it changes nothing.
    for (const TraceLine& l : Trace()) {
        if (l.op == "set") {
            EXPECT_EQ(l.bytes.at(0), 0x04) << l.text;
        }
    }

    PointerAway();
    EXPECT_TRUE(WaitForPicture([&](const QImage& s) { return ProfileShown(s, 0); }));
    SaveShot("first-run");
}

TEST_F(Journey, RemappedKeysOfProfileTwoReachTheKeyboardAndComeBackFromIt) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    const std::vector<uint8_t> factory = KeyTableRead(1);
    ASSERT_EQ(factory.size(), kTableSize);
    Click(kProfileTabs[1]);
    PointerAway();
    QImage before;
    ASSERT_TRUE(WaitForPicture([&](const QImage& s) {
        before = s;
        return ProfileShown(s, 1);
    }));

    ASSERT_NO_FATAL_FAILURE(RemapKey(kCapsKey, "Escape"));
    ASSERT_NO_FATAL_FAILURE(RemapKey(kAKey, ""));
    EXPECT_TRUE(Sets(0x06).empty()) << "nothing is sent before Apply";
    Click(kApply);
    ASSERT_TRUE(WaitForTraceLine("set", {0x05, 0x03, 0x01}));

    const auto tables = Sets(0x06);
    ASSERT_EQ(tables.size(), 1u);
    const std::vector<uint8_t>& sent = tables[0].bytes;
    ASSERT_EQ(sent.size(), 184u);
    EXPECT_EQ(sent[2], 1) << "profile 2's slot";
    std::map<size_t, uint8_t> changed;
    for (size_t i = 0; i < kTableSize; ++i)
        if (sent[kTableOffset + i] != factory[i]) changed[i] = sent[kTableOffset + i];
    EXPECT_EQ(changed,
              (std::map<size_t, uint8_t>{{kCapsPosition, kEscCode}, {kAPosition, kDisabledCode}}));
    EXPECT_EQ(std::vector<uint8_t>(sent.begin() + kActionsOffset, sent.end()),
              std::vector<uint8_t>(16, 0))
        << "the G keys keep no function";
    std::vector<uint8_t> expected = factory;
    expected[kCapsPosition] = kEscCode;
    expected[kAPosition] = kDisabledCode;
    EXPECT_EQ(WaitForValue("default1.psf", "AllRCKey", Hex(expected)), Hex(expected));
    EXPECT_EQ(WaitForValue("config.ini", "CurrentProfile", "1"), "1");
    StopLumbra();

    // Only the keyboard can tell the next start about the remap and the profile.
    fs::remove(Config("default1.psf"));
    fs::remove(Config("config.ini"));
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    PointerAway();
    QImage after;
    // S, untouched, looks as before: the keyboard picture is drawn.
    EXPECT_TRUE(WaitForPicture([&](const QImage& s) {
        after = s;
        return Client(s, kSKey) == Client(before, kSKey) &&
               Client(s, kCapsKey) != Client(before, kCapsKey);
    })) << "Caps Lock shows remapped";
    EXPECT_TRUE(Client(after, kAKey) != Client(before, kAKey)) << "A shows remapped";
    EXPECT_TRUE(ProfileShown(after, 1)) << "the profile tabs show profile 2";
    SaveShot("remap-restart");
    Click(kApply);
    ASSERT_TRUE(WaitForTraceLine("set", {0x05, 0x03, 0x01}));
    EXPECT_TRUE(Sets(0x06).empty());
    EXPECT_EQ(WaitForValue("default1.psf", "AllRCKey", Hex(expected)), Hex(expected));
}

TEST_F(Journey, ShortcutCapturedForG3ReachesTheKeyboardAndOkHidesTheWindowInTheTray) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    const auto menu = OpenFunctionMenu(2);
    ASSERT_TRUE(menu) << "no function menu";
    ClickIn(*menu, kFunctionMenuWidth / 2, RowY(kAssignShortcutRow));
    const auto dialog = WaitForDialog(kShortcutWidth, kShortcutHeight, "Shortcut — Lumbra");
    ASSERT_TRUE(dialog) << "no shortcut dialog";
    ClickIn(*dialog, kShortcutCtrl);
    ClickIn(*dialog, kShortcutShift);
    ASSERT_TRUE(m_x.WaitForKeyboardGrab()) << "the dialog does not capture keys";
    m_x.Keys({"F5"});
    ClickIn(*dialog, kShortcutOk);
    ASSERT_TRUE(WaitWindowGone(*dialog));
    Click(kOk);
    ASSERT_TRUE(WaitForTraceLine("set", {0x05, 0x03, 0x00}));

    const auto tables = Sets(0x06);
    ASSERT_EQ(tables.size(), 1u);
    const std::vector<uint8_t>& sent = tables[0].bytes;
    ASSERT_EQ(sent.size(), 184u);
    EXPECT_EQ(sent[2], 0);
    std::vector<uint8_t> actions(15, 0);
    actions[6] = 0x06;  // G3: a key combination, Ctrl (1) + Shift (2), F5
    actions[7] = 0x03;
    actions[8] = 0x3E;
    EXPECT_EQ(
        std::vector<uint8_t>(sent.begin() + kActionsOffset, sent.begin() + kActionsOffset + 15),
        actions);
    EXPECT_TRUE(WaitUntil([&] {
        const auto windows = m_x.Windows(m_lumbra.Pid());
        return std::none_of(windows.begin(), windows.end(), IsMainWindow);
    })) << "OK hides the window";
    EXPECT_TRUE(m_lumbra.Running()) << "and the program stays";
    EXPECT_EQ(WaitForValue("default0.psf", "Key2Name", "Ctrl+Shift+F5"), "Ctrl+Shift+F5");
    EXPECT_EQ(Values("default0.psf").at("Key2Value"), "06033E");

    // The tray icon, in the notification area's corner, brings it back.
    m_x.Click(kScreenWidth - 11, kScreenHeight - 11);
    const auto back = WaitForLumbraWindow(IsMainWindow);
    ASSERT_TRUE(back) << "the tray icon shows the window again";
    m_origin = *back;
    PointerAway();
    EXPECT_TRUE(WaitForPicture([&](const QImage& s) { return Lit(s, kGKeysTab); }));
    SaveShot("shortcut-g3");
}

TEST_F(Journey, MacroRecordedWithPausesOnTheMacroPageReachesG1AsRecorded) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    ASSERT_NO_FATAL_FAILURE(RecordWalk([&] {
        // A held 300 ms, 1.2 s of nothing, B tapped.
        m_x.Xdotool({"keydown", "a", "sleep", "0.3", "keyup", "a", "sleep", "1.2", "key", "b"});
    }));
    ASSERT_TRUE(WaitForFileText("MacroLibraryFile.mlf", "MacroActionNum=7"));
    ASSERT_NO_FATAL_FAILURE(AssignFirstMacroToG1());
    Click(kApply);
    ASSERT_TRUE(WaitForTraceLine("set", {0x05, 0x03, 0x00}));

    const auto tables = Sets(0x06);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(std::vector<uint8_t>(tables[0].bytes.begin() + kActionsOffset,
                                   tables[0].bytes.begin() + kActionsOffset + 3),
              (std::vector<uint8_t>{0x01, 0x00, 0x00}))
        << "G1 plays a macro";
    const auto macroSets = Sets(0x08);
    ASSERT_EQ(macroSets.size(), 1u);
    const std::vector<uint8_t>& report = macroSets[0].bytes;
    ASSERT_EQ(report.size(), 226u);
    EXPECT_EQ(report[2], 0);
    EXPECT_EQ(report[3], 0) << "G1";
    EXPECT_EQ(std::string(report.begin() + 8, report.begin() + 13), std::string("Walk\0", 5));
    EXPECT_EQ(report[32], 1) << "played once";
    const auto entries = DecodeMacro(report);
    ASSERT_EQ(entries.size(), 4u);
    constexpr uint8_t kA = 0x04, kB = 0x05;
    const MacroEntry expected[] = {
        {kA, false, 0}, {kA, true, 300}, {kB, false, 1200}, {kB, true, 0}};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].release, expected[i].release) << i;
        // The keyboard counts in 8 ms steps; xdotool's own sleeps run late
        // rather than early, by more when the machine is busy.
        EXPECT_GE(entries[i].pauseMs, expected[i].pauseMs - 16) << i;
        EXPECT_LE(entries[i].pauseMs, expected[i].pauseMs + 400) << i;
    }
    EXPECT_EQ(WaitForValue("default0.psf", "Key0Name", "Walk"), "Walk");
    EXPECT_EQ(Values("default0.psf").at("Key0Value"), "010000");
    PointerAway();
    EXPECT_TRUE(WaitForPicture([&](const QImage& s) { return Lit(s, kGKeysTab); }));
    SaveShot("macro-g1");
}

// What a screen reader and a keyboard-only user meet: a desktop with a
// window manager, a session bus of the journey's own and the accessibility
// bus on it (started by the session bus, as a desktop starts it).
class AccessJourney : public Journey {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Journey::SetUp());
        m_env = m_x.Environment();
        const std::string address = m_dir + "bus.address";
        ASSERT_TRUE(m_bus.Start({"dbus-daemon", "--session", "--nofork", "--print-address=1"}, m_env,
                                address, m_dir + "bus.err"))
            << "dbus-daemon does not start (package dbus-daemon)";
        std::string bus;
        ASSERT_TRUE(WaitUntil([&] {
            bus = ReadFile(address);
            return bus.find('\n') != std::string::npos;
        })) << ReadFile(m_dir + "bus.err");
        bus.erase(bus.find('\n'));
        for (std::string& e : m_env)
            if (e.starts_with("DBUS_SESSION_BUS_ADDRESS=")) e = "DBUS_SESSION_BUS_ADDRESS=" + bus;
        // A screen reader announces itself so: the toolkit's bridge comes up.
        int status = 1;
        Capture({"gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                 "/org/a11y/bus", "--method", "org.freedesktop.DBus.Properties.Set",
                 "org.a11y.Status", "IsEnabled", "<true>"},
                m_env, &status);
        ASSERT_EQ(status, 0) << "no accessibility bus (package at-spi2-core)";
        ASSERT_TRUE(m_wm.Start({"openbox", "--sm-disable"}, m_env, "", m_dir + "openbox.err"))
            << "openbox does not start (package openbox)";
        ASSERT_TRUE(WaitUntil([&] {
            int wm = 1;
            Capture({"xdotool", "get_desktop"}, m_env, &wm);
            return wm == 0;
        })) << ReadFile(m_dir + "openbox.err");
    }
    void StopChildren() override {
        Journey::StopChildren();
        m_wm.Stop();
        m_bus.Stop();
    }

    // A fresh keyboard, files and trace for each pass of the journey.
    void StartPass(const std::string& name) {
        if (m_lumbra.Running()) StopLumbra();
        m_trace = m_dir + name + ".trace";
        m_appDir = m_dir + name + "/";
        m_config = m_appDir + "config/";
        auto args = LumbraArguments(m_appDir, true);
        for (std::string& a : args)
            if (a.starts_with("--simulate=")) a = "--simulate=" + m_dir + name + ".state";
        m_traceStart = 0;
        ASSERT_TRUE(StartLumbraWith(args, m_env));
        const auto window = m_x.WaitForWindow(m_lumbra.Pid(), IsMainWindowInPlace);
        ASSERT_TRUE(window) << "no main window";
        m_origin = *window;
        ASSERT_TRUE(WaitForReadBack()) << "no read-back";
        // The window manager gives the new window the focus; a click or key
        // before that can go astray.
        ASSERT_TRUE(WaitUntil([&] {
            std::string active = m_x.Xdotool({"getactivewindow"});
            active.erase(active.find_last_not_of("\n") + 1);
            return active == m_origin.id;
        })) << "the window manager never activated the window";
        // The accessibility bridge comes up with the window; once a screen
        // reader sees the window, it takes input.
        ExpectAccessible("push button", "Apply");
    }

    // The program as the accessibility registry shows it: one line per
    // object, "depth, role, name, states" separated by tabs.
    std::vector<std::string> AccessibleTree() const {
        const std::string out = m_dir + "atspi.out";
        RunAtspiTool({"tree", std::to_string(m_lumbra.Pid())}, out);
        return ReadLines(out);
    }
    bool PressAccessible(const std::string& name) const {
        return RunAtspiTool({"press", std::to_string(m_lumbra.Pid()), name}, "") == 0;
    }
    // The registry shows an object of this role and name, with these states among its own.
    void ExpectAccessible(const std::string& role, const std::string& name,
                          const std::vector<std::string>& states = {}) const {
        std::string shown;
        bool found = false;
        // The tree can lag a moment behind what the window shows.
        WaitUntil([&] {
            shown.clear();
            for (const std::string& line : AccessibleTree()) {
                shown += line + "\n";
                const auto fields = Fields(line);
                if (fields.size() < 4 || fields[1] != role || fields[2] != name) continue;
                found = std::all_of(states.begin(), states.end(), [&](const std::string& st) {
                    return ("," + fields[3] + ",").find("," + st + ",") != std::string::npos;
                });
                if (found) return true;
            }
            return false;
        }, 20s);
        EXPECT_TRUE(found) << role << " \"" << name << "\" in\n" << shown << AtspiErrors();
    }
    static std::vector<std::string> Fields(const std::string& line) {
        std::vector<std::string> fields;
        std::stringstream in(line);
        for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
        return fields;
    }
    // What the tool said on its error output, for a failure's report.
    std::string AtspiErrors() const { return ReadFile(m_dir + "atspi.err"); }

    std::optional<int> RunAtspiTool(const std::vector<std::string>& args,
                                    const std::string& out) const {
        std::vector<std::string> argv = {kAtspiTool};
        argv.insert(argv.end(), args.begin(), args.end());
        Child tool;
        if (!tool.Start(argv, m_env, out, m_dir + "atspi.err")) return std::nullopt;
        return tool.Wait();
    }

    // The reports the keyboard was sent, in order; a macro's pauses are left
    // out (they are the user's own timing), its keys and name kept.
    std::vector<std::string> SentReports() const {
        std::vector<std::string> out;
        for (const TraceLine& l : Trace()) {
            if (l.op != "set") continue;
            if (!l.bytes.empty() && l.bytes[0] == 0x08) {
                std::string text = "macro " + Hex({l.bytes.begin(), l.bytes.begin() + 33});
                for (const MacroEntry& e : DecodeMacro(l.bytes))
                    text += (e.release ? " up " : " down ") + std::to_string(e.key);
                out.push_back(text);
            } else {
                out.push_back(Hex(l.bytes));
            }
        }
        return out;
    }

    // Keys typed into whatever has the keyboard: "Tab*7 Down" is Tab seven
    // times, then Down.
    void Type(const std::string& keys) const {
        std::vector<std::string> args;
        std::stringstream in(keys);
        for (std::string key; in >> key;) {
            const size_t star = key.find('*');
            const int times = star == std::string::npos ? 1 : std::stoi(key.substr(star + 1));
            for (int i = 0; i < times; ++i) args.push_back(key.substr(0, star));
        }
        m_x.Keys(args);
    }
    bool MacroRecorded() const {
        return WaitUntil([&] {
            const auto values = Values("MacroLibraryFile.mlf");
            const auto it = values.find("MacroActionNum");
            return it != values.end() && it->second != "0";
        });
    }

    // The mouse: Caps Lock sends Esc, G1 plays a macro recorded from the
    // keyboard, the lighting takes the second colour.
    void MouseJourney() {
        ASSERT_NO_FATAL_FAILURE(RemapKey(kCapsKey, "Escape"));
        ASSERT_NO_FATAL_FAILURE(RecordWalk([&] { m_x.Keys({"a", "b"}); }));
        ASSERT_TRUE(MacroRecorded()) << "nothing recorded";
        ASSERT_NO_FATAL_FAILURE(AssignFirstMacroToG1());
        Click(kLightingTab);
        Click(kColourButton);
        const auto colours =
            WaitForLumbraWindow([](const XWindow& w) { return w.width == kColourButton.width; });
        ASSERT_TRUE(colours) << "no colour list";
        ClickIn(*colours, kColourButton.width / 2, RowY(1));
        ASSERT_TRUE(WaitWindowGone(*colours));
    }

    // The same with keys alone, leaving every dialog and list by key.
    void KeyboardJourney() {
        // The key picture is one stop (on Esc); Down walks its rows to Caps Lock.
        Type("Tab*7 Down*3 Return");
        const auto dialog = WaitForDialog(kKeyDialogWidth, kKeyDialogHeight, kKeySettingTitle);
        ASSERT_TRUE(dialog) << "no key setting dialog";
        ASSERT_TRUE(m_x.WaitForKeyboardGrab()) << "the dialog does not capture keys";
        // Esc is captured; the focus moves on to OK, which Enter presses.
        Type("Escape Return");
        ASSERT_TRUE(WaitWindowGone(*dialog));
        ExpectAccessible("push button", "Caps Lock, sends Esc", {"focused"});

        Type("Tab*4 Right Tab*13 space");
        m_x.Xdotool({"type", "--delay", "20", "Walk"});
        Type("Return");
        ASSERT_TRUE(WaitForFileText("MacroLibraryFile.mlf", "MacroKey0Name=Walk"));
        // Back to the macro list, onto Record; Pause ends the recording.
        Type("shift+Tab*6 Home Tab*2 space");
        ASSERT_TRUE(m_x.WaitForKeyboardGrab()) << "recording does not capture keys";
        Type("a b Pause");
        ASSERT_TRUE(MacroRecorded()) << "nothing recorded";

        Type("Tab*9 Right Tab*7 alt+Down");
        const auto menu =
            WaitForLumbraWindow([](const XWindow& w) { return w.width == kFunctionMenuWidth; });
        ASSERT_TRUE(menu) << "no function menu";
        Type("Down Right");
        const auto macros =
            WaitForLumbraWindow([](const XWindow& w) { return w.width == kMacroListWidth; });
        ASSERT_TRUE(macros) << "no macro list";
        Type("Return");
        ASSERT_TRUE(WaitWindowGone(*menu));
        ExpectAccessible("combo box", "G1, plays macro Walk", {"focused"});

        Type("Tab*6 Right Tab*7 Return");
        const auto colours =
            WaitForLumbraWindow([](const XWindow& w) { return w.width == kColourButton.width; });
        ASSERT_TRUE(colours) << "no colour list";
        Type("Down Down Return");
        ASSERT_TRUE(WaitWindowGone(*colours));
        // The window's menu opens from the keyboard and Esc leaves it.
        Type("shift+F10");
        // (The tray icon is a window of lumbra's too.)
        const auto contextMenu = WaitForLumbraWindow(
            [](const XWindow& w) { return !IsMainWindow(w) && w.width > 2 * kTrayIconSize; });
        ASSERT_TRUE(contextMenu) << "no menu from Shift+F10";
        ASSERT_TRUE(m_x.WaitForKeyboardGrab()) << "the menu does not take the keys";
        Type("Escape");
        ASSERT_TRUE(WaitWindowGone(*contextMenu)) << WindowList();
    }

    std::vector<std::string> m_env;
    Child m_bus, m_wm;
    static constexpr const char* kAtspiTool = LUMBRA_E2E_ATSPI_TOOL;
};

TEST_F(AccessJourney, TheKeyboardAloneDoesWhatTheMouseDoesAndAScreenReaderFindsEveryControl) {
    ASSERT_NO_FATAL_FAILURE(StartPass("mouse"));
    ASSERT_NO_FATAL_FAILURE(MouseJourney());
    Click(kApply);
    ASSERT_TRUE(WaitForTraceLine("set", {0x05, 0x03, 0x00}));
    const std::vector<std::string> byMouse = SentReports();
    ASSERT_FALSE(byMouse.empty());

    // The keyboard, on a keyboard fresh from the factory.
    ASSERT_NO_FATAL_FAILURE(StartPass("keys"));
    ASSERT_NO_FATAL_FAILURE(KeyboardJourney());

    // A screen reader finds the controls by role and name, and presses Apply.
    ExpectAccessible("page tab", "Lighting", {"selected"});
    ExpectAccessible("combo box", "Lighting colour", {"focused"});
    ExpectAccessible("push button", "Apply");
    ASSERT_TRUE(PressAccessible("Apply"));
    ASSERT_TRUE(WaitForTraceLine("set", {0x05, 0x03, 0x00}));
    EXPECT_EQ(SentReports(), byMouse);
    // From the colour list on to Apply, back to the close button: the window
    // goes to the tray.
    Type("Tab*9 shift+Tab*3 Return");
    EXPECT_TRUE(WaitWindowGone(m_origin)) << "the keyboard closes the window";
    StopLumbra();
}

TEST_F(Journey, TheWindowFollowsTheKeyboardsOwnProfileLightingAndMacroChanges) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    PointerAway();
    ASSERT_TRUE(WaitForPicture([&](const QImage& s) { return ProfileShown(s, 0); }));
    Control("event 05 03");
    EXPECT_TRUE(WaitForPicture([&](const QImage& s) { return ProfileShown(s, 2); }))
        << "the window shows profile 3";

    Click(kLightingTab);
    PointerAway();
    QImage full;
    ASSERT_TRUE(WaitForPicture([&](const QImage& s) {
        full = Client(s, kBrightnessButton);
        return Lit(s, kLightingTab);
    }));
    Control("event 07 18");
    EXPECT_TRUE(WaitForPicture([&](const QImage& s) {
        return Lit(s, kLightingTab) && Client(s, kBrightnessButton) != full;
    })) << "the brightness shown changes to breathing";

    // A macro recorded on the keyboard's G4, without a name.
    Control("event 01 04");
    EXPECT_TRUE(WaitForFileText("MacroLibraryFile.mlf", "Name=Profile3_G4"));
    EXPECT_TRUE(WaitForFileText("default2.psf", "Key3Name=Profile3_G4"));
    EXPECT_EQ(Values("default2.psf").at("Key3Value"), "010000");
    ASSERT_TRUE(WaitForTraceLine("set", {0x08, 0xE2, 0x02, 0x03, 0,   0,   0,   0,   'P', 'r',
                                         'o',  'f',  'i',  'l',  'e', '3', '_', 'G', '4', 0}))
        << "the made-up name is stored on the keyboard";

    Click(kApply);
    ASSERT_TRUE(WaitForTraceLine("set", {0x05, 0x03, 0x02}));
    EXPECT_EQ(WaitForValue("config.ini", "CurrentProfile", "2"), "2");
    EXPECT_EQ(WaitForValue("default2.psf", "LightBrightness", "24"), "24");
    PointerAway();
    SaveShot("keyboard-events");
}

TEST_F(Journey, UnplugDuringApplyWarnsOnceLosesNothingAndReadsBackAfterThePlug) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    // A change on each on-board profile: three key tables to send, 350 ms apart.
    for (int profile = 0; profile < 3; ++profile) {
        Click(kProfileTabs[profile]);
        ASSERT_NO_FATAL_FAILURE(RemapKey(kAKey, ""));
    }
    Click(kApply);
    ASSERT_TRUE(WaitForTraceLine("set", {0x06}));
    Control("unplug");
    const auto message = WaitForDialog(kKeyDialogWidth, kKeyDialogHeight, "Attention! — Lumbra");
    ASSERT_TRUE(message) << "no disconnection message";
    // What the plan had not sent goes nowhere once the keyboard has gone.
    const auto tables = Sets(0x06);
    EXPECT_LT(std::count_if(tables.begin(), tables.end(),
                            [](const TraceLine& l) { return !l.failed; }),
              3)
        << "the unplug came while the Apply was still sending";
    Control("plug");
    // The read-back after the plug: the profile, then lighting and key table
    // of each on-board profile.
    ASSERT_TRUE(WaitForTrace([](const std::vector<TraceLine>& t) {
        auto plug =
            std::find_if(t.begin(), t.end(), [](const TraceLine& l) { return l.op == "plug"; });
        if (plug == t.end()) return false;
        std::vector<std::string> gets;
        for (auto it = plug; it != t.end(); ++it)
            if (it->op == "get" && !it->failed)
                gets.push_back(it->text.substr(it->text.find(" get ") + 5, 5));
        return gets == std::vector<std::string>{"05 03", "07 0D", "07 0D", "07 0D",
                                                "06 B8", "06 B8", "06 B8"};
    })) << "a full read-back after the plug";
    const auto windows = m_x.Windows(m_lumbra.Pid());
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                            [](const XWindow& w) { return w.name == "Attention! — Lumbra"; }),
              1)
        << "the message comes once";
    PointerAway();
    SaveShot("unplug-during-apply");
    ClickIn(*message, kAttentionOk);
    ASSERT_TRUE(WaitWindowGone(*message));

    // The Apply wrote its files all the same.
    EXPECT_EQ(WaitForValue("config.ini", "CurrentProfile", "2"), "2");
    for (const char* file : kConfigFiles) EXPECT_TRUE(fs::exists(Config(file))) << file;
    for (int slot = 0; slot < 3; ++slot) {
        const std::string table = Values("default" + std::to_string(slot) + ".psf").at("AllRCKey");
        EXPECT_EQ(table.substr(2 * kAPosition, 2), "00") << slot;
    }
    EXPECT_TRUE(m_lumbra.Running());
    StopLumbra();
}

TEST_F(Journey, ASecondStartIsRefusedAndSigtermSaysGoodbyeAndKeepsTheFiles) {
    ASSERT_NO_FATAL_FAILURE(StartLumbra());
    std::map<std::string, std::string> before;
    for (const char* file : kConfigFiles) before[file] = ReadFile(Config(file));

    const std::string otherApp = m_dir + "other/";
    ASSERT_TRUE(m_second.Start(Arguments(otherApp), m_x.Environment(), m_dir + "second.out",
                               m_dir + "second.err"));
    // The refusal is a message box of the second process; the first stays as it was.
    const auto box = m_x.WaitForWindow(m_second.Pid(), [](const XWindow&) { return true; });
    ASSERT_TRUE(box) << "no message from the second start";
    EXPECT_EQ(box->name, "Lumbra");
    EXPECT_LT(box->width, kKeyDialogWidth);
    EXPECT_LT(box->height, kKeyDialogHeight);
    EXPECT_TRUE(m_second.Running()) << "it waits for the user";
    PointerAway();
    SaveShot("second-instance");
    ClickIn(*box, box->width / 2, box->height / 2);
    m_x.Keys({"Return"});
    EXPECT_EQ(m_second.Wait(), 1);
    EXPECT_NE(ReadFile(m_dir + "second.err").find("This application is already running!"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(otherApp)) << "the second start touched no files";

    EXPECT_TRUE(m_lumbra.Running());
    StopLumbra();
    const auto trace = Trace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back().text.substr(trace.back().text.find(' ') + 1), "set 05 03 07")
        << "the goodbye is the last word to the keyboard";
    for (const char* file : kConfigFiles) EXPECT_EQ(ReadFile(Config(file)), before[file]) << file;
}

}  // namespace
}  // namespace lumbra::e2e
