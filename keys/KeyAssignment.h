// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/KeyboardModel.h"
#include "platform/Geometry.h"
#include "ui/CComboPopup.h"
#include "ui/ChoiceRecord.h"

namespace lumbra {

// Key codes of a key table that are not plain HID usages.
namespace KeyCode {
constexpr uint8_t kDisabled = 0;
constexpr uint8_t kFirstMouseFunction = 208;  // click
constexpr uint8_t kLastMouseFunction = 214;   // fire
}  // namespace KeyCode

// The code a key button stores when `code` is chosen for it: the key's own
// factory code when `code` is the plain HID usage of the key's own position
// (F1..F12, '-', '+', Page Up, Page Down, Q, W, Win_L), else `code` itself.
uint8_t IdentityMappedCode(int buttonId, uint8_t code);

// The factory code of a key button (what the factory key table holds at its
// position); 0 for an id that names no key button.
uint8_t FactoryKeyCode(int buttonId);

// What a key button shows after an assignment.
struct KeyButtonUpdate {
    int buttonId = 0;
    uint8_t code = 0;  // the button's new current code
    bool remapped = false;
    friend bool operator==(const KeyButtonUpdate&, const KeyButtonUpdate&) = default;
};

// What a G-key button shows after an assignment. The main window then sets
// the button's display text, releases it and closes the function menus.
struct GKeyUpdate {
    uintptr_t buttonId = 0;
    std::string displayName;
    friend bool operator==(const GKeyUpdate&, const GKeyUpdate&) = default;
};

// Where a sub-list opens (its top-left corner, in the main window's client
// coordinates) beside the function menu of the G-key button at `button`.
Point FunctionSubListOrigin(FunctionSubList list, const Rect& button);

// What the main window's key assignment does to the model: each operation
// stores a choice in the current profile (re-read from the settings every
// time) and marks what is pending for the next OK or Apply. Nothing reaches
// the keyboard here. Slots 3 and 4 are marked like the others; the flush
// never sends them. UI thread only, like the model.
class KeyAssignment {
public:
    explicit KeyAssignment(KeyboardModel& model) : m_model(model) {}

    // The key setting dialog's result: the key button and its chosen code.
    // nullopt, changing nothing, for an id that names no key button.
    std::optional<KeyButtonUpdate> StoreKeyCode(uintptr_t buttonId, uint8_t chosenCode);

    // A choice in the function menu of a G-key button (id 0: no button, no
    // choice): "Default Function" (type 6) or "No Function" (type 0). Marks
    // the key table pending in any case; nullopt for a record of any other type.
    std::optional<GKeyUpdate> ApplyFunctionMenuChoice(uintptr_t buttonId,
                                                      const ChoiceRecord& record);

    // A click in a sub-list; a macro's also marks the G key's macro pending.
    GKeyUpdate ApplySubListChoice(FunctionSubList list, uintptr_t buttonId,
                                  const ChoiceRecord& record);

    // The G-key button that asked for the shortcut dialog, kept for its
    // result; nullopt from the result while none was remembered.
    void RememberShortcutButton(uintptr_t buttonId) { m_shortcutButton = buttonId; }
    std::optional<GKeyUpdate> ApplyShortcutResult(const ChoiceRecord& record);

    // The same for the quick-launch dialog.
    void RememberQuickLaunchButton(uintptr_t buttonId) { m_quickLaunchButton = buttonId; }
    std::optional<GKeyUpdate> ApplyQuickLaunchResult(const std::string& fullPath,
                                                     const ChoiceRecord& record);

    std::optional<uintptr_t> ShortcutButton() const { return m_shortcutButton; }
    std::optional<uintptr_t> QuickLaunchButton() const { return m_quickLaunchButton; }

private:
    GKeyUpdate Assign(uintptr_t buttonId, std::string name, std::string path, KeyAction action);

    KeyboardModel& m_model;
    std::optional<uintptr_t> m_shortcutButton;
    std::optional<uintptr_t> m_quickLaunchButton;
};

}  // namespace lumbra
