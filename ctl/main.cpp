// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "ctl/CtlCommandLine.h"
#include "ctl/CtlOutput.h"
#include "platform/BusClient.h"

namespace {

using namespace lumbra;

// How long quit waits for Lumbra to leave the bus after its goodbye to the
// keyboard.
constexpr int kQuitWaitMs = 5000;

int Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    return kCtlDone;
}

int Complain(int status, const std::string& message) {
    std::fprintf(stderr, "lumbractl: %s\n", message.c_str());
    return status;
}

// Runs the calls of one request in order and stops at the first that fails.
class Runner {
public:
    explicit Runner(const CtlRequest& request) : m_request(request) {}

    int Call(const char* method, const std::vector<BusValue>& args = {}) {
        return Check(method, m_client.Call(method, args));
    }
    int CallThenApply(const char* method, const std::vector<BusValue>& args) {
        int status = Call(method, args);
        if (status == kCtlDone && m_request.commit) status = Call("Apply");
        return status;
    }
    int Read(BusProperties* properties) { return Check("GetAll", m_client.GetAll(properties)); }
    int Set(const char* property, const BusValue& value) {
        return Check("Set", m_client.Set(property, value));
    }
    BusClient& Client() { return m_client; }

private:
    int Check(const char* method, const BusResult& result) {
        if (result.status == BusStatus::kOk) return kCtlDone;
        const CtlFailure failure = DescribeFailure(method, result, m_request.path);
        return Complain(failure.status, failure.message);
    }

    const CtlRequest& m_request;
    BusClient m_client;
};

int Show(Runner& runner, std::string (*format)(const BusProperties&)) {
    BusProperties properties;
    const int status = runner.Read(&properties);
    return status == kCtlDone ? Print(format(properties)) : status;
}

// Prints the state at the start and after every change that shows in a line;
// a status bar reads one line at a time.
int Watch(Runner& runner, bool json) {
    BusProperties state;
    std::string shown;
    const auto show = [&](const std::string& line) {
        if (line != shown) Print(line);
        shown = line;
    };
    const int status = runner.Client().Watch(
        [&](const BusProperties& changed) {
            for (const auto& [name, value] : changed) state[name] = value;
            show(FormatWatchLine(state, json));
        },
        [&](bool running) {
            // Watching never starts Lumbra; a Lumbra that appears is read whole.
            if (!running) {
                state.clear();
                show(FormatGoneLine(json));
            } else if (runner.Client().GetAll(&state).status == BusStatus::kOk) {
                show(FormatWatchLine(state, json));
            }
        });
    if (status == kCtlDone) return kCtlDone;
    return Complain(kCtlUnreachable,
                    DescribeFailure("Watch", {BusStatus::kUnreachable, {}, {}}, {}).message);
}

int Run(const CtlRequest& request) {
    Runner runner(request);
    switch (request.command) {
        case CtlCommand::kHelp:
        case CtlCommand::kVersion:
            break;
        case CtlCommand::kStatus:
            return Show(runner, request.json ? FormatStatusJson : FormatStatusText);
        case CtlCommand::kProfileGet:
            return Show(runner, FormatProfile);
        case CtlCommand::kProfileSet:
            // The keyboard switches at once; nothing waits for Apply.
            return runner.Call("SelectProfile", {request.profile});
        case CtlCommand::kLightingGet:
            return Show(runner, FormatLighting);
        case CtlCommand::kLightingSet: {
            int status = runner.Call("SetLightingMode", {request.mode});
            if (status == kCtlDone && request.brightness != 0) {
                status = runner.Call("SetLightingBrightness", {request.brightness});
            }
            if (status == kCtlDone && request.commit) status = runner.Call("Apply");
            return status;
        }
        case CtlCommand::kLoad:
            return runner.CallThenApply("LoadProfile", {request.path});
        case CtlCommand::kSave:
            return runner.Call("SaveProfile", {request.path});
        case CtlCommand::kApply:
            return runner.Call("Apply");
        case CtlCommand::kShow:
            return runner.Call("ShowWindow");
        case CtlCommand::kHide:
            return runner.Call("HideWindow");
        case CtlCommand::kQuit: {
            // A Lumbra that is not running is not started only to end it.
            if (!runner.Client().HasOwner()) return kCtlDone;
            const int status = runner.Call("Quit");
            if (status != kCtlDone) return status;
            if (!runner.Client().WaitUntilGone(kQuitWaitMs)) {
                return Complain(kCtlRefused, "Lumbra is still running 5 seconds after quit");
            }
            return kCtlDone;
        }
        case CtlCommand::kFollowGet:
            return Show(runner, FormatFollow);
        case CtlCommand::kFollowSet:
            return runner.Set("FollowPrograms", request.follow);
        case CtlCommand::kWatch:
            return Watch(runner, request.json);
    }
    return kCtlDone;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    std::error_code failed;
    const std::filesystem::path here = std::filesystem::current_path(failed);
    std::string error;
    const auto request = ParseCtlCommandLine(args, here.string(), &error);
    if (!request) return Complain(kCtlBadUsage, error);
    if (request->command == CtlCommand::kHelp) return Print(request->helpText);
    if (request->command == CtlCommand::kVersion) return Print("lumbractl " LUMBRA_VERSION "\n");
    return Run(*request);
}
