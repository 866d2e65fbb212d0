// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PendingWrites.h"

namespace lumbra {
namespace {

bool SlotInRange(int slot) { return slot >= 0 && slot < kProfileSlotCount; }

}  // namespace

void PendingWrites::MarkLighting(int slot) {
    if (SlotInRange(slot)) lightingPending[static_cast<size_t>(slot)] = true;
}

void PendingWrites::MarkKeyTable(int slot) {
    if (SlotInRange(slot)) keyTablePending[static_cast<size_t>(slot)] = true;
}

void PendingWrites::MarkMacro(int slot, int g) {
    if (SlotInRange(slot) && g >= 0 && g < kGKeyCount) {
        macroPending[static_cast<size_t>(slot)][static_cast<size_t>(g)] = true;
    }
}

}  // namespace lumbra
