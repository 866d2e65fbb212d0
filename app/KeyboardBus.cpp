// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyboardBus.h"

#include <unistd.h>

#include <array>
#include <utility>

#include "app/CCorvexDlg.h"
#include "base/UiDispatcher.h"
#include "platform/BusNames.h"

namespace lumbra {

namespace {

constexpr std::array<std::pair<std::string_view, ControlMethod>, 9> kMethods{{
    {"SelectProfile", ControlMethod::kSelectProfile},
    {"SetLightingMode", ControlMethod::kSetLightingMode},
    {"SetLightingBrightness", ControlMethod::kSetLightingBrightness},
    {"Apply", ControlMethod::kApply},
    {"LoadProfile", ControlMethod::kLoadProfile},
    {"SaveProfile", ControlMethod::kSaveProfile},
    {"ShowWindow", ControlMethod::kShowWindow},
    {"HideWindow", ControlMethod::kHideWindow},
    {"Quit", ControlMethod::kQuit},
}};

std::string_view ErrorName(ControlError error) {
    switch (error) {
        case ControlError::kNone:
            return {};
        case ControlError::kNotConnected:
            return kBusErrorNotConnected;
        case ControlError::kAccessDenied:
            return kBusErrorAccessDenied;
        case ControlError::kFailed:
            return kBusErrorFailed;
        case ControlError::kInvalidArgument:
            return kBusErrorInvalidArgument;
        case ControlError::kBusy:
            return kBusErrorBusy;
    }
    return kBusErrorFailed;
}

BusService::Reply ToBus(const ControlReply& reply) {
    return {std::string(ErrorName(reply.error)), reply.message};
}

}  // namespace

KeyboardBus::KeyboardBus(CCorvexDlg& window)
    : m_window(window),
      m_control({&window.Commands(), &window.Model(), [] { return ModalUiOpen(); },
                 [](std::function<void()> task) { TheUiDispatcher().Post(std::move(task)); }}),
      m_service({[this] { return PropertiesOf(m_control.State()); },
                 [this](const std::string& name, const BusService::Value& value) {
                     // FollowPrograms is the one property that may be written.
                     if (name != "FollowPrograms") return BusService::Reply{};
                     return ToBus(m_control.SetFollowPrograms(std::get<bool>(value)));
                 },
                 [this](const std::string& method, const std::vector<BusService::Value>& args,
                        BusService::ReplyFn reply) { OnCall(method, args, std::move(reply)); }}),
      m_input([this] { m_control.NoteChanged(); }) {
    m_control.SetStateListener([this](const ControlState& before, const ControlState& now) {
        m_service.EmitChanged(PropertiesOf(now, &before));
    });
    window.Commands().SetStateListener([this] { m_control.NoteChanged(); });
}

KeyboardBus::~KeyboardBus() { m_window.Commands().SetStateListener(nullptr); }

void KeyboardBus::OnCall(const std::string& method, const std::vector<BusService::Value>& args,
                         BusService::ReplyFn reply) {
    if (method == "WindowActivated") {
        // What a desktop's own part saw become active, for following programs.
        ActiveWindow window;
        window.appId = std::get<std::string>(args.at(0));
        window.className = std::get<std::string>(args.at(1));
        if (const int pid = std::get<int>(args.at(2)); pid > 0) window.pid = pid;
        // One of Lumbra's own windows, which changes no profile.
        window.own = window.pid == getpid();
        window.kind = std::get<bool>(args.at(3)) ? ActiveWindow::Kind::kNative
                                                  : ActiveWindow::Kind::kX11;
        m_window.Commands().FollowReportedWindow(window);
        reply({});
        return;
    }
    ControlArgument argument;
    if (!args.empty()) {
        if (const int* i = std::get_if<int>(&args[0])) argument = *i;
        if (const std::string* s = std::get_if<std::string>(&args[0])) argument = *s;
    }
    for (const auto& [name, kind] : kMethods) {
        if (name != method) continue;
        m_control.Call(kind, std::move(argument),
                       [reply = std::move(reply)](const ControlReply& r) { reply(ToBus(r)); });
        return;
    }
    reply({std::string(kBusErrorFailed), "no such method"});
}

BusService::Properties KeyboardBus::PropertiesOf(const ControlState& now,
                                                 const ControlState* before) {
    BusService::Properties all;
    auto add = [&](std::string name, auto ControlState::*field, BusService::Value value) {
        if (!before || before->*field != now.*field) all.emplace_back(std::move(name), std::move(value));
    };
    add("Connected", &ControlState::connected, now.connected);
    add("AccessDenied", &ControlState::accessDenied, now.accessDenied);
    add("Profile", &ControlState::profile, now.profile);
    add("ProfileNames", &ControlState::names,
        std::vector<std::string>(now.names.begin(), now.names.end()));
    add("LightingMode", &ControlState::lightingMode, now.lightingMode);
    add("LightingBrightness", &ControlState::lightingBrightness, now.lightingBrightness);
    add("Pending", &ControlState::pending, now.pending);
    add("Busy", &ControlState::busy, now.busy);
    add("FollowPrograms", &ControlState::followPrograms, now.followPrograms);
    return all;
}

}  // namespace lumbra
