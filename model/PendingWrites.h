// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "model/KeyboardProfile.h"

namespace lumbra {

// PC-side changes not yet sent to the keyboard. Flags of slots 3 and 4 may be
// set but are never sent: those profiles exist only on the PC.
struct PendingWrites {
    std::array<bool, kProfileSlotCount> lightingPending{};
    std::array<bool, kProfileSlotCount> keyTablePending{};
    // macroPending[slot][g]
    std::array<std::array<bool, kGKeyCount>, kProfileSlotCount> macroPending{};

    void Clear() { *this = PendingWrites{}; }

    // Flag setters that ignore slots and G keys out of range.
    void MarkLighting(int slot);
    void MarkKeyTable(int slot);
    void MarkMacro(int slot, int g);

    friend bool operator==(const PendingWrites&, const PendingWrites&) = default;
};

}  // namespace lumbra
