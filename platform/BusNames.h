// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace lumbra {

// Where Lumbra answers on the session bus. Other programs rely on these names;
// platform/dbus/io.github.lumbra.lumbra.Keyboard1.xml describes the interface.
constexpr std::string_view kBusName = "io.github.lumbra.lumbra";
constexpr std::string_view kBusObjectPath = "/io/github/lumbra/lumbra";
constexpr std::string_view kBusInterface = "io.github.lumbra.lumbra.Keyboard1";

// The errors a method may reply with.
constexpr std::string_view kBusErrorNotConnected = "io.github.lumbra.lumbra.Error.NotConnected";
constexpr std::string_view kBusErrorAccessDenied = "io.github.lumbra.lumbra.Error.AccessDenied";
constexpr std::string_view kBusErrorFailed = "io.github.lumbra.lumbra.Error.Failed";
constexpr std::string_view kBusErrorInvalidArgument =
    "io.github.lumbra.lumbra.Error.InvalidArgument";
constexpr std::string_view kBusErrorBusy = "io.github.lumbra.lumbra.Error.Busy";

}  // namespace lumbra
