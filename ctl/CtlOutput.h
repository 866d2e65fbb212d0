// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "platform/BusClient.h"

namespace lumbra {

// Exit statuses of lumbractl.
constexpr int kCtlDone = 0;
constexpr int kCtlRefused = 1;  // the keyboard or Lumbra refused or failed
constexpr int kCtlBadUsage = 2;
constexpr int kCtlUnreachable = 3;  // no session bus, or Lumbra could not be started

// Lumbra's properties as `status` prints them: one label and value a line.
std::string FormatStatusText(const BusProperties& properties);
// The same as one JSON object on one line; also each line of `watch --json`.
std::string FormatStatusJson(const BusProperties& properties);
// One line of `watch`: the state after a change.
std::string FormatWatchLine(const BusProperties& properties, bool json);
// The line of `watch` when Lumbra has ended.
std::string FormatGoneLine(bool json);

// What the getters print, each one line.
std::string FormatProfile(const BusProperties& properties);
std::string FormatLighting(const BusProperties& properties);
std::string FormatFollow(const BusProperties& properties);

struct CtlFailure {
    int status;
    std::string message;  // one line, without "lumbractl: " and the line end
};

// What a failed call means for the user, and the exit status it gives.
// `path` is the file of load and save.
CtlFailure DescribeFailure(std::string_view method, const BusResult& result,
                           const std::string& path);

}  // namespace lumbra
