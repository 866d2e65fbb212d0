#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/InstanceLock.h"

namespace lumbra {
namespace {

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    auto dir = std::filesystem::temp_directory_path() / ("lumbra-lock-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    InstanceLock first, second;
    ASSERT_TRUE(first.TryAcquire("Halvard Tessal", dir.string()));
    EXPECT_TRUE(std::filesystem::exists(dir / "Halvard Tessal.lock"));
    EXPECT_FALSE(second.TryAcquire("Halvard Tessal", dir.string()));
    first.Release();
    EXPECT_TRUE(second.TryAcquire("Halvard Tessal", dir.string()));
    EXPECT_FALSE(InstanceLock().TryAcquire("x", (dir / "missing").string()));
    second.Release();
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lumbra
