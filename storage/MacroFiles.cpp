// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/MacroFiles.h"

#include <algorithm>
#include <optional>

#include "model/Decimal.h"
#include "model/NameText.h"
#include "storage/HexText.h"
#include "storage/TextFile.h"

namespace lumbra {
namespace {

constexpr std::string_view kLibraryHeader = "[MacroLibrary]";
constexpr std::string_view kMacroKeyHeader = "[MacroKey]";
constexpr size_t kSlotDigits = 8;
constexpr size_t kAllActionDigits = MacroKey::kSlotCount * kSlotDigits;
static_assert(kAllActionDigits == 1600);

// Lines are matched by position; the key before the first '=' is not read.
// A line without '=' or with nothing after it is bad.
std::optional<std::string_view> ValueOf(std::optional<std::string_view> line) {
    if (!line) return std::nullopt;
    const size_t p = line->find('=');
    if (p == std::string_view::npos || p + 1 >= line->size()) return std::nullopt;
    return line->substr(p + 1);
}

// A name and its line end; a control character in it is written as '_'
// (CleanStoredName), in place.
void AppendName(std::string& out, std::string_view name) {
    const size_t at = out.size();
    out += name;
    std::replace_if(out.begin() + static_cast<std::ptrdiff_t>(at), out.end(), IsControlCharacter,
                    '_');
    out += kLineEnd;
}

void AppendAllAction(std::string& out, const MacroKey& key) {
    for (const MacroAction& action : key.AllAction) {
        for (uint8_t b : action.bytes) AppendHexByte(out, b);
    }
}

bool DecodeAllAction(std::string_view value, MacroKey& key) {
    if (value.size() != kAllActionDigits) return false;
    for (uint32_t k = 0; k < MacroKey::kSlotCount; ++k) {
        MacroAction action;
        for (size_t b = 0; b < 4; ++b) {
            action.bytes[b] = ParseHexPair(value.substr(k * kSlotDigits + 2 * b, 2));
        }
        key.SetAction(k, action);
    }
    return true;
}

// A file may claim more steps or keyboard commands than a macro can hold. The
// counts are clamped here, once, so that no list, editor or report builder
// ever reads past the 200 slots or fills more than the keyboard's record.
void ClampCounts(MacroKey& key) {
    if (key.MacroActionNum > MacroKey::kSlotCount) key.MacroActionNum = MacroKey::kSlotCount;
    if (key.MacroCommandActionNum > MacroKey::kMaxCommands) {
        key.MacroCommandActionNum = MacroKey::kMaxCommands;
    }
}

// Loop settings, counts and steps: the five value lines that follow a macro's
// name in the library and the header in a macro key file.
bool ReadMacroBody(LineReader& lines, MacroKey& key) {
    const auto loopEnable = ValueOf(lines.Next());
    if (!loopEnable) return false;
    key.LoopEnable = ParseUnsignedDecimal(*loopEnable);
    const auto loopNum = ValueOf(lines.Next());
    if (!loopNum) return false;
    key.LoopNum = static_cast<uint8_t>(ParseUnsignedDecimal(*loopNum));
    const auto actionNum = ValueOf(lines.Next());
    if (!actionNum) return false;
    key.MacroActionNum = ParseUnsignedDecimal(*actionNum);
    const auto commandNum = ValueOf(lines.Next());
    if (!commandNum) return false;
    key.MacroCommandActionNum = static_cast<uint8_t>(ParseUnsignedDecimal(*commandNum));
    ClampCounts(key);
    const auto allAction = ValueOf(lines.Next());
    return allAction && DecodeAllAction(*allAction, key);
}

bool ParseLibraryLines(LineReader& lines, MacroLibrary& library) {
    const auto header = lines.Next();
    if (!header || *header != kLibraryHeader) return false;
    const auto setCount = ValueOf(lines.Next());
    if (!setCount) return false;
    // Counts below 1 (a negative count too) mean "none".
    const int32_t sets = ParseDecimal(*setCount);
    for (int32_t i = 0; i < sets; ++i) {
        const auto setName = ValueOf(lines.Next());
        if (!setName) return false;
        MacroSet* set = library.AddSet(CleanStoredName(*setName));
        if (!set) return false;
        const auto keyCount = ValueOf(lines.Next());
        if (!keyCount) return false;
        const int32_t keys = ParseDecimal(*keyCount);
        for (int32_t j = 0; j < keys; ++j) {
            const auto keyName = ValueOf(lines.Next());
            if (!keyName) return false;
            // Kept whole, even when the keyboard keeps only a part of it: two
            // names that share that part stay two macros.
            MacroKey* key = set->AddKey(CleanStoredName(*keyName));
            if (!key || !ReadMacroBody(lines, *key)) return false;
        }
    }
    return true;
}

}  // namespace

std::string MacroLibraryFilePath(const std::string& appDirectory) {
    return appDirectory + "config/MacroLibraryFile.mlf";
}

std::string FormatMacroLibrary(const MacroLibrary& library) {
    // Sized once, names included: a library near the read limit is not
    // copied again and again as it grows.
    size_t size = 64;
    for (uint32_t i = 0; i < library.MacroSetNum(); ++i) {
        const MacroSet& set = *library.SetAt(i);
        size += 64 + set.name.size();
        for (uint32_t j = 0; j < set.MacroKeyNum(); ++j)
            size += kAllActionDigits + 200 + set.KeyAt(j)->name.size();
    }
    std::string out;
    out.reserve(size);

    AppendLine(out, kLibraryHeader);
    AppendLine(out, "MacroSetNum=" + std::to_string(library.MacroSetNum()));
    for (uint32_t i = 0; i < library.MacroSetNum(); ++i) {
        const MacroSet& set = *library.SetAt(i);
        out += "\tMacroSet" + std::to_string(i) + "Name=";
        AppendName(out, set.name);
        AppendLine(out, "\t\tMacroKeyNum=" + std::to_string(set.MacroKeyNum()));
        for (uint32_t j = 0; j < set.MacroKeyNum(); ++j) {
            const MacroKey& key = *set.KeyAt(j);
            const std::string tag = "MacroKey" + std::to_string(j);
            out += "\t\t" + tag + "Name=";
            AppendName(out, key.name);
            AppendLine(out, "\t\t\t" + tag + "LoopEnable=" + std::to_string(key.LoopEnable));
            AppendLine(out, "\t\t\t" + tag + "LoopNum=" + std::to_string(key.LoopNum));
            AppendLine(out, "\t\t\tMacroActionNum=" + std::to_string(key.MacroActionNum));
            AppendLine(out,
                       "\t\t\tMacroCommandActionNum=" + std::to_string(key.MacroCommandActionNum));
            out += "\t\t\tAllAction=";
            AppendAllAction(out, key);
            out += kLineEnd;
        }
    }
    return out;
}

bool ParseMacroLibrary(std::string_view text, MacroLibrary& library) {
    library.Clear();
    LineReader lines(text);
    if (ParseLibraryLines(lines, library)) return true;
    library.Clear();
    return false;
}

std::string FormatMacroKeyFile(const MacroKey& key) {
    std::string out;
    out.reserve(kAllActionDigits + 160);
    AppendLine(out, kMacroKeyHeader);
    AppendLine(out, "\tMacroKeyLoopEnable=" + std::to_string(key.LoopEnable));
    AppendLine(out, "\tMacroKeyLoopNum=" + std::to_string(key.LoopNum));
    AppendLine(out, "\tMacroActionNum=" + std::to_string(key.MacroActionNum));
    AppendLine(out, "\tMacroCommandActionNum=" + std::to_string(key.MacroCommandActionNum));
    out += "\t\tAllAction=";
    AppendAllAction(out, key);
    out += kLineEnd;
    return out;
}

bool ParseMacroKeyFile(std::string_view text, MacroKey& key) {
    LineReader lines(text);
    const auto header = lines.Next();
    if (!header || *header != kMacroKeyHeader) return false;
    // A failed import must not leave the macro half overwritten: read into a
    // copy and keep it only when the whole file was read.
    MacroKey imported = key;
    if (!ReadMacroBody(lines, imported)) return false;
    key = std::move(imported);
    return true;
}

namespace {

// The reader takes no empty name back.
bool NoEmptyName(const MacroLibrary& library) {
    for (uint32_t i = 0; i < library.MacroSetNum(); ++i) {
        const MacroSet& set = *library.SetAt(i);
        if (set.name.empty()) return false;
        for (uint32_t j = 0; j < set.MacroKeyNum(); ++j)
            if (set.KeyAt(j)->name.empty()) return false;
    }
    return true;
}

}  // namespace

bool WriteMacroLibrary(const MacroLibrary& library, const std::string& appDirectory,
                       WriteFailure* failure) {
    // What the reader would not take back is not written: the file on disk
    // stays the last one that can be read.
    const std::string path = MacroLibraryFilePath(appDirectory);
    if (!NoEmptyName(library)) return Refuse(failure, path, "a set or macro has no name");
    const std::string text = FormatMacroLibrary(library);
    if (text.size() > kMaxReadableFileSize)
        return Refuse(failure, path, "it would be too large to read back");
    return WriteFileAtomically(path, text, failure);
}

bool ReadMacroLibrary(MacroLibrary& library, const std::string& appDirectory) {
    library.Clear();
    const auto text = ReadWholeFile(MacroLibraryFilePath(appDirectory));
    return text && ParseMacroLibrary(*text, library);
}

bool LoadMacroLibraryOrDefault(MacroLibrary& library, const std::string& appDirectory) {
    if (ReadMacroLibrary(library, appDirectory)) return true;
    library.ResetToDefault();
    if (KeepRejectedFile(MacroLibraryFilePath(appDirectory)))
        WriteMacroLibrary(library, appDirectory);
    return false;
}

bool WriteMacroKeyFile(const MacroKey& key, const std::string& path, WriteFailure* failure) {
    return WriteFileAtomically(path, FormatMacroKeyFile(key), failure);
}

bool ReadMacroKeyFile(MacroKey& key, const std::string& path) {
    const auto text = ReadWholeFile(path);
    return text && ParseMacroKeyFile(*text, key);
}

}  // namespace lumbra
