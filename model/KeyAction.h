// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lumbra {

// The function of a G key, three bytes in the order the keyboard and the
// profile files carry them: type, param1, param2.
struct KeyAction {
    uint8_t type = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;

    friend bool operator==(const KeyAction&, const KeyAction&) = default;
};

namespace KeyActionType {
constexpr uint8_t kNone = 0x00;
constexpr uint8_t kMacro = 0x01;
constexpr uint8_t kConsumer = 0x02;
constexpr uint8_t kMouseButton = 0x03;
constexpr uint8_t kDoubleClick = 0x04;
constexpr uint8_t kFire = 0x05;
constexpr uint8_t kKeyCombination = 0x06;
constexpr uint8_t kQuickLaunch = 0x07;
}  // namespace KeyActionType

// Modifier bits of a key combination (param1 of type 0x06).
namespace KeyModifier {
constexpr uint8_t kCtrl = 0x01;
constexpr uint8_t kShift = 0x02;
constexpr uint8_t kAlt = 0x04;
constexpr uint8_t kWin = 0x08;
}  // namespace KeyModifier

// The function offered as "Default Function" for G key n (1..5): Ctrl with the
// digit n, named "CTRL+n". Any other n is taken as 1.
KeyAction DefaultGKeyAction(int n);
std::string DefaultGKeyName(int n);

}  // namespace lumbra
