// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "app/MainWindowLayout.h"
#include "keys/ButtonIds.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

const ControlLayout& Control(int id, int list) {
    for (const ControlLayout& c : MainWindowControls()) {
        if (c.id == id && c.list == list) return c;
    }
    ADD_FAILURE() << "no control " << id << " in list " << list;
    return MainWindowControls()[0];
}

TEST(MainWindowLayout, ListsHoldTheirControlsInCreationOrder) {
    std::map<int, int> perList;
    for (const ControlLayout& c : MainWindowControls()) ++perList[c.list];
    EXPECT_EQ(perList[0], 11);
    EXPECT_EQ(perList[1], 8 + 103);
    EXPECT_EQ(perList[2], 11);
    EXPECT_EQ(perList[3], 5);
    EXPECT_EQ(perList[4], 2);

    std::vector<int> macroPage;
    for (const ControlLayout& c : MainWindowControls()) {
        if (c.list == 2) macroPage.push_back(c.id);
    }
    EXPECT_EQ(macroPage,
              (std::vector<int>{2100, 2101, 2102, 2103, 2111, 2112, 2113, 2114, 2109, 2115, 2116}));
}

TEST(MainWindowLayout, KeyButtonsCarryTheirNamesAndFactoryCodesInIdOrder) {
    std::istringstream rows(test::Fixture("key_buttons.tsv"));
    std::string line;
    int expectedId = kFirstKeyButtonId;
    for (const ControlLayout& c : MainWindowControls()) {
        if (c.kind != ControlKind::kKeyboardButton) continue;
        do {
            std::getline(rows, line);
        } while (!line.empty() && line[0] == '#');
        std::istringstream fields(line);
        int id = 0, code = 0;
        std::string name;
        fields >> id >> code;
        fields.ignore(1);
        std::getline(fields, name);
        EXPECT_EQ(c.id, expectedId++);
        EXPECT_EQ(c.id, id);
        EXPECT_EQ(c.keyCode, code) << name;
        EXPECT_EQ(c.keyName, name);
        EXPECT_EQ(c.frames, 3);
    }
    EXPECT_EQ(expectedId, kLastKeyButtonId + 1);
}

TEST(MainWindowLayout, IrregularKeysStandWhereThePictureHasThem) {
    EXPECT_EQ(Control(2233, 1).rect.x, 592);  // the keypad's top row
    EXPECT_EQ(Control(2236, 1).rect.x, 659);
    EXPECT_EQ(Control(2257, 1).rect.height, 43);  // Keypad +
    EXPECT_EQ(Control(2290, 1).rect.height, 42);  // Keypad Enter
    const LayoutRect enter = Control(2270, 1).rect;
    EXPECT_EQ(enter.width, 25);
    EXPECT_EQ(enter.height, 43);
    EXPECT_EQ(enter.y, Control(2237, 1).rect.y) << "Enter starts on the row of Tab";
    const LayoutRect backslash = Control(2250, 1).rect;
    EXPECT_EQ(backslash.y, Control(2259, 1).rect.y) << "\\ sits on the row of A";
    EXPECT_GT(backslash.x, Control(2269, 1).rect.x) << "right of '";
    EXPECT_EQ(Control(2294, 1).rect.width, 134);  // Space
}

TEST(MainWindowLayout, GKeyTabsShareThePageTwoTabsId) {
    int gkeyTabs = 0;
    for (const ControlLayout& c : MainWindowControls()) {
        if (c.id == 2005 && c.list == 1) {
            EXPECT_EQ(c.rect.x, 150);
            EXPECT_EQ(c.png, 381 + gkeyTabs);
            ++gkeyTabs;
        }
    }
    EXPECT_EQ(gkeyTabs, 5);
    EXPECT_EQ(Control(2005, 0).png, 263);
}

TEST(MainWindowLayout, ComboButtonsOpenTheirPopupsWithTheirMessages) {
    for (int id = 2078; id <= 2082; ++id) {
        const ControlLayout& c = Control(id, 3);
        EXPECT_EQ(c.kind, ControlKind::kComboButton);
        EXPECT_EQ(c.releaseMessage, 0x404);
        EXPECT_EQ(c.displayText, "No Function");
        EXPECT_EQ(c.rect.y, 218 + (id - 2078) * 35);
        EXPECT_EQ(c.frames, 5);
    }
    EXPECT_EQ(Control(2090, 4).releaseMessage, 0x424);
    EXPECT_EQ(Control(2090, 4).displayText, "Red");
    EXPECT_EQ(Control(2091, 4).releaseMessage, 0x427);
    EXPECT_EQ(Control(2091, 4).displayText, "100%");
}

TEST(MainWindowLayout, EveryControlFitsInsideTheWindow) {
    for (const ControlLayout& c : MainWindowControls()) {
        EXPECT_GE(c.rect.x, 0) << c.id;
        EXPECT_GE(c.rect.y, 0) << c.id;
        EXPECT_LE(c.rect.x + c.rect.width, kMainWindowWidth) << c.id;
        EXPECT_LE(c.rect.y + c.rect.height, kMainWindowHeight) << c.id;
    }
}

}  // namespace
}  // namespace lumbra
