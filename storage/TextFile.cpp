#include "storage/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace lumbra {

std::optional<std::string_view> LineReader::Next() {
    if (m_pos >= m_text.size()) return std::nullopt;
    const size_t end = m_text.find('\n', m_pos);
    const size_t stop = end == std::string::npos ? m_text.size() : end;
    std::string_view line = m_text.substr(m_pos, stop - m_pos);
    m_pos = end == std::string::npos ? m_text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

namespace {

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content) {
    if (path.empty()) return false;
    const std::filesystem::path target(path);
    std::error_code error;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), error);
    }
    if (std::filesystem::is_directory(target, error)) return false;

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    ::fchmod(fd, 0644);
    bool ok = WriteAll(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

int RemoveLeftoverTempFiles(const std::vector<std::string>& paths) {
    // The files by folder, so that each folder is read once.
    std::map<std::filesystem::path, std::set<std::string>> byFolder;
    for (const std::string& path : paths) {
        const std::filesystem::path target(path);
        if (target.filename().empty()) continue;
        byFolder[target.has_parent_path() ? target.parent_path() : "."].insert(
            target.filename().string());
    }
    std::error_code error;
    std::vector<std::filesystem::path> leftovers;
    for (const auto& [folder, names] : byFolder) {
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            // "<name>." and mkstemp's six letters and digits.
            const std::string name = entry.path().filename().string();
            if (name.size() < 8 || name[name.size() - 7] != '.') continue;
            const auto suffix = name.end() - 6;
            const bool temp = std::all_of(suffix, name.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) != 0;
            });
            if (temp && names.contains(name.substr(0, name.size() - 7)) &&
                entry.is_regular_file(error))
                leftovers.push_back(entry.path());
        }
    }
    int removed = 0;
    for (const auto& leftover : leftovers)
        if (std::filesystem::remove(leftover, error)) ++removed;
    return removed;
}

void AppendLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append(kLineEnd);
}

}  // namespace lumbra
