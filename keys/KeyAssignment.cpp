// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/KeyAssignment.h"

#include <algorithm>

#include "keys/ButtonIds.h"
#include "model/KeyTable.h"

namespace lumbra {

namespace {

// Key buttons whose own HID usage the keyboard holds as a factory code of its own.
constexpr int kF1Button = 0x899;
constexpr int kF12Button = 0x8A4;
constexpr uint8_t kHidF1 = 58;
constexpr uint8_t kHidF12 = 69;
constexpr uint8_t kFactoryF1 = 192;

struct OwnUsage {
    int buttonId;
    uint8_t usage;
    uint8_t factory;
};
constexpr OwnUsage kOwnUsages[] = {
    {0x8B3, 45, 232},   // '-'
    {0x8B4, 46, 233},   // '+'
    {0x8B8, 75, 205},   // Page Up
    {0x8CD, 78, 206},   // Page Down
    {0x8BE, 20, 235},   // Q
    {0x8BF, 26, 234},   // W
    {0x8F4, 227, 207},  // Win_L
};

bool IsKeyButton(uintptr_t id) { return id >= kFirstKeyButtonId && id <= kLastKeyButtonId; }

// The G key (0..4) of a G-key button; -1 for an id that names none.
int GKeyOfButton(uintptr_t buttonId) {
    if (buttonId >= kFirstGKeyButtonId && buttonId <= kLastGKeyButtonId)
        return static_cast<int>(buttonId - kFirstGKeyButtonId);
    return -1;
}

// The G key (0..4) whose macro a button's assignment sends: G2..G5 for their
// buttons, G1 for the first and for any other id.
int MacroGKey(uintptr_t buttonId) { return std::max(GKeyOfButton(buttonId), 0); }

// Which of G1..G5 a button stands for when it names its default function;
// any other id is taken as G1's button.
int DefaultFunctionNumber(uintptr_t buttonId) { return MacroGKey(buttonId) + 1; }

}  // namespace

uint8_t IdentityMappedCode(int buttonId, uint8_t code) {
    // Any F key's button given an F usage takes that F key's factory code.
    if (buttonId >= kF1Button && buttonId <= kF12Button && code >= kHidF1 && code <= kHidF12)
        return static_cast<uint8_t>(code - kHidF1 + kFactoryF1);
    for (const OwnUsage& k : kOwnUsages)
        if (k.buttonId == buttonId && k.usage == code) return k.factory;
    return code;
}

uint8_t FactoryKeyCode(int buttonId) {
    if (!IsKeyButton(static_cast<uintptr_t>(buttonId))) return 0;
    return kDefaultKeyTable[KeyPosition(buttonId)];
}

Point FunctionSubListOrigin(FunctionSubList list, const Rect& button) {
    const int x = button.right - 6;
    switch (list) {
        case FunctionSubList::kMacro:
            return {x, button.bottom - 2};
        case FunctionSubList::kMultimedia:
            return {x, button.bottom + 16};
        case FunctionSubList::kWindowManage:
            return {x, button.bottom + 32};
        case FunctionSubList::kMouseFunction:
            return {x, button.bottom + 48};
    }
    return {x, button.bottom};
}

std::optional<KeyButtonUpdate> KeyAssignment::StoreKeyCode(uintptr_t buttonId, uint8_t chosenCode) {
    if (!IsKeyButton(buttonId)) return std::nullopt;
    const int id = static_cast<int>(buttonId);
    const uint8_t code = IdentityMappedCode(id, chosenCode);
    m_model.SetKeyCode(KeyPosition(id), code);
    m_model.pending.MarkKeyTable(m_model.CurrentSlot());
    return KeyButtonUpdate{id, code, code != FactoryKeyCode(id)};
}

GKeyUpdate KeyAssignment::Assign(uintptr_t buttonId, std::string name, std::string path,
                                 KeyAction action) {
    const int slot = m_model.CurrentSlot();
    m_model.pending.MarkKeyTable(slot);
    // An id that names no G-key button gives -1, which the model takes as G3.
    m_model.AssignGKeyFunction(GKeyOfButton(buttonId), name, std::move(path), action);
    return GKeyUpdate{buttonId, std::move(name)};
}

std::optional<GKeyUpdate> KeyAssignment::ApplyFunctionMenuChoice(uintptr_t buttonId,
                                                                 const ChoiceRecord& record) {
    if (buttonId == 0) return std::nullopt;
    m_model.pending.MarkKeyTable(m_model.CurrentSlot());
    if (record.b0 == KeyActionType::kKeyCombination) {
        const int n = DefaultFunctionNumber(buttonId);
        const KeyAction action{record.b0, record.b1, DefaultGKeyAction(n).param2};
        return Assign(buttonId, DefaultGKeyName(n), "", action);
    }
    if (record.b0 == KeyActionType::kNone)
        return Assign(buttonId, "No Function", "", KeyAction{0, 0, 0});
    return std::nullopt;
}

GKeyUpdate KeyAssignment::ApplySubListChoice(FunctionSubList list, uintptr_t buttonId,
                                             const ChoiceRecord& record) {
    if (list != FunctionSubList::kMacro)
        return Assign(buttonId, record.text, "", KeyAction{record.b0, record.b1, record.b2});
    GKeyUpdate update = Assign(buttonId, record.text, "", KeyAction{KeyActionType::kMacro, 0, 0});
    m_model.pending.MarkMacro(m_model.CurrentSlot(), MacroGKey(buttonId));
    return update;
}

std::optional<GKeyUpdate> KeyAssignment::ApplyShortcutResult(const ChoiceRecord& record) {
    if (!m_shortcutButton) return std::nullopt;
    return Assign(*m_shortcutButton, record.text, "", KeyAction{record.b0, record.b1, record.b2});
}

std::optional<GKeyUpdate> KeyAssignment::ApplyQuickLaunchResult(const std::string& fullPath,
                                                                const ChoiceRecord& record) {
    if (!m_quickLaunchButton) return std::nullopt;
    return Assign(*m_quickLaunchButton, record.text, fullPath,
                  KeyAction{KeyActionType::kQuickLaunch, 0, 0});
}

}  // namespace lumbra
