// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "ctl/CtlCommandLine.h"
#include "ctl/CtlOutput.h"
#include "platform/BusNames.h"

namespace lumbra {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::optional<CtlRequest> Parse(const std::string& line, std::string* error = nullptr) {
    std::string ignored;
    return ParseCtlCommandLine(Words(line), "/home/u", error != nullptr ? error : &ignored);
}

struct Good {
    const char* line;
    CtlCommand command;
    int profile = 0;
    int mode = 0;
    int brightness = 0;
    bool commit = true;
    bool json = false;
    const char* path = "";
};

TEST(CtlCommandLine, ReadsEveryCommandWithNumbersAndCaptions) {
    using enum CtlCommand;
    const Good rows[] = {
        {"status", kStatus},
        {"status --json", kStatus, 0, 0, 0, true, true},
        {"watch --json", kWatch, 0, 0, 0, true, true},
        {"profile", kProfileGet},
        {"profile get", kProfileGet},
        {"profile set 5", kProfileSet, 5},
        {"lighting", kLightingGet},
        {"lighting set ORANGE 60%", kLightingSet, 0, 4, 4},
        {"lighting set 7 breath --no-commit", kLightingSet, 0, 7, 24, false},
        {"lighting set mode2", kLightingSet, 0, 2, 0},
        {"lighting set 4 8", kLightingSet, 0, 4, 8},
        {"lighting set Cyan 0%", kLightingSet, 0, 6, 1},
        {"load p.psf", kLoad, 0, 0, 0, true, false, "/home/u/p.psf"},
        {"load --no-commit /abs/p.psf", kLoad, 0, 0, 0, false, false, "/abs/p.psf"},
        {"save -- -odd.psf", kSave, 0, 0, 0, true, false, "/home/u/-odd.psf"},
        {"follow", kFollowGet},
        {"apply", kApply},
        {"hide", kHide},
        {"quit", kQuit},
    };
    for (const Good& row : rows) {
        SCOPED_TRACE(row.line);
        const auto request = Parse(row.line);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->command, row.command);
        EXPECT_EQ(request->profile, row.profile);
        EXPECT_EQ(request->mode, row.mode);
        EXPECT_EQ(request->brightness, row.brightness);
        EXPECT_EQ(request->commit, row.commit);
        EXPECT_EQ(request->json, row.json);
        EXPECT_EQ(request->path, row.path);
    }
    EXPECT_TRUE(Parse("follow on")->follow);
    EXPECT_FALSE(Parse("follow off")->follow);
}

TEST(CtlCommandLine, RefusesBadUsageBeforeAnyCall) {
    for (const char* line : {"",
                             "frobnicate",
                             "profile set 0",
                             "profile set 6",
                             "profile set two",
                             "profile set",
                             "profile set 2 3",
                             "profile get 1",
                             "profile switch",
                             "lighting set purple",
                             "lighting set orange 50%",
                             "lighting set orange 100",
                             "lighting set 8",
                             "lighting set",
                             "lighting set orange 8 x",
                             "status extra",
                             "status --no-commit",
                             "profile set 2 --json",
                             "load",
                             "load a b",
                             "save x --no-commit",
                             "follow maybe",
                             "apply now",
                             "help nothing"}) {
        SCOPED_TRACE(line);
        std::string error;
        EXPECT_FALSE(Parse(line, &error));
        EXPECT_NE(error.find("--help)"), std::string::npos) << error;
    }
}

