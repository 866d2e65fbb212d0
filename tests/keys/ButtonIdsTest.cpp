// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "keys/ButtonIds.h"
#include "model/KeyboardModel.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

TEST(KeyPositionMap, IdsOutsideTheKeyButtonsMapToPositionTen) {
    EXPECT_EQ(KeyPosition(0x897), 10u);
    EXPECT_EQ(KeyPosition(0x8FF), 10u);
    EXPECT_EQ(KeyPosition(0), 10u);
    EXPECT_EQ(KeyPosition(0x898), 32u);
    EXPECT_EQ(KeyPosition(0x8FE), 127u);
}

struct KeyButtonRow {
    int id;
    int code;
    std::string name;
};

std::vector<KeyButtonRow> KeyButtonRows() {
    std::istringstream in(test::Fixture("key_buttons.tsv"));
    std::vector<KeyButtonRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        KeyButtonRow row;
        fields >> row.id >> row.code;
        fields.ignore(1);
        std::getline(fields, row.name);
        rows.push_back(row);
    }
    return rows;
}

TEST(KeyPositionMap, EveryKeyButtonReadsItsOwnFactoryCodeFromTheDefaultTable) {
    const auto rows = KeyButtonRows();
    ASSERT_EQ(rows.size(), kKeyButtonCount);
    KeyboardModel model;
    model.Profile(0).ResetDefaults(0);
    const auto codes = model.RefreshKeyButtons(0);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].id, kFirstKeyButtonId + static_cast<int>(i));
        EXPECT_EQ(kDefaultKeyTable[KeyPosition(rows[i].id)], rows[i].code) << rows[i].name;
        EXPECT_EQ(codes[i], rows[i].code) << rows[i].name;
    }
}

TEST(KeyboardModel, SetKeyCodeStoresAtTheButtonsPosition) {
    KeyboardModel model;
    model.settings.SetCurrentProfile(2);
    model.Profile(2).ResetDefaults(2);
    model.SetKeyCode(KeyPosition(0x8BE), 0xEB);  // Q keeps its own code
    model.SetKeyCode(KeyPosition(0x8D2), 0x29);  // Caps Lock becomes Esc
    model.SetKeyCode(KeyPosition(0x8FF), 0x00);  // not a key button: position 10
    EXPECT_EQ(model.Profile(2).Keys()[96], 0xEB);
    EXPECT_EQ(model.Profile(2).Keys()[111], 0x29);
    EXPECT_EQ(model.RefreshKeyButtons(2)[0x8D2 - 0x898], 0x29);
    EXPECT_EQ(model.Profile(2).Keys()[10], 0x00);
    model.SetKeyCode(kKeyTableSize, 0x2C);  // past the table: position 10 as well
    EXPECT_EQ(model.Profile(2).Keys()[10], 0x2C);
}

}  // namespace
}  // namespace lumbra
