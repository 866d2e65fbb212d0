// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/CtlOutput.h"

#include <cstdio>

#include "ctl/CtlCommandLine.h"
#include "platform/BusNames.h"

namespace lumbra {

namespace {

const BusValue* Find(const BusProperties& properties, const char* name) {
    const auto it = properties.find(name);
    return it == properties.end() ? nullptr : &it->second;
}

template <typename T>
const T* Get(const BusProperties& properties, const char* name) {
    const BusValue* value = Find(properties, name);
    return value == nullptr ? nullptr : std::get_if<T>(value);
}

bool Flag(const BusProperties& properties, const char* name) {
    const bool* value = Get<bool>(properties, name);
    return value != nullptr && *value;
}

std::string ProfileName(const BusProperties& properties, int profile) {
    const auto* names = Get<std::vector<std::string>>(properties, "ProfileNames");
    if (names == nullptr || profile < 1 || static_cast<size_t>(profile) > names->size()) return {};
    return (*names)[profile - 1];
}

std::string NameOr(std::span<const CtlNamedValue> table, int value, const char* fallback) {
    const std::string_view name = CtlNameOf(table, value);
    return name.empty() ? fallback + std::to_string(value) : std::string(name);
}

std::string LightingText(const BusProperties& properties) {
    const int* mode = Get<int>(properties, "LightingMode");
    const int* brightness = Get<int>(properties, "LightingBrightness");
    std::string text = mode != nullptr ? NameOr(kCtlModes, *mode, "mode ") : "unknown";
    if (brightness != nullptr) {
        text += ' ';
        text += NameOr(kCtlBrightnesses, *brightness, "brightness ");
    }
    return text;
}

const char* KeyboardText(const BusProperties& properties, bool brief) {
    if (Flag(properties, "Connected")) return "connected";
    if (Flag(properties, "AccessDenied")) {
        return brief ? "no access"
                     : "attached, but may not be opened (install the udev rule 60-lumbra.rules)";
    }
    return "not attached";
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string FormatStatusText(const BusProperties& properties) {
    const int* profile = Get<int>(properties, "Profile");
    std::string text = "Keyboard:          " + std::string(KeyboardText(properties, false)) + "\n";
    if (profile != nullptr) {
        text += "Profile:           " + std::to_string(*profile);
        const std::string name = ProfileName(properties, *profile);
        text += name.empty() ? "\n" : " " + name + "\n";
    }
    if (const auto* names = Get<std::vector<std::string>>(properties, "ProfileNames")) {
        text += "Profile names:     ";
        for (size_t i = 0; i < names->size(); ++i) {
            text += (i > 0 ? ", " : "") + std::to_string(i + 1) + " " + (*names)[i];
        }
        text += "\n";
    }
    text += "Lighting:          " + LightingText(properties) + "\n";
    text +=
        std::string("Pending changes:   ") + (Flag(properties, "Pending") ? "yes" : "no") + "\n";
    text += std::string("Exchange running:  ") + (Flag(properties, "Busy") ? "yes" : "no") + "\n";
    text += "Follow programs:   " + FormatFollow(properties);
    return text;
}

std::string FormatStatusJson(const BusProperties& properties) {
    std::string json = "{\"running\":true";
    const auto flag = [&](const char* key, const char* property) {
        if (const bool* value = Get<bool>(properties, property)) {
            json += std::string(",\"") + key + "\":" + (*value ? "true" : "false");
        }
    };
    const auto number = [&](const char* key, const char* property,
                            std::span<const CtlNamedValue> names) {
        const int* value = Get<int>(properties, property);
        if (value == nullptr) return value;
        json += std::string(",\"") + key + "\":" + std::to_string(*value);
        if (!names.empty()) {
            json += std::string(",\"") + key + "Name\":" + JsonString(CtlNameOf(names, *value));
        }
        return value;
    };
    flag("connected", "Connected");
    flag("accessDenied", "AccessDenied");
    if (const int* profile = number("profile", "Profile", {})) {
        json += ",\"profileName\":" + JsonString(ProfileName(properties, *profile));
    }
    if (const auto* names = Get<std::vector<std::string>>(properties, "ProfileNames")) {
        json += ",\"profileNames\":[";
        for (size_t i = 0; i < names->size(); ++i) {
            if (i > 0) json += ',';
            json += JsonString((*names)[i]);
        }
        json += "]";
    }
    number("lightingMode", "LightingMode", kCtlModes);
    number("lightingBrightness", "LightingBrightness", kCtlBrightnesses);
    flag("pending", "Pending");
    flag("busy", "Busy");
    flag("followPrograms", "FollowPrograms");
    return json + "}\n";
}

std::string FormatWatchLine(const BusProperties& properties, bool json) {
    if (json) return FormatStatusJson(properties);
    std::string line = "profile ";
    if (const int* profile = Get<int>(properties, "Profile")) {
        line += std::to_string(*profile);
        const std::string name = ProfileName(properties, *profile);
        if (!name.empty()) line += " " + name;
    } else {
        line += "unknown";
    }
    line += ", " + LightingText(properties) + ", " + KeyboardText(properties, true);
    if (Flag(properties, "Pending")) line += ", pending";
    if (Flag(properties, "Busy")) line += ", busy";
    return line + "\n";
}

std::string FormatGoneLine(bool json) {
    return json ? "{\"running\":false}\n" : "Lumbra is not running\n";
}

std::string FormatProfile(const BusProperties& properties) {
    const int* profile = Get<int>(properties, "Profile");
    return (profile != nullptr ? std::to_string(*profile) : std::string("unknown")) + "\n";
}

std::string FormatLighting(const BusProperties& properties) {
    return LightingText(properties) + "\n";
}

std::string FormatFollow(const BusProperties& properties) {
    return Flag(properties, "FollowPrograms") ? "on\n" : "off\n";
}

CtlFailure DescribeFailure(std::string_view method, const BusResult& result,
                           const std::string& path) {
    const std::string& said = result.message;
    if (result.status == BusStatus::kUnreachable && result.errorName.empty()) {
        return {kCtlUnreachable,
                "there is no session bus: run lumbractl inside the desktop session"};
    }
    if (result.status == BusStatus::kUnreachable) {
        return {kCtlUnreachable, "Lumbra could not be reached or started" +
                                     (said.empty() ? "" : " (" + said + ")") +
                                     ": is it installed?"};
    }
    const std::string_view name = result.errorName;
    if (name == kBusErrorNotConnected) {
        return {kCtlRefused, "no keyboard is attached: plug it in and try again"};
    }
    if (name == kBusErrorAccessDenied) {
        return {kCtlRefused,
                "the keyboard may not be opened: install the udev rule 60-lumbra.rules and plug it "
                "in again"};
    }
    if (name == kBusErrorBusy) {
        return {kCtlRefused, "a dialog of the Lumbra window is open: close it and try again"};
    }
    if (method == "LoadProfile" && name == kBusErrorFailed) {
        return {kCtlRefused, path + ": the file is not a Lumbra profile; nothing was changed"};
    }
    if ((method == "LoadProfile" || method == "SaveProfile") && name == kBusErrorInvalidArgument) {
        return {kCtlRefused, path + ": " + (said.empty() ? "Lumbra refused the file" : said)};
    }
    if (method == "SaveProfile" && name == kBusErrorFailed) {
        return {kCtlRefused, path + " could not be written" + (said.empty() ? "" : ": " + said)};
    }
    if (name == kBusErrorFailed) {
        return {kCtlRefused, "the keyboard or Lumbra failed" + (said.empty() ? "" : ": " + said) +
                                 "; try again, or unplug the keyboard and plug it in again"};
    }
    return {kCtlRefused, "Lumbra refused " + std::string(method) + ": " +
                             (said.empty() ? std::string(name) : said)};
}

}  // namespace lumbra
