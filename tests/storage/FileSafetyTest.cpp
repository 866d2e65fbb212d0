// SPDX-License-Identifier: GPL-3.0-or-later
// What Lumbra's files survive: paths that are no regular files given to the
// readers, files the readers reject, file modes and write protection, and
// symlinks.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

#include "storage/MacroFiles.h"
#include "storage/ProfileFile.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"
#include "tests/TestSupport.h"
#include "tests/Unprivileged.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

size_t EntriesIn(const std::string& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A file of `size` bytes that takes no room on the disk.
std::string SparseFile(const test::TempDir& dir, const std::string& name, off_t size) {
    const std::string path = dir.Path(name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const bool sized = fd >= 0 && ::ftruncate(fd, size) == 0;
    if (fd >= 0) ::close(fd);
    return sized ? path : std::string();
}

constexpr off_t kOverLong = static_cast<off_t>(kMaxReadableFileSize) + 1;

// ---- Readers take only regular files of a sane size ------------------------

TEST(SpecialFiles, ReadersRefuseAFifoAFolderADeviceAndAnOverLongFile) {
    struct Case {
        const char* what;
        std::function<std::string(const test::TempDir&)> make;
    };
    const Case cases[] = {
        {"a FIFO without a writer",
         [](const test::TempDir& dir) {
             ::mkfifo(dir.Path("fifo").c_str(), 0600);
             return dir.Path("fifo");
         }},
        {"a folder",
         [](const test::TempDir& dir) {
             fs::create_directory(dir.Path("folder"));
             return dir.Path("folder");
         }},
        {"/dev/zero", [](const test::TempDir&) { return std::string("/dev/zero"); }},
        {"a file one byte over the limit",
         [](const test::TempDir& dir) { return SparseFile(dir, "long", kOverLong); }},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string path = c.make(dir);
        ASSERT_FALSE(path.empty()) << c.what;
        // In a child: before the mend the FIFO hangs and /dev/zero eats memory.
        EXPECT_EQ(test::RunInChild([&] { return ReadWholeFile(path).has_value() ? 1 : 0; }), 0)
            << c.what;
    }
    test::TempDir dir;
    const std::string atLimit = SparseFile(dir, "limit", static_cast<off_t>(kMaxReadableFileSize));
    EXPECT_EQ(ReadWholeFile(atLimit).value_or("").size(), kMaxReadableFileSize)
        << "a file of exactly the limit is read";
}

TEST(SpecialFiles, FifosInPlaceOfEveryFileGiveTheFallbacksAndStayFifos) {
    test::TempDir dir;
    fs::create_directories(dir.Path("config"));
    const std::string settings = SettingsFilePath(dir.Dir());
    const std::string profile = dir.Path("config/default1.psf");
    const std::string library = MacroLibraryFilePath(dir.Dir());
    const std::string macroKey = dir.Path("exported.mkf");
    for (const std::string& path : {settings, profile, library, macroKey})
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);

    const int status = test::RunInChild([&] {
        SettingsStore store;
        if (ReadSettingsFile(store, dir.Dir())) return 1;
        KeyboardProfile slot;
        if (ReadProfileFile(slot, 1, profile)) return 2;
        KeyboardProfile picked;
        if (LoadProfileFile(picked, profile)) return 3;
        MacroLibrary macros;
        if (LoadMacroLibraryOrDefault(macros, dir.Dir()) || macros.MacroSetNum() != 1) return 4;
        MacroKey key;
        if (ReadMacroKeyFile(key, macroKey)) return 5;
        return 0;
    });
    EXPECT_EQ(status, 0) << "a reader failed to refuse, or hung (142)";
    for (const std::string& path : {settings, profile, library, macroKey})
        EXPECT_TRUE(fs::is_fifo(path)) << path << " was replaced";
}

// ---- A rejected file is never destroyed -------------------------------------

struct OwnFile {
    const char* name;
    std::function<bool(const std::string& appDirectory)> read;
};

const OwnFile kOwnFiles[] = {
    {"config/config.ini",
     [](const std::string& dir) {
         SettingsStore store;
         return ReadSettingsFile(store, dir);
     }},
    {"config/default1.psf",
     [](const std::string& dir) {
         KeyboardProfile profile;
         return ReadProfileFile(profile, 1, dir + "config/default1.psf");
     }},
    {"config/MacroLibraryFile.mlf",
     [](const std::string& dir) {
         MacroLibrary library;
         return LoadMacroLibraryOrDefault(library, dir);
     }},
};

TEST(RejectedFiles, LumbrasOwnRejectedFileIsKeptOnceBeforeTheDefaultsReplaceIt) {
    for (const OwnFile& file : kOwnFiles) {
        test::TempDir dir;
        const std::string path = dir.Path(file.name);
        const std::string kept = path + ".rejected";
        test::WriteBytes(path, "my notes\n");
        testing::internal::CaptureStderr();
        EXPECT_FALSE(file.read(dir.Dir())) << file.name;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(test::ReadBytes(kept), "my notes\n") << file.name;
        EXPECT_NE(said.find(kept), std::string::npos) << file.name << ": " << said;
        EXPECT_TRUE(file.read(dir.Dir())) << file.name << ": the defaults were written";

        // Only the last rejected version is kept.
        test::WriteBytes(path, "later notes\n");
        testing::internal::CaptureStderr();
        EXPECT_FALSE(file.read(dir.Dir())) << file.name;
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(test::ReadBytes(kept), "later notes\n") << file.name;
        EXPECT_EQ(EntriesIn(dir.Path("config")), 2u) << file.name;
    }
}

TEST(RejectedFiles, AFileThatCannotBeKeptIsNotReplaced) {
    for (const OwnFile& file : kOwnFiles) {
        test::TempDir dir;
        const std::string path = dir.Path(file.name);
        test::WriteBytes(path, "my notes\n");
        // A folder in the way of the kept copy.
        test::WriteBytes(path + ".rejected/inside", "x");
        EXPECT_FALSE(file.read(dir.Dir())) << file.name;
        EXPECT_EQ(test::ReadBytes(path), "my notes\n") << file.name;
    }
}

TEST(RejectedFiles, AnOverLongSlotFileIsKeptWhole) {
    test::TempDir dir;
    fs::create_directories(dir.Path("config"));
    const std::string path = SparseFile(dir, "config/default2.psf", kOverLong);
    KeyboardProfile profile;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadProfileFile(profile, 2, path));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(fs::file_size(path + ".rejected"), static_cast<uintmax_t>(kOverLong));
    EXPECT_TRUE(ReadProfileFile(profile, 2, path)) << "the defaults replaced it";
}

