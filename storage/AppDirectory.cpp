// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/AppDirectory.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace lumbra {
namespace {

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

bool Usable(const std::optional<std::string>& value) { return value && !value->empty(); }

std::optional<std::string> Env(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace

std::string ResolveAppDirectory(const AppDirectoryInputs& inputs) {
    if (Usable(inputs.configDirOption)) return WithSlash(*inputs.configDirOption);
    if (Usable(inputs.lumbraHome)) return WithSlash(*inputs.lumbraHome);
    if (!inputs.programDirectory.empty() && ::access(inputs.programDirectory.c_str(), W_OK) == 0) {
        return WithSlash(inputs.programDirectory);
    }
    if (Usable(inputs.xdgConfigHome)) return WithSlash(*inputs.xdgConfigHome) + "lumbra/";
    if (Usable(inputs.home)) return WithSlash(*inputs.home) + ".config/lumbra/";
    return "./";
}

std::string ProgramDirectory() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return WithSlash(exe.parent_path().string());
}

AppDirectoryInputs AppDirectoryInputsFromEnvironment(std::optional<std::string> configDirOption) {
    AppDirectoryInputs inputs;
    inputs.configDirOption = std::move(configDirOption);
    inputs.lumbraHome = Env("LUMBRA_HOME");
    inputs.programDirectory = ProgramDirectory();
    inputs.xdgConfigHome = Env("XDG_CONFIG_HOME");
    inputs.home = Env("HOME");
    return inputs;
}

}  // namespace lumbra