TEST(CtlCommandLine, EveryCommandHasItsHelp) {
    const auto general = Parse("--help");
    ASSERT_TRUE(general);
    EXPECT_EQ(general->command, CtlCommand::kHelp);
    for (const char* name : {"status", "profile", "lighting", "load", "save", "apply", "show",
                             "hide", "quit", "follow", "watch"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(general->helpText.find(std::string("lumbractl ") + name), std::string::npos);
        for (const std::string& line :
             {std::string(name) + " --help", std::string(name) + " set 9 -h",
              "help " + std::string(name)}) {
            const auto request = Parse(line);
            ASSERT_TRUE(request) << line;
            EXPECT_EQ(request->command, CtlCommand::kHelp);
            EXPECT_EQ(request->helpText.rfind(std::string("Usage: lumbractl ") + name, 0), 0u);
        }
    }
}

const BusProperties kRunning = {
    {"Connected", true},
    {"AccessDenied", false},
    {"Profile", 2},
    {"ProfileNames", std::vector<std::string>{"Default", "Game \"Q\"\t", "Work", "Four", "Five"}},
    {"LightingMode", 4},
    {"LightingBrightness", 24},
    {"Pending", true},
    {"Busy", false},
    {"FollowPrograms", true},
};

TEST(CtlOutput, StatusAsTextAsJsonAndAsWatchLines) {
    EXPECT_EQ(FormatStatusText(kRunning),
              "Keyboard:          connected\n"
              "Profile:           2 Game \"Q\"\t\n"
              "Profile names:     1 Default, 2 Game \"Q\"\t, 3 Work, 4 Four, 5 Five\n"
              "Lighting:          Orange Breath\n"
              "Pending changes:   yes\n"
              "Exchange running:  no\n"
              "Follow programs:   on\n");
    EXPECT_EQ(FormatStatusJson(kRunning),
              R"({"running":true,"connected":true,"accessDenied":false,"profile":2,)"
              R"("profileName":"Game \"Q\"\u0009","profileNames":["Default","Game \"Q\"\u0009",)"
              R"("Work","Four","Five"],"lightingMode":4,"lightingModeName":"Orange",)"
              R"("lightingBrightness":24,"lightingBrightnessName":"Breath","pending":true,)"
              R"("busy":false,"followPrograms":true})"
              "\n");
    EXPECT_EQ(FormatWatchLine(kRunning, false),
              "profile 2 Game \"Q\"\t, Orange Breath, connected, pending\n");
    EXPECT_EQ(FormatWatchLine(kRunning, true), FormatStatusJson(kRunning));

    // A keyboard this user may not open, and values out of the tables.
    const BusProperties denied = {{"Connected", false},
                                  {"AccessDenied", true},
                                  {"Profile", 4},
                                  {"LightingMode", 9},
                                  {"Busy", true}};
    EXPECT_EQ(FormatWatchLine(denied, false), "profile 4, mode 9, no access, busy\n");
    EXPECT_EQ(FormatStatusJson(denied),
              R"({"running":true,"connected":false,"accessDenied":true,"profile":4,)"
              R"("profileName":"","lightingMode":9,"lightingModeName":"","busy":true})"
              "\n");
    EXPECT_EQ(FormatStatusText(denied).substr(0, 90),
              "Keyboard:          attached, but may not be opened (install the udev rule "
              "60-lumbra.rules)");
    EXPECT_EQ(FormatGoneLine(true), "{\"running\":false}\n");
    EXPECT_EQ(FormatGoneLine(false), "Lumbra is not running\n");
    EXPECT_EQ(FormatProfile(kRunning) + FormatLighting(kRunning) + FormatFollow(kRunning),
              "2\nOrange Breath\non\n");
}

TEST(CtlOutput, EachFailureGivesItsStatusAndSaysWhatToDo) {
    struct Row {
        const char* method;
        BusResult result;
        int status;
        const char* says;
    };
    const std::string failed(kBusErrorFailed);
    const Row rows[] = {
        {"SelectProfile",
         {BusStatus::kError, std::string(kBusErrorNotConnected), ""},
         1,
         "no keyboard is attached"},
        {"Apply",
         {BusStatus::kError, std::string(kBusErrorAccessDenied), ""},
         1,
         "install the udev rule 60-lumbra.rules and plug it in again"},
        {"LoadProfile",
         {BusStatus::kError, failed, ""},
         1,
         "/d/x.psf: the file is not a Lumbra profile"},
        {"Apply", {BusStatus::kError, failed, "report 7 refused"}, 1, "report 7 refused"},
        {"Apply",
         {BusStatus::kError, std::string(kBusErrorBusy), ""},
         1,
         "a dialog of the Lumbra window is open: close it and try again"},
        {"Quit",
         {BusStatus::kError, "org.freedesktop.DBus.Error.UnknownMethod", "no Quit"},
         1,
         "no Quit"},
        {"Apply",
         {BusStatus::kUnreachable, "org.freedesktop.DBus.Error.Spawn.ChildExited", "x"},
         3,
         "could not be reached or started (x)"},
        {"GetAll", {BusStatus::kUnreachable, "", ""}, 3, "there is no session bus"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.says);
        const CtlFailure failure = DescribeFailure(row.method, row.result, "/d/x.psf");
        EXPECT_EQ(failure.status, row.status);
        EXPECT_NE(failure.message.find(row.says), std::string::npos) << failure.message;
        EXPECT_EQ(failure.message.find('\n'), std::string::npos);
    }
}

}  // namespace
}  // namespace lumbra