TEST(RejectedFiles, AFilePickedToLoadThatIsNoProfileChangesNothing) {
    KeyboardProfile defaults;
    defaults.ResetDefaults(0);
    std::string cut = FormatProfile(defaults);
    cut.resize(cut.find("Key3Name"));  // a profile cut after its third G key
    const std::string notes[] = {"shopping list\n", cut, ""};
    for (const std::string& note : notes) {
        test::TempDir dir;
        const std::string path = dir.Path("notes.txt");
        test::WriteBytes(path, note);
        KeyboardProfile profile;
        profile.ResetDefaults(1);
        profile.SetLightColor(6);
        profile.GKey(0)->name = "Mine";
        const std::string before = FormatProfile(profile);
        EXPECT_FALSE(LoadProfileFile(profile, path));
        EXPECT_EQ(FormatProfile(profile), before) << "the profile is untouched";
        EXPECT_EQ(test::ReadBytes(path), note) << "the file is untouched";
        EXPECT_EQ(EntriesIn(dir.Dir()), 1u);
    }
}

// ---- Modes, write protection and symlinks -----------------------------------

// Sets the umask for one scope.
class Umask {
public:
    explicit Umask(mode_t mask) : m_saved(::umask(mask)) {}
    ~Umask() { ::umask(m_saved); }

private:
    mode_t m_saved;
};

TEST(FileModes, NewFilesAreReadableByTheirOwnerOnlyAndHonourAStricterUmask) {
    const struct {
        mode_t umask;
        mode_t mode;
    } cases[] = {{0022, 0600}, {0002, 0600}, {0077, 0600}, {0277, 0400}};
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string path = dir.Path("config/MacroLibraryFile.mlf");
        {
            Umask mask(c.umask);
            ASSERT_TRUE(WriteFileAtomically(path, "x"));
        }
        EXPECT_EQ(ModeOf(path), c.mode) << "umask " << std::oct << c.umask;
    }
}

TEST(FileModes, ARewriteKeepsTheModeOfTheFileItReplaces) {
    for (const mode_t mode : {0600, 0640, 0644, 0664, 0400 | 0200}) {
        test::TempDir dir;
        const std::string path = dir.Path("MacroLibraryFile.mlf");
        ASSERT_TRUE(WriteFileAtomically(path, "old"));
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        {
            Umask mask(0077);
            ASSERT_TRUE(WriteFileAtomically(path, "new"));
        }
        EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
        EXPECT_EQ(test::ReadBytes(path), "new");
    }
}

