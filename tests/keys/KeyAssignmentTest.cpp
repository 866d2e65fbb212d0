// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "keys/KeyAssignment.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

// Buttons and key-table positions, written out from the key table of the
// keyboard picture.
constexpr int kEsc = 0x898, kF1 = 0x899, kF3 = 0x89B, kF12 = 0x8A4, kPrint = 0x8A5;
constexpr int kMinus = 0x8B3, kPlus = 0x8B4, kPageUp = 0x8B8, kPageDown = 0x8CD;
constexpr int kQ = 0x8BE, kW = 0x8BF, kA = 0x8D3, kWinL = 0x8F4;
constexpr size_t kQPos = 96, kWPos = 80, kAPos = 48, kF3Pos = 129;
constexpr uintptr_t kG1 = 0x81E, kG2 = 0x81F, kG3 = 0x820, kG4 = 0x821, kG5 = 0x822;

class KeyAssignmentTest : public testing::Test {
protected:
    void SetUp() override {
        for (int s = 0; s < kProfileSlotCount; ++s) model.Profile(s).ResetDefaults(s);
        model.settings.SetCurrentProfile(0);
    }
    const GKeySlot& G(int slot, int g) { return *model.Profile(slot).GKey(g); }
    bool NothingPending() const { return model.pending == PendingWrites{}; }

    KeyboardModel model;
    KeyAssignment assign{model};
};

TEST(KeyIdentityRule, OwnUsagesBecomeFactoryCodesAndNothingElseDoes) {
    struct Case {
        int button;
        uint8_t chosen;
        uint8_t stored;
    };
    const Case cases[] = {
        {kQ, 20, 235},        {kW, 26, 234},     {kW, 20, 20},      {kQ, 26, 26},
        {kF1, 58, 192},       {kF3, 58, 192},    {kF12, 69, 203},   {kF1, 69, 203},
        {kF12, 70, 70},       {kMinus, 45, 232}, {kPlus, 46, 233},  {kPageUp, 75, 205},
        {kPageDown, 78, 206}, {kWinL, 227, 207}, {kPageUp, 78, 78}, {kPrint, 58, 58},
        {kEsc, 41, 41},       {kA, 0, 0},        {kWinL, 231, 231}, {kQ, 235, 235},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdentityMappedCode(c.button, c.chosen), c.stored)
            << std::hex << c.button << " " << std::dec << int(c.chosen);
}

