// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

// Lines of a text file as the readers see them: split at "\n", one CR before
// it dropped, so CR LF and LF files read alike. A last line without a line
// end is a line; the empty rest after a final line end is not.
class LineReader {
public:
    // The reader does not own the text; it must outlive the reader.
    explicit LineReader(std::string_view text) : m_text(text) {}

    // The next line, or nothing at the end of the text.
    std::optional<std::string_view> Next();

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

// The largest file the readers take. A macro takes about 1.7 KB of the
// library file, so this holds some 38,000 macros; the library's writer refuses
// a larger file rather than write one that would not be read back.
constexpr size_t kMaxReadableFileSize = 64 * 1024 * 1024;

// The whole content of a regular file of at most kMaxReadableFileSize bytes;
// nothing when it cannot be opened or read, or when the path names anything
// else (a folder, a FIFO, a device): such a path is opened without blocking
// and never read from.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Why a file could not be written: the file as the writer was given it and the
// system's error number, or a reason of the caller's own in its place.
struct WriteFailure {
    std::string path;
    int error = 0;
    std::string reason;

    // "Could not save PATH: REASON." as the user and standard error are told.
    std::string Text() const;
};

// Always false, with `reason` for `path` in `failure` when one is given: for
// a writer that refuses a content before any file is touched.
bool Refuse(WriteFailure* failure, const std::string& path, std::string reason);

// Creates `folder` and whatever is missing above it, each with at least owner
// read, write and search whatever the umask; 0, or the error number.
int CreateFolders(const std::string& folder);

// Replaces a file with new content so that a crash or a full disk leaves
// either the old or the new file, never a part: the content goes to a
// temporary file in the same folder, is flushed to disk, and is renamed over
// the old one. Missing parent folders are created, each with at least owner
// read, write and search whatever the umask. A new file gets 0600 (less when
// the umask says so); a rewrite keeps the mode of the file it replaces. A
// symlink is followed and its target replaced in the target's folder. A file
// without write permission, or one that is not a regular file, is not
// replaced. Where the folder refuses a new file but the file itself is
// writable, the file is rewritten in place instead; its room is taken before
// its content is touched, so a file size limit or a full disk that the system
// reports ahead leaves it whole. False when the file could not be written,
// with the reason in `failure` when one is given; the old file is then
// untouched, unless an in-place rewrite failed after its room was taken.
bool WriteFileAtomically(const std::string& path, std::string_view content,
                         WriteFailure* failure = nullptr);

// Says on standard error each file a save the user asked for could not write,
// and gives the one line the message dialog shows for them all: the first
// failure, and how many other files were not saved.
std::string ReportFailedSave(const std::vector<WriteFailure>& failures);

// Writes all of `content` to a descriptor, going on after a partial write or
// a signal; false on an error (EFBIG under a file size limit, ENOSPC).
bool WriteToDescriptor(int fd, std::string_view content);

// The name of a writer's temporary file for the file `name`:
// ".<name>.lumbra-XXXXXX", hidden and of a form nothing else uses.
std::string TempFilePattern(const std::string& name);

// Removes the temporary files that writers of these files killed between
// creating and renaming them left beside them (TempFilePattern), reading each
// folder once. Only while no other process writes the files. The number
// removed.
int RemoveLeftoverTempFiles(const std::vector<std::string>& paths);

// Before defaults replace a rejected file of Lumbra's own: keeps the file as
// it stands as "<path>.rejected" (replacing an earlier one) and names it on
// standard error. A symlink's target is kept beside the target. True when the
// defaults may be written: the file was kept, or there was no regular file to
// keep. False when it could not be kept; it must then stay as it is.
bool KeepRejectedFile(const std::string& path);

// Line ends the files are written with, so that they stay exchangeable with
// the keyboard's Windows tool.
constexpr std::string_view kLineEnd = "\r\n";

// Appends text and a line end.
void AppendLine(std::string& out, std::string_view text);

}  // namespace lumbra
