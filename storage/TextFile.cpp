// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

std::string WriteFailure::Text() const {
    char buffer[256];
    const std::string why = reason.empty() ? ::strerror_r(error, buffer, sizeof buffer) : reason;
    return "Could not save " + path + ": " + why + ".";
}

bool Refuse(WriteFailure* failure, const std::string& path, std::string reason) {
    if (failure) *failure = WriteFailure{path, 0, std::move(reason)};
    return false;
}

std::string ReportFailedSave(const std::vector<WriteFailure>& failures) {
    if (failures.empty()) return {};
    for (const WriteFailure& failure : failures)
        std::fprintf(stderr, "lumbra: %s\n", failure.Text().c_str());
    std::string text = failures.front().Text();
    // Appended piece by piece: GCC 12 at -O3 takes `" " + std::to_string(n)` for an
    // overlapping copy and fails the Release build.
    if (const size_t more = failures.size() - 1; more > 0) {
        text += ' ';
        text += std::to_string(more);
        text += more == 1 ? " other file was" : " other files were";
        text += " not saved either.";
    }
    return text;
}

namespace {

// Always false, so that a writer can say why in one statement.
bool Fail(WriteFailure* failure, const std::string& path, int error) {
    if (failure) *failure = WriteFailure{path, error, {}};
    return false;
}

// A umask such as 0277 would otherwise make a config folder nothing can
// ever be saved in.
int CreateFolderTree(const fs::path& folder) {
    struct stat info {};
    if (folder.empty() || ::stat(folder.c_str(), &info) == 0) return 0;
    if (errno != ENOENT) return errno;
    if (folder.has_parent_path() && folder.parent_path() != folder)
        if (const int error = CreateFolderTree(folder.parent_path())) return error;
    if (::mkdir(folder.c_str(), 0777) != 0) return errno == EEXIST ? 0 : errno;
    if (::stat(folder.c_str(), &info) == 0 && (info.st_mode & S_IRWXU) != S_IRWXU &&
        ::chmod(folder.c_str(), (info.st_mode & 07777) | S_IRWXU) != 0)
        return errno;
    return 0;
}

// Rewrites a file through its own descriptor where its folder takes no new
// file; 0, or the error number.
int RewriteInPlace(const fs::path& target, std::string_view content) {
    const Descriptor file(
        ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
    if (file.Get() < 0) return errno;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) return errno;
    if (!S_ISREG(info.st_mode)) return EINVAL;
    // The room first: a file size limit or a full disk refuses here, while the
    // old content is still whole.
    const auto size = static_cast<off_t>(content.size());
    if (size > info.st_size) {
        const int error = ::posix_fallocate(file.Get(), 0, size);
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) return error;
    }
    if (!WriteToDescriptor(file.Get(), content)) return errno;
    if (::ftruncate(file.Get(), size) != 0 || ::fsync(file.Get()) != 0) return errno;
    return 0;
}

// Whether mkostemp's error means the folder takes no new file.
bool FolderRefusesNewFiles(int error) { return error == EACCES || error == EPERM; }

}  // namespace

int CreateFolders(const std::string& folder) { return CreateFolderTree(folder); }

bool WriteFileAtomically(const std::string& path, std::string_view content, WriteFailure* failure) {
    if (path.empty()) return Fail(failure, path, ENOENT);
    // The rename replaces the symlink's target, so that the link keeps working.
    const auto target = FollowSymlinks(path);
    if (!target) return Fail(failure, path, ELOOP);
    if (target->filename().empty()) return Fail(failure, path, EISDIR);
    if (const int error = CreateFolderTree(FolderOf(*target))) return Fail(failure, path, error);
    struct stat old {};
    const bool replacing = ::stat(target->c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return Fail(failure, path, S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
    if (replacing && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0)
        return Fail(failure, path, errno);

    std::string temp = (FolderOf(*target) / TempFilePattern(target->filename())).string();
    // mkostemp creates the file 0600, narrowed by the umask.
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error =
            replacing && FolderRefusesNewFiles(errno) ? RewriteInPlace(*target, content) : errno;
        return error == 0 || Fail(failure, path, error);
    }
    int error = 0;
    if (replacing) {
        // Only root may hand the file to its owner; everyone else keeps their own.
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
        if (::fchmod(fd, old.st_mode & 0777) != 0) error = errno;
    }
    if (error == 0 && !WriteToDescriptor(fd, content)) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), target->c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return Fail(failure, path, error);
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