TEST(KeyIdentityRule, FactoryCodesAreThoseOfTheKeyboardPicture) {
    std::istringstream rows(test::Fixture("key_buttons.tsv"));
    std::string line;
    int keys = 0;
    while (std::getline(rows, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int id = 0, code = 0;
        fields >> id >> code;
        EXPECT_EQ(FactoryKeyCode(id), code) << id;
        ++keys;
    }
    EXPECT_EQ(keys, 103);
    EXPECT_EQ(FactoryKeyCode(0x897), 0);
    EXPECT_EQ(FactoryKeyCode(0x8FF), 0);
}

TEST_F(KeyAssignmentTest, KeyCodesAreStoredWithTheIdentityRuleAndMarkTheKeyTable) {
    auto q = assign.StoreKeyCode(kQ, 20);
    ASSERT_TRUE(q);
    EXPECT_EQ(*q, (KeyButtonUpdate{kQ, 235, false}));
    EXPECT_EQ(model.Profile(0).Keys()[kQPos], 235);
    EXPECT_TRUE(model.pending.keyTablePending[0]);

    EXPECT_EQ(*assign.StoreKeyCode(kW, 20), (KeyButtonUpdate{kW, 20, true}));
    EXPECT_EQ(model.Profile(0).Keys()[kWPos], 20);

    // Disabled, and a mouse function.
    EXPECT_EQ(*assign.StoreKeyCode(kA, 0), (KeyButtonUpdate{kA, 0, true}));
    EXPECT_EQ(model.Profile(0).Keys()[kAPos], 0);
    EXPECT_EQ(*assign.StoreKeyCode(kA, 210), (KeyButtonUpdate{kA, 210, true}));
    EXPECT_EQ(model.Profile(0).Keys()[kAPos], 210);

    // F3 given F1's usage does what F1 does.
    EXPECT_EQ(*assign.StoreKeyCode(kF3, 58), (KeyButtonUpdate{kF3, 192, true}));
    EXPECT_EQ(model.Profile(0).Keys()[kF3Pos], 192);

    // Back to its own usage: the factory code, not remapped.
    EXPECT_EQ(*assign.StoreKeyCode(kF3, 60), (KeyButtonUpdate{kF3, 194, false}));

    for (int s = 1; s < kProfileSlotCount; ++s) {
        EXPECT_FALSE(model.pending.keyTablePending[static_cast<size_t>(s)]) << s;
        EXPECT_EQ(model.Profile(s).Keys(), kDefaultKeyTable) << s;
    }
}

TEST_F(KeyAssignmentTest, AnIdThatNamesNoKeyButtonChangesNothing) {
    EXPECT_FALSE(assign.StoreKeyCode(0x897, 4));
    EXPECT_FALSE(assign.StoreKeyCode(0x8FF, 4));
    EXPECT_FALSE(assign.StoreKeyCode(0x1000000898ull, 4));
    EXPECT_EQ(model.Profile(0).Keys(), kDefaultKeyTable);
    EXPECT_TRUE(NothingPending());
}

TEST_F(KeyAssignmentTest, TheCurrentProfileIsReadAgainForEveryAssignment) {
    model.settings.SetCurrentProfile(4);
    assign.StoreKeyCode(kA, 5);
    model.settings.SetCurrentProfile(3);
    assign.RememberShortcutButton(kG2);
    assign.ApplyShortcutResult(ChoiceRecord{"Ctrl+B", 6, 1, 5});
    EXPECT_EQ(model.Profile(4).Keys()[kAPos], 5);
    EXPECT_EQ(G(3, 1).action, (KeyAction{6, 1, 5}));
    // Slots 3 and 4 are marked like the others; the flush never sends them.
    EXPECT_TRUE(model.pending.keyTablePending[3]);
    EXPECT_TRUE(model.pending.keyTablePending[4]);
    for (int s = 0; s < 3; ++s) {
        EXPECT_FALSE(model.pending.keyTablePending[static_cast<size_t>(s)]);
        EXPECT_EQ(model.Profile(s).Keys(), kDefaultKeyTable);
    }
}

TEST_F(KeyAssignmentTest, DefaultFunctionGivesEachGKeyItsCtrlDigit) {
    // The menu's record: type 6, Ctrl, its own caption.
    const ChoiceRecord menu{"\xE9\xBB\x98\xE8\xAE\xA4\xE5\x8A\x9F\xE8\x83\xBD", 6, 1, 0};
    const struct {
        uintptr_t button;
        int g;
        uint8_t digit;
        const char* name;
    } cases[] = {{kG1, 0, 30, "CTRL+1"},
                 {kG2, 1, 31, "CTRL+2"},
                 {kG3, 2, 32, "CTRL+3"},
                 {kG4, 3, 33, "CTRL+4"},
                 {kG5, 4, 34, "CTRL+5"}};
    model.settings.SetCurrentProfile(1);
    for (const auto& c : cases) {
        model.Profile(1).GKey(c.g)->launchPath = "/old";
        auto update = assign.ApplyFunctionMenuChoice(c.button, menu);
        ASSERT_TRUE(update);
        EXPECT_EQ(*update, (GKeyUpdate{c.button, c.name}));
        EXPECT_EQ(G(1, c.g).action, (KeyAction{6, 1, c.digit}));
        EXPECT_EQ(G(1, c.g).name, c.name);
        EXPECT_EQ(G(1, c.g).launchPath, "");
    }
    EXPECT_TRUE(model.pending.keyTablePending[1]);
    EXPECT_EQ(model.pending.macroPending[1], (std::array<bool, kGKeyCount>{}));
}

TEST_F(KeyAssignmentTest, NoFunctionClearsTheGKeyAndOtherMenuRecordsStoreNothing) {
    assign.ApplySubListChoice(FunctionSubList::kMacro, kG3, ChoiceRecord{"Copy", 1, 0, 0});
    model.pending.Clear();
    EXPECT_EQ(*assign.ApplyFunctionMenuChoice(kG3, ChoiceRecord{"No Function", 0, 0, 0}),
              (GKeyUpdate{kG3, "No Function"}));
    EXPECT_EQ(G(0, 2).action, (KeyAction{0, 0, 0}));
    EXPECT_EQ(G(0, 2).name, "No Function");
    EXPECT_TRUE(model.pending.keyTablePending[0]);

    // A click on a sub-list header arrives with id 0 and is no choice.
    model.pending.Clear();
    EXPECT_FALSE(assign.ApplyFunctionMenuChoice(0, ChoiceRecord{"", 6, 1, 0}));
    EXPECT_TRUE(NothingPending());
    const GKeySlot before = G(0, 1);
    EXPECT_FALSE(assign.ApplyFunctionMenuChoice(kG2, ChoiceRecord{"", 1, 0, 0}));
    EXPECT_EQ(G(0, 1).name, before.name);
    EXPECT_EQ(G(0, 1).action, before.action);
}

TEST_F(KeyAssignmentTest, SubListChoicesStoreTheirRecordAndMacrosMarkTheirGKey) {
    model.settings.SetCurrentProfile(2);
    EXPECT_EQ(assign.ApplySubListChoice(FunctionSubList::kMultimedia, kG1,
                                        ChoiceRecord{"Mute", 2, 160, 0}),
              (GKeyUpdate{kG1, "Mute"}));
    EXPECT_EQ(G(2, 0).action, (KeyAction{2, 160, 0}));
    assign.ApplySubListChoice(FunctionSubList::kWindowManage, kG2,
                              ChoiceRecord{"Calculator", 2, 177, 0});
    EXPECT_EQ(G(2, 1).action, (KeyAction{2, 177, 0}));
    assign.ApplySubListChoice(FunctionSubList::kMouseFunction, kG3,
                              ChoiceRecord{"Double-click", 4, 0, 0});
    EXPECT_EQ(G(2, 2).action, (KeyAction{4, 0, 0}));
    EXPECT_EQ(G(2, 2).name, "Double-click");
    EXPECT_EQ(model.pending.macroPending[2], (std::array<bool, kGKeyCount>{}));

    // The macro list's bytes are the handler's own; the name is the macro's.
    assign.ApplySubListChoice(FunctionSubList::kMacro, kG4, ChoiceRecord{"Greeting", 0x30, 7, 9});
    EXPECT_EQ(G(2, 3).action, (KeyAction{1, 0, 0}));
    EXPECT_EQ(G(2, 3).name, "Greeting");
    EXPECT_TRUE(model.pending.macroPending[2][3]);
    EXPECT_TRUE(model.pending.keyTablePending[2]);
    EXPECT_FALSE(model.pending.macroPending[2][0]);
}

TEST_F(KeyAssignmentTest, AnIdThatNamesNoGKeyButtonWritesG3AndSendsG1sMacro) {
    // Beside the G-key buttons, and one whose low 32 bits are G2's button.
    const uintptr_t strays[] = {0x7D1, kG1 - 1, kG5 + 1, (uintptr_t{1} << 40) | kG2};
    const std::string g2 = G(0, 1).name;
    for (const uintptr_t id : strays) {
        model.pending.Clear();
        const std::string name = "Macro " + std::to_string(id);
        EXPECT_EQ(
            assign.ApplySubListChoice(FunctionSubList::kMacro, id, ChoiceRecord{name, 1, 0, 0}),
            (GKeyUpdate{id, name}));
        EXPECT_EQ(G(0, 2).name, name) << id;
        EXPECT_EQ(G(0, 1).name, g2) << id;
        EXPECT_TRUE(model.pending.macroPending[0][0]) << id;
    }
}

TEST_F(KeyAssignmentTest, ShortcutResultGoesToTheRememberedGKey) {
    EXPECT_FALSE(assign.ApplyShortcutResult(ChoiceRecord{"Ctrl+Alt+A", 6, 5, 4}));
    EXPECT_TRUE(NothingPending());

    assign.RememberShortcutButton(kG2);
    auto update = assign.ApplyShortcutResult(ChoiceRecord{"Ctrl+Alt+A", 6, 5, 4});
    ASSERT_TRUE(update);
    EXPECT_EQ(*update, (GKeyUpdate{kG2, "Ctrl+Alt+A"}));
    EXPECT_EQ(G(0, 1).action, (KeyAction{6, 5, 4}));
    EXPECT_EQ(G(0, 1).name, "Ctrl+Alt+A");
    EXPECT_EQ(G(0, 1).launchPath, "");
    EXPECT_TRUE(model.pending.keyTablePending[0]);
    // The remembered button stays for the next result.
    EXPECT_TRUE(assign.ApplyShortcutResult(ChoiceRecord{"F5", 6, 0, 62}));
    EXPECT_EQ(G(0, 1).action, (KeyAction{6, 0, 62}));
}

TEST_F(KeyAssignmentTest, QuickLaunchStoresNameAndPathAsTypeSeven) {
    EXPECT_FALSE(assign.ApplyQuickLaunchResult("/usr/bin/xcalc", ChoiceRecord{"xcalc", 7, 0, 0}));
    EXPECT_TRUE(NothingPending());

    model.settings.SetCurrentProfile(1);
    assign.RememberQuickLaunchButton(kG5);
    EXPECT_EQ(*assign.ApplyQuickLaunchResult("/usr/bin/xcalc", ChoiceRecord{"xcalc", 7, 0, 0}),
              (GKeyUpdate{kG5, "xcalc"}));
    EXPECT_EQ(G(1, 4).action, (KeyAction{7, 0, 0}));
    EXPECT_EQ(G(1, 4).name, "xcalc");
    EXPECT_EQ(G(1, 4).launchPath, "/usr/bin/xcalc");
    EXPECT_TRUE(model.pending.keyTablePending[1]);
}

}  // namespace
}  // namespace lumbra
