// SPDX-License-Identifier: GPL-3.0-or-later
// One fuzz target per file reader, chosen at build time. Each reader must
// survive any bytes; and whatever it accepts, writing it out and reading that
// back must give the same text again, so nothing a reader takes in can be
// mangled by the next save.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"

namespace {

using namespace lumbra;

[[maybe_unused]] void Check(bool condition) {
    if (!condition) std::abort();
}

template <typename Model, typename Parse, typename Format>
[[maybe_unused]] void RoundTrip(std::string_view bytes, Parse parse, Format format) {
    Model first{};
    if (!parse(bytes, first)) return;
    const std::string written = format(first);
    Model second{};
    Check(parse(written, second));
    Check(format(second) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
#if defined(LUMBRA_FUZZ_SETTINGS)
    SettingsStore store;
    ParseSettings(bytes, store);
#elif defined(LUMBRA_FUZZ_PROFILE)
    RoundTrip<KeyboardProfile>(
        bytes, [](std::string_view t, KeyboardProfile& p) { return ParseProfile(t, p); },
        [](const KeyboardProfile& p) { return FormatProfile(p); });
#elif defined(LUMBRA_FUZZ_MACRO_LIBRARY)
    MacroLibrary library;
    if (ParseMacroLibrary(bytes, library)) {
        const std::string written = FormatMacroLibrary(library);
        MacroLibrary again;
        Check(ParseMacroLibrary(written, again));
        Check(FormatMacroLibrary(again) == written);
    } else {
        Check(library.MacroSetNum() == 0);
    }
#elif defined(LUMBRA_FUZZ_MACRO_KEY)
    RoundTrip<MacroKey>(
        bytes, [](std::string_view t, MacroKey& k) { return ParseMacroKeyFile(t, k); },
        [](const MacroKey& k) { return FormatMacroKeyFile(k); });
#else
#error "choose a reader"
#endif
    return 0;
}
