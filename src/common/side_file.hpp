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

// The side files this run found but could not read, in the order they were met, each once.
[[nodiscard]] std::vector<std::string> unreadable_side_files();

// True when the file a path finds is one of them.
[[nodiscard]] bool side_file_was_unreadable(const std::string& path);

// Forgets them (for tests, and for a file the operator has since chosen afresh).
void forget_unreadable_side_file(const std::string& path);

} // namespace kestrel
