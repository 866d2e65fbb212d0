// SPDX-License-Identifier: GPL-3.0-or-later
// A process killed while it rewrites its files must leave every file whole:
// the old version or the new one, and readable.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "tests/TestSupport.h"

namespace lumbra {
namespace {

MacroLibrary Library(uint8_t key, int macros) {
    MacroLibrary library;
    MacroSet* set = library.AddSet("Keyboard Macro Set");
    for (int i = 0; i < macros; ++i) {
        MacroKey* macro = set->AddKey("M" + std::to_string(i));
        for (uint32_t a = 0; a < 150; ++a)
            macro->InsertAction(a, MacroAction::KeyEvent(key, a % 2));
    }
    return library;
}

KeyboardProfile Profile(int color) {
    KeyboardProfile profile;
    profile.ResetDefaults(1);
    profile.SetLightColor(color);
    return profile;
}

TEST(CrashSafety, KilledWritersLeaveTheOldOrTheNewFile) {
    test::TempDir dir;
    const std::string profilePath = dir.Path("config/default1.psf");
    const MacroLibrary versions[2] = {Library(0x41, 40), Library(0x42, 60)};
    const std::string libraryTexts[2] = {FormatMacroLibrary(versions[0]),
                                         FormatMacroLibrary(versions[1])};
    const std::string profileTexts[2] = {FormatProfile(Profile(2)), FormatProfile(Profile(5))};
    ASSERT_TRUE(WriteMacroLibrary(versions[0], dir.Dir()));
    ASSERT_TRUE(WriteProfileFile(Profile(2), profilePath));

    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const KeyboardProfile profiles[2] = {Profile(2), Profile(5)};
            for (unsigned i = 0;; ++i) {
                WriteMacroLibrary(versions[i % 2], dir.Dir());
                WriteProfileFile(profiles[i % 2], profilePath);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 60));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::string library = test::ReadBytes(MacroLibraryFilePath(dir.Dir()));
        EXPECT_TRUE(library == libraryTexts[0] || library == libraryTexts[1]) << round;
        MacroLibrary read;
        EXPECT_TRUE(ReadMacroLibrary(read, dir.Dir())) << round;
        const std::string profile = test::ReadBytes(profilePath);
        EXPECT_TRUE(profile == profileTexts[0] || profile == profileTexts[1]) << round;
        KeyboardProfile readProfile;
        EXPECT_TRUE(ParseProfile(profile, readProfile)) << round;
    }
}

}  // namespace
}  // namespace lumbra
