#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "device/ProgramLauncher.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

TEST(ProgramLauncher, StartsAnExecutableFileWithoutAShell) {
    test::TempDir dir;
    // The name holds a shell's special characters: a shell would stumble here.
    const std::string script = dir.path + "touch me;$(x).sh";
    const std::string marker = dir.path + "touched";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\ntouch '" << marker << "'\n";
    }
    chmod(script.c_str(), 0700);

    SpawnProgramLauncher launcher;
    launcher.Open(script);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(marker) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(std::filesystem::exists(marker));
}

}  // namespace
}  // namespace lumbra
