// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
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

namespace {

namespace fs = std::filesystem;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// The file a write to `path` lands in: the path itself, or the end of its
// chain of symlinks (which need not exist yet). Nothing for a symlink loop.
std::optional<fs::path> FollowSymlinks(fs::path path) {
    constexpr int kMaxHops = 40;
    for (int hop = 0; hop < kMaxHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::error_code error;
        const fs::path target = fs::read_symlink(path, error);
        if (error) return std::nullopt;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return std::nullopt;
}

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

constexpr std::string_view kTempMarker = ".lumbra-";
constexpr size_t kTempRandomLength = 6;
constexpr std::string_view kRejectedSuffix = ".rejected";

// The file name `name` would have as a temporary file of TempFilePattern, or
// nothing when `candidate` is not of that form.
std::optional<std::string> TempFileOwner(const std::string& candidate) {
    const size_t tail = kTempMarker.size() + kTempRandomLength;
    if (candidate.size() < 2 + tail || candidate[0] != '.') return std::nullopt;
    const auto random = candidate.end() - static_cast<std::ptrdiff_t>(kTempRandomLength);
    if (std::string_view(candidate).substr(candidate.size() - tail, kTempMarker.size()) !=
            kTempMarker ||
        !std::all_of(random, candidate.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
        return std::nullopt;
    return candidate.substr(1, candidate.size() - 1 - tail);
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    // Without O_NONBLOCK a FIFO would hold the open until a writer comes.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<uint64_t>(info.st_size) > kMaxReadableFileSize)
        return std::nullopt;
    std::string text;
    text.reserve(static_cast<size_t>(info.st_size));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(file.Get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) return text;
        text.append(chunk, static_cast<size_t>(n));
        // A file that grows while it is read is held to the same limit.
        if (text.size() > kMaxReadableFileSize) return std::nullopt;
    }
}

bool WriteToDescriptor(int fd, std::string_view content) {
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

std::string TempFilePattern(const std::string& name) {
    return "." + name + std::string(kTempMarker) + std::string(kTempRandomLength, 'X');
}

bool WriteFileAtomically(const std::string& path, std::string_view content) {
    if (path.empty()) return false;
    std::error_code error;
    if (fs::path(path).has_parent_path())
        fs::create_directories(fs::path(path).parent_path(), error);
    // The rename replaces the symlink's target, so that the link keeps working.
    const auto target = FollowSymlinks(path);
    if (!target || target->filename().empty()) return false;
    struct stat old {};
    const bool replacing = ::stat(target->c_str(), &old) == 0;
    if (replacing &&
        (!S_ISREG(old.st_mode) || ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0))
        return false;

    std::string temp = (FolderOf(*target) / TempFilePattern(target->filename())).string();
    // mkostemp creates the file 0600, narrowed by the umask.
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = true;
    if (replacing) {
        // Only root may hand the file to its owner; everyone else keeps their own.
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
        ok = ::fchmod(fd, old.st_mode & 0777) == 0;
    }
    ok = ok && WriteToDescriptor(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), target->c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

int RemoveLeftoverTempFiles(const std::vector<std::string>& paths) {
    // The files by folder, so that each folder is read once.
    std::map<fs::path, std::set<std::string>> byFolder;
    for (const std::string& path : paths) {
        const auto target = FollowSymlinks(path);
        if (!target || target->filename().empty()) continue;
        byFolder[FolderOf(*target)].insert(target->filename().string());
    }
    std::error_code error;
    std::vector<fs::path> leftovers;
    for (const auto& [folder, names] : byFolder) {
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            const auto owner = TempFileOwner(entry.path().filename().string());
            if (owner && names.contains(*owner) && entry.is_regular_file(error))
                leftovers.push_back(entry.path());
        }
    }
    int removed = 0;
    for (const auto& leftover : leftovers)
        if (fs::remove(leftover, error)) ++removed;
    return removed;
}

bool KeepRejectedFile(const std::string& path) {
    const auto target = FollowSymlinks(path);
    struct stat info {};
    if (!target) return false;
    if (::stat(target->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return true;
    const std::string kept = target->string() + std::string(kRejectedSuffix);
    // A second name for the same file: nothing is copied, whatever its size,
    // and the rename that installs the defaults takes only the first name.
    ::unlink(kept.c_str());
    bool ok = ::link(target->c_str(), kept.c_str()) == 0;
    if (!ok) {
        const auto text = ReadWholeFile(target->string());
        ok = text && WriteFileAtomically(kept, *text);
    }
    if (ok)
        std::fprintf(stderr, "lumbra: %s was not accepted; it is kept as %s\n", path.c_str(),
                     kept.c_str());
    return ok;
}

void AppendLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append(kLineEnd);
}

}  // namespace lumbra
