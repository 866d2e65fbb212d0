// SPDX-License-Identifier: GPL-3.0-or-later
// Saves the user asked for that fail are said once, naming the file and the
// reason, and files that depend on each other are written library first.

#include <gtest/gtest.h>

#include <filesystem>

#include "AppTestSupport.h"
#include "app/MainWindowMessages.h"
#include "model/KeyAction.h"
#include "storage/ProfileFile.h"

namespace lumbra::test {
namespace {

namespace fs = std::filesystem;

TEST(FailedSaves, ApplyAndSaveProfileThatCannotWriteSaySoOnceAndKeepWhatDependsOnIt) {
    MainWindowRig rig;
    rig.Start();
    const std::string library = rig.Config("MacroLibraryFile.mlf");
    const std::string profile0 = rig.Config("default0.psf");
    const std::string before0 = ReadText(profile0);
    ASSERT_FALSE(before0.empty());
    // G1 of profile 1 plays a macro of the library; profile 2 names none.
    rig.library.SetAt(0)->AddKey("Typed");
    *rig.model.Profile(0).GKey(0) = GKeySlot{"Typed", "", KeyAction{KeyActionType::kMacro, 0, 0}};
    rig.model.Profile(1).SetPairValue(KeyboardProfile::kProfileNamePair, "Racing");
    rig.dlg->Link().SetLibraryChanged(true);
    fs::remove(library);
    fs::create_directory(library);

    testing::internal::CaptureStderr();
    rig.ClickControl(MainId::kOk);
    const std::string said = testing::internal::GetCapturedStderr();

    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0], "Attention!|Could not save " + library +
                                           ": Is a directory. 1 other file was not saved either.");
    EXPECT_NE(said.find("lumbra: Could not save " + profile0), std::string::npos) << said;
    EXPECT_EQ(ReadText(profile0), before0) << "the profile naming the macro is not saved";
    EXPECT_NE(ReadText(rig.Config("default1.psf")).find("Racing"), std::string::npos);
    EXPECT_TRUE(rig.dlg->Link().LibraryChanged()) << "the next Apply tries again";

    // Save Profile into a path that cannot be a file: said, and the slot stays.
    const std::string settings = ReadText(rig.Config("config.ini"));
    rig.dialogs.savePath = rig.Config("default1.psf/racing.psf");
    rig.dlg->Commands().RunMenuCommand(MainCommand::kSaveProfile);
    EXPECT_EQ(rig.dialogs.messages.back(),
              "Attention!|Could not save " + *rig.dialogs.savePath + ": Not a directory.");
    EXPECT_EQ(rig.model.settings.SlotPath(0), profile0);
    EXPECT_EQ(ReadText(rig.Config("config.ini")), settings);
}

}  // namespace
}  // namespace lumbra::test