TEST(FileModes, AFileWithoutWritePermissionIsNotReplaced) {
    test::RunUnprivileged([] {
        test::TempDir dir;
        const std::string path = dir.Path("default0.psf");
        ASSERT_TRUE(WriteFileAtomically(path, "protected"));
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_FALSE(WriteFileAtomically(path, "new"));
        EXPECT_EQ(test::ReadBytes(path), "protected");
        EXPECT_EQ(ModeOf(path), 0444u);
        EXPECT_EQ(EntriesIn(dir.Dir()), 1u) << "no temporary file is left";
    });
}

TEST(FileModes, ASymlinkIsFollowedAndItsTargetReplacedInTheTargetsFolder) {
    test::TempDir dir;
    fs::create_directories(dir.Path("config"));
    fs::create_directories(dir.Path("real"));
    const std::string target = dir.Path("real/racing.psf");
    const std::string link = dir.Path("config/default0.psf");
    ASSERT_TRUE(WriteFileAtomically(target, "old"));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    fs::create_symlink("../real/racing.psf", link);

    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link)) << "the link is still a link";
    EXPECT_EQ(test::ReadBytes(target), "new");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_EQ(EntriesIn(dir.Path("config")), 1u);
    EXPECT_EQ(EntriesIn(dir.Path("real")), 1u);

    // A rejected file behind the link is kept beside its target.
    test::WriteBytes(target, "notes\n");
    KeyboardProfile profile;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadProfileFile(profile, 0, link));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(test::ReadBytes(target + ".rejected"), "notes\n");
    EXPECT_TRUE(fs::is_symlink(link));

    // A dangling link gets its target created.
    const std::string dangling = dir.Path("config/default1.psf");
    fs::create_symlink("../real/new.psf", dangling);
    ASSERT_TRUE(WriteFileAtomically(dangling, "made"));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(test::ReadBytes(dir.Path("real/new.psf")), "made");
}

TEST(FileModes, FoldersLumbraMakesTakeItsFilesWhateverTheUmask) {
    test::RunUnprivileged([] {
        test::TempDir dir;
        const std::string path = dir.Path("lumbra/config/config.ini");
        {
            Umask mask(0277);
            EXPECT_TRUE(WriteFileAtomically(path, "x"));
        }
        EXPECT_EQ(ModeOf(dir.Path("lumbra")), 0700u);
        EXPECT_EQ(ModeOf(dir.Path("lumbra/config")), 0700u);
        EXPECT_EQ(test::ReadBytes(path), "x");
    });
}

// ---- Folders that take no new file, and failures said with their reason ---

// Sets a resource limit, and ignores SIGXFSZ as Lumbra does, for one scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_saved(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_limit);
        const rlimit limit{bytes, m_limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_limit);
        std::signal(SIGXFSZ, m_saved);
    }

private:
    void (*m_saved)(int);
    rlimit m_limit{};
};

// Files in a folder that takes no new file: a writable one is rewritten in
// place, anything else fails with its reason and stays as it was.
TEST(ReadOnlyFolders, AWritableFileIsRewrittenInPlaceAndAnythingElseFailsWithItsReason) {
    test::RunUnprivileged([] {
        const std::string old(3000, 'o');
        const struct {
            mode_t mode;   // of the file before; 0: no file, 1: a folder in its place
            size_t size;   // of the new content
            rlim_t limit;  // the file size limit; 0: none
            int error;     // 0: written
        } cases[] = {{0640, 10, 0, 0},   {0600, 5000, 0, 0}, {0444, 10, 0, EACCES},
                     {0, 10, 0, EACCES}, {1, 10, 0, EISDIR}, {0600, 5000, 4096, EFBIG}};
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << std::oct << c.mode << " " << c.limit);
            test::TempDir dir;
            const std::string folder = dir.Path("config"), path = folder + "/default0.psf";
            fs::create_directories(c.mode == 1 ? path : folder);
            if (c.mode > 1) {
                test::WriteBytes(path, old);
                ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
            }
            ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
            const std::string content(c.size, 'n');
            WriteFailure failure;
            std::optional<FileSizeLimit> limit;
            if (c.limit) limit.emplace(c.limit);
            EXPECT_EQ(WriteFileAtomically(path, content, &failure), c.error == 0);
            limit.reset();
            EXPECT_EQ(failure.error, c.error) << failure.Text();
            if (c.error) {
                EXPECT_EQ(failure.Text(),
                          "Could not save " + path + ": " + std::strerror(c.error) + ".");
            }
            if (c.mode > 1) {
                EXPECT_EQ(test::ReadBytes(path), c.error ? old : content);
                EXPECT_EQ(ModeOf(path), c.mode);
            }
            EXPECT_EQ(EntriesIn(folder), c.mode ? 1u : 0u) << "no temporary file is left";
            ::chmod(folder.c_str(), 0755);
        }
    });
}

}  // namespace
}  // namespace lumbra
