// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's answers are outside data too. Any bytes in a MacroReport,
// a lighting answer or a key-table answer must decode without reading past
// the report, give a macro within its limits, and pack back into a report
// whose entry count matches what it carries.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "device/Reports.h"
#include "model/NameTables.h"

namespace {

using namespace lumbra;

void Check(bool condition) {
    if (!condition) std::abort();
}

template <size_t N>
std::array<uint8_t, N> Take(const uint8_t*& data, size_t& size) {
    std::array<uint8_t, N> bytes{};
    const size_t n = std::min(N, size);
    std::copy(data, data + n, bytes.begin());
    data += n;
    size -= n;
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto macro = Take<MacroReport::kLength>(data, size);
    const auto lighting = Take<LightingReport::kLength>(data, size);
    const auto keyTable = Take<KeyTableReport::kLength>(data, size);

    const MacroReportName name = DecodeMacroReportName(macro, 1, 3);
    Check(!name.name.empty() && name.name.size() <= MacroReport::kNameLength);
    for (char c : name.name) Check(c != '\n' && c != '\r' && c != '\0');

    MacroKey key(name.name);
    UnpackMacroReport(macro, key);
    Check(key.MacroActionNum <= MacroKey::kSlotCount);
    Check(key.LoopEnable == (macro[MacroReport::kLoopOffset] != 0 ? 1u : 0u));

    const MacroReportBytes packed = PackMacroKey(key, 1, 3);
    Check(packed[0] == MacroReport::kId && packed[2] == 1 && packed[3] == 3);
    const size_t count = packed[MacroReport::kCountOffset];
    Check(count <= MacroReport::kMaxEntries);
    // Nothing is carried beyond the entries the count announces.
    for (size_t i = MacroReport::kEntriesOffset + count * MacroReport::kEntrySize;
         i < MacroReport::kLength; ++i) {
        Check(packed[i] == 0);
    }
    MacroKey again("again");
    UnpackMacroReport(packed, again);
    Check(again.MacroActionNum <= MacroKey::kSlotCount);

    const Lighting light = DecodeLightingReport(lighting);
    Check(light.mode >= 1 && light.mode <= 7);
    Check(light.brightness == 1 || light.brightness == 2 || light.brightness == 4 ||
          light.brightness == 8 || light.brightness == 24);

    KeyboardProfile profile;
    DecodeKeyTableReport(keyTable, profile);
    const KeyTableReportBytes encoded = EncodeKeyTableReport(profile, 2);
    Check(std::equal(encoded.begin() + KeyTableReport::kTableOffset, encoded.end() - 1,
                     keyTable.begin() + KeyTableReport::kTableOffset));
    return 0;
}
