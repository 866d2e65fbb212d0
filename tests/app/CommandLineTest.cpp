// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace lumbra {
namespace {

std::optional<CommandLine> Parse(std::vector<std::string> args, std::string* error = nullptr) {
    args.insert(args.begin(), "lumbra");
    return ParseCommandLine(args, error);
}

TEST(CommandLine, EveryOptionInBothSpellings) {
    auto line = Parse({"--simulate=/tmp/kb.state", "--sim-trace", "/tmp/t", "--sim-control=/tmp/f",
                       "--config-dir", "/tmp/c"});
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->simulate);
    EXPECT_EQ(line->simStateFile, "/tmp/kb.state");
    EXPECT_EQ(line->simTrace, "/tmp/t");
    EXPECT_EQ(line->simControl, "/tmp/f");
    EXPECT_EQ(line->configDir, "/tmp/c");
    line = Parse({"--simulate", "--config-dir=/x", "--help", "--version"});
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->simStateFile);
    EXPECT_EQ(line->configDir, "/x");
    EXPECT_TRUE(line->help);
    EXPECT_TRUE(line->version);
    EXPECT_FALSE(Parse({})->simulate);
}

TEST(CommandLine, RefusesUnknownOptionsMissingValuesAndSimulatorOptionsWithoutSimulate) {
    std::string error;
    EXPECT_FALSE(Parse({"--bogus"}, &error));
    EXPECT_NE(error.find("--bogus"), std::string::npos);
    EXPECT_FALSE(Parse({"--config-dir"}, &error));
    EXPECT_FALSE(Parse({"--simulate", "--sim-trace"}, &error));
    EXPECT_FALSE(Parse({"--simulate="}, &error));
    EXPECT_FALSE(Parse({"--config-dir="}, &error));
    EXPECT_FALSE(Parse({"--sim-trace", "/tmp/t"}, &error));
    EXPECT_NE(error.find("--simulate"), std::string::npos);
}

TEST(CommandLine, HiddenIsAFlagOfItsOwnAndTheUsageExplainsIt) {
    EXPECT_FALSE(Parse({})->hidden);
    const auto line = Parse({"--simulate", "--hidden"});
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->hidden);
    EXPECT_TRUE(line->simulate);
    EXPECT_FALSE(line->help);
    std::string error;
    EXPECT_FALSE(Parse({"--hidden=yes"}, &error));
    EXPECT_FALSE(Parse({"-hidden"}, &error));
    EXPECT_NE(kUsage.find("[--hidden]"), std::string_view::npos);
    EXPECT_NE(kUsage.find("\n  --hidden "), std::string_view::npos);
}

}  // namespace
}  // namespace lumbra
