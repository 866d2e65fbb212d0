// SPDX-License-Identifier: GPL-3.0-or-later
// Every reader of outside files meets bytes it did not write: truncated files,
// binary garbage, NUL bytes, endless lines. Whatever comes, a reader accepts
// or rejects, and never reads or writes out of bounds (the sanitizer build
// runs these too).

#include <gtest/gtest.h>

#include <random>

#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

struct Readers {
    // Runs every reader on the bytes and checks what must hold whether the
    // reader accepted them or not.
    static void Feed(std::string_view bytes) {
        SettingsStore store;
        ParseSettings(bytes, store);

        KeyboardProfile profile;
        ParseProfile(bytes, profile);

        MacroLibrary library;
        if (ParseMacroLibrary(bytes, library)) {
            for (uint32_t s = 0; s < library.MacroSetNum(); ++s) {
                const MacroSet& set = *library.SetAt(s);
                for (uint32_t k = 0; k < set.MacroKeyNum(); ++k) {
                    EXPECT_LE(set.KeyAt(k)->MacroActionNum, 200u);
                    EXPECT_LE(set.KeyAt(k)->MacroCommandActionNum, 100);
                }
            }
        } else {
            EXPECT_EQ(library.MacroSetNum(), 0u);
        }

        MacroKey key("x");
        if (ParseMacroKeyFile(bytes, key)) {
            EXPECT_LE(key.MacroActionNum, 200u);
        }
        EXPECT_EQ(key.name, "x");
    }
};

TEST(GarbageInput, EveryPrefixOfEveryValidFileIsHandled) {
    for (const char* name : {"settings/default.ini", "profile/default2.psf", "macro/two_sets.mlf",
                             "macro/press_release_a.mkf"}) {
        const std::string file = test::Fixture(name);
        for (size_t length = 0; length <= file.size(); length += (length < 400 ? 1 : 97)) {
            Readers::Feed(std::string_view(file).substr(0, length));
        }
    }
}

TEST(GarbageInput, RandomBytesAndMutatedFilesAreHandled) {
    std::mt19937 random(20261207);
    const std::string seeds[] = {
        test::Fixture("settings/default.ini"), test::Fixture("profile/default2.psf"),
        test::Fixture("macro/two_sets.mlf"), test::Fixture("macro/press_release_a.mkf")};
    for (int round = 0; round < 400; ++round) {
        std::string bytes = seeds[static_cast<size_t>(round) % std::size(seeds)];
        const int mutations = 1 + static_cast<int>(random() % 8);
        for (int m = 0; m < mutations && !bytes.empty(); ++m) {
            const size_t at = random() % bytes.size();
            switch (random() % 4) {
                case 0:
                    bytes[at] = static_cast<char>(random());
                    break;
                case 1:
                    bytes.erase(at, random() % 64);
                    break;
                case 2:
                    bytes.insert(at, 1 + random() % 8, static_cast<char>(random()));
                    break;
                default:
                    bytes[at] = (random() % 2) ? '\n' : '\0';
                    break;
            }
        }
        Readers::Feed(bytes);
    }
    for (int round = 0; round < 100; ++round) {
        std::string bytes(random() % 4096, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        Readers::Feed(bytes);
    }
}

TEST(GarbageInput, HugeLinesNulBytesAndNonUtf8NamesAreHandled) {
    Readers::Feed(std::string(3 << 20, 'A'));
    Readers::Feed("[MacroLibrary]\r\nMacroSetNum=1\r\n\tMacroSet0Name=" +
                  std::string(2 << 20, 'x'));
    Readers::Feed(std::string("[Setting]\0\r\n", 12));
    Readers::Feed("[MacroLibrary]\nMacroSetNum=2147483647\n");
    Readers::Feed("[MacroLibrary]\nMacroSetNum=1\nS=a\nMacroKeyNum=99999999999\n");

    SettingsStore store;
    constexpr char kWithNul[] = "[Setting]\nCurrent\0Profile=1\xff\xfe\n";
    const std::string withNul(kWithNul, sizeof kWithNul - 1);
    EXPECT_TRUE(ParseSettings(withNul, store));
    EXPECT_EQ(store.Name(0), std::string("Current\0Profile", 15));
    EXPECT_EQ(store.Value(0), "1\xff\xfe");
    const std::string written = FormatSettings(store);
    constexpr char kLine[] = "Current\0Profile=1\xff\xfe\r\n";
    EXPECT_NE(written.find(std::string(kLine, sizeof kLine - 1)), std::string::npos)
        << "bytes are stored and written back unchanged";

    MacroLibrary library;
    const std::string nonUtf8 =
        "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=\xc3\x28\x80\n\t\tMacroKeyNum=0\n";
    EXPECT_TRUE(ParseMacroLibrary(nonUtf8, library));
    EXPECT_EQ(library.SetAt(0)->name, "\xc3\x28\x80");
}

}  // namespace
}  // namespace lumbra
