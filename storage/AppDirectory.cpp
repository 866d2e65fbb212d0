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
    if (const auto folder = UserConfigFolder(inputs.xdgConfigHome, inputs.home))
        return *folder + "lumbra/";
    return "./";
}

std::optional<std::string> UserConfigFolder(const std::optional<std::string>& xdgConfigHome,
                                            const std::optional<std::string>& home) {
    const auto absolute = [](const std::optional<std::string>& dir) {
        return dir && dir->starts_with('/');
    };
    if (absolute(xdgConfigHome)) return WithSlash(*xdgConfigHome);
    if (absolute(home)) return WithSlash(*home) + ".config/";
    return std::nullopt;
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
