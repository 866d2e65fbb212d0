// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "sim/SimStateFile.h"

namespace lumbra {
namespace {

TEST(SimStateFile, StateTextRoundTripsAndRejectsDamage) {
    SimKeyboardState state = SimKeyboardState::Factory();
    state.currentProfile = 1;
    state.profiles[2].actions[4] = KeyAction{0x07, 0, 0};
    state.profiles[0].macros[2][5] = 0xAB;
    const std::string text = FormatSimState(state);
    EXPECT_EQ(ParseSimState(text), state);
    std::string damaged = text;
    damaged[damaged.find("Profile1Keys=") + 14] = 'G';
    EXPECT_FALSE(ParseSimState(damaged));
    EXPECT_FALSE(ParseSimState(text.substr(0, text.size() / 2)));
}

}  // namespace
}  // namespace lumbra
