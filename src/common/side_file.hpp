#pragma once

#include "common/result.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Writes a side file in one go: the bytes go to a temporary file in the same directory, which
// then replaces the old file, so a failure never leaves half a file. False when it failed (the
// old file, if any, is then as it was). A file found by a name that differs only in case is
// the one written. A file this run found but could not read is never written over: whatever
// the program fell back to in its place is not the operator's data.
[[nodiscard]] bool write_side_file(const std::string& path, std::string_view bytes);

// The same for a file made piece by piece, so that it never has to be held whole in memory: the
// pieces go to the temporary file, which replaces the old file when commit() succeeds. A writer
// dropped before that, or after a failure, removes the temporary file and leaves the old file as
// it was.
class SideFileWriter {
  public:
    explicit SideFileWriter(const std::string& path);
    ~SideFileWriter();
    SideFileWriter(const SideFileWriter&) = delete;
    SideFileWriter& operator=(const SideFileWriter&) = delete;

    // False once anything has failed (from the start for a file that may not be written over).
    bool ok() const { return m_fd >= 0; }
    [[nodiscard]] bool write(std::string_view bytes);
    // Flushes the file to the disk and puts it in place of the old one.
    [[nodiscard]] bool commit();

  private:
    void abandon();
    // Pieces at least this large start going to the disk at once.
    static constexpr std::size_t k_early_writeback_bytes = std::size_t{256} << 10;
    std::string m_path;
    std::string m_temporary;
    int m_fd = -1;
    std::size_t m_written = 0;
};

enum class SideFileProblem {
    missing,    // no such file (nor one differing only in case)
    unreadable, // it is there, but could not be read: permissions, an I/O error, a folder
};

// The whole of a side file, found through find_file_any_case.
[[nodiscard]] Result<std::string, SideFileProblem> load_side_file(const std::string& path);

// The same, for a caller to whom a missing file and an unreadable one are alike.
[[nodiscard]] std::optional<std::string> read_side_file(const std::string& path);

// The file at exactly this path (no other case is tried, and nothing is remembered), for files
// that are not side files: the whole of it, or its first `limit` bytes. A named pipe, a device or
// a folder where a file belongs is unreadable: it is never waited on.
[[nodiscard]] Result<std::string, SideFileProblem> read_regular_file(const std::string& path,
                                                                     std::size_t limit = std::string::npos);

// The side files this run found but could not read, in the order they were met, each once.
[[nodiscard]] std::vector<std::string> unreadable_side_files();

// True when the file a path finds is one of them.
[[nodiscard]] bool side_file_was_unreadable(const std::string& path);

// Forgets them (for tests, and for a file the operator has since chosen afresh).
void forget_unreadable_side_file(const std::string& path);

// The steps beneath the functions above, for the files that are not side files but are read, or
// made and renamed into place, the same way (a back-up copy, a shipped file, a spool).

// Opens a file for reading without ever waiting on it: a named pipe or a device where a file
// belongs (perhaps in a station directory from someone else) would otherwise hang the open, or
// the read, for good. -1 (errno set) when it cannot be opened; EINVAL for anything but a plain
// file.
[[nodiscard]] int open_regular_file(const std::string& path);

// Makes a work file, to be renamed into place once whole. A file or link of that name left by a
// run that stopped short, or planted, is removed first (the link itself, never what it points at)
// and the work file is then made afresh: never written through a link, so nothing outside is
// changed and no link is ever renamed into place. -1 (errno set) when it cannot be made.
[[nodiscard]] int create_work_file(const std::string& path, unsigned mode = 0644);

// Copies what is left to read of one open file into another. False when a read or a write
// failed.
[[nodiscard]] bool copy_file_bytes(int from, int to);

// Makes the names in the folder of `path` last through a power cut, as fsync does for a file's
// bytes: a file renamed into place is only there for good once its folder is synced. False when
// the system could not.
[[nodiscard]] bool sync_folder_of(const std::string& path);

} // namespace kestrel
