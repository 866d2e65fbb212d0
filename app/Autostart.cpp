// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "storage/AppDirectory.h"
#include "storage/TextFile.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEntryName = "lumbra.desktop";
constexpr std::string_view kProgramName = "lumbra";
constexpr std::string_view kHiddenOption = "--hidden";

std::optional<std::string> Env(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

// Whether two paths name the same file.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// The program a shell would run for "lumbra": the first executable of that
// name in PATH's folders.
std::optional<std::string> FindOnPath(const std::optional<std::string>& path) {
    if (!path) return std::nullopt;
    std::string_view rest = *path;
    while (true) {
        const size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        if (!dir.empty()) {
            const std::string candidate = std::string(dir) + "/" + std::string(kProgramName);
            if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        if (colon == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(colon + 1);
    }
}

// An Exec argument quoted the way desktop entries want it when it needs quoting.
std::string QuoteExecArgument(const std::string& argument) {
    if (argument.find_first_of(" \t\n\"'\\><~|&;$*?#()`=%") == std::string::npos) return argument;
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += "\\\\";
        if (c == '%') quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

AutostartEntry ResolveAutostartEntry(const AutostartInputs& inputs) {
    AutostartEntry entry;
    if (const auto folder = UserConfigFolder(inputs.xdgConfigHome, inputs.home))
        entry.file = *folder + "autostart/" + std::string(kEntryName);
    const auto onPath = FindOnPath(inputs.path);
    const bool byName =
        inputs.programPath.empty() || (onPath && SameFile(*onPath, inputs.programPath));
    entry.exec = (byName ? std::string(kProgramName) : QuoteExecArgument(inputs.programPath)) +
                 " " + std::string(kHiddenOption);
    return entry;
}

AutostartInputs AutostartInputsFromEnvironment() {
    AutostartInputs inputs;
    inputs.xdgConfigHome = Env("XDG_CONFIG_HOME");
    inputs.home = Env("HOME");
    inputs.path = Env("PATH");
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (!error) inputs.programPath = exe.string();
    return inputs;
}

std::string AutostartEntryText(const std::string& exec) {
    // Desktop entries are read as LF text, unlike the program's own files.
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Lumbra\n"
           "Comment=Keeps the keyboard's G keys, macros and profiles working from login\n"
           "Exec=" +
           exec +
           "\n"
           "Icon=lumbra\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool IsAutostartEnabled(const AutostartEntry& entry) {
    struct stat st {};
    return !entry.file.empty() && ::lstat(entry.file.c_str(), &st) == 0;
}

bool SetAutostartEnabled(const AutostartEntry& entry, bool enabled) {
    if (entry.file.empty()) return false;
    if (enabled) return WriteFileAtomically(entry.file, AutostartEntryText(entry.exec));
    return ::unlink(entry.file.c_str()) == 0 || errno == ENOENT;
}

}  // namespace lumbra
