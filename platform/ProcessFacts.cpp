// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessFacts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace lumbra {
namespace {

namespace fs = std::filesystem;

constexpr size_t kCommandWords = 2;
// Enough for an interpreter and a script path; the rest of the command line is never read.
constexpr std::streamsize kCommandLineLimit = 8192;

// A word of a command line as an absolute path; a bare name (looked up in PATH by whoever ran
// it) stays as it is and so equals no stored path.
std::string WordAsPath(const std::string& word, const fs::path& processDir) {
    if (word.find('/') == std::string::npos) return word;
    const fs::path path = word.front() == '/' ? fs::path(word) : processDir / "cwd" / word;
    return ResolvedPath(path.string()).value_or(word);
}

}  // namespace

std::optional<std::string> ResolvedPath(const std::string& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    if (error) return std::nullopt;
    return real.string();
}

ProcessFacts ReadProcessFacts(std::optional<int> pid, const std::string& procRoot) {
    ProcessFacts facts;
    if (!pid || *pid <= 0) return facts;
    const fs::path dir = fs::path(procRoot) / std::to_string(*pid);
    facts.executable = ResolvedPath((dir / "exe").string());
    std::ifstream in(dir / "cmdline", std::ios::binary);
    std::string text(static_cast<size_t>(kCommandLineLimit), '\0');
    in.read(text.data(), kCommandLineLimit);
    text.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    size_t start = 0;
    while (start < text.size() && facts.firstWords.size() < kCommandWords) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        if (end > start)
            facts.firstWords.push_back(WordAsPath(text.substr(start, end - start), dir));
        start = end + 1;
    }
    return facts;
}

}  // namespace lumbra
