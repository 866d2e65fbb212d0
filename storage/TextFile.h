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

// The whole content of a file; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces a file with new content so that a crash or a full disk leaves
// either the old or the new file, never a part: the content goes to a
// temporary file in the same folder, is flushed to disk, and is renamed over
// the old one. A missing parent folder is created first. False when the file
// could not be written; the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::string_view content);

// Removes the temporary files that writers of these files killed between
// creating and renaming them left beside them ("<path>.XXXXXX"), reading each
// folder once. Only while no other process writes the files. The number
// removed.
int RemoveLeftoverTempFiles(const std::vector<std::string>& paths);

// Line ends the files are written with, so that they stay exchangeable with
// the keyboard's Windows tool.
constexpr std::string_view kLineEnd = "\r\n";

// Appends text and a line end.
void AppendLine(std::string& out, std::string_view text);

}  // namespace lumbra
