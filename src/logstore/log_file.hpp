#pragma once

#include "logstore/file_lock.hpp"
#include "logstore/file_system.hpp"
#include "logstore/journal.hpp"
#include "logstore/log_error.hpp"
#include "logstore/record.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kestrel::logstore {

// The log file itself: fixed 84-byte records read and written in large blocks, and every change
// made so that a failure leaves the records as they were.
//
// A change first saves what it is about to overwrite in the log's undo journal (see journal.hpp),
// so that whatever stops it, the next open finds the log before or after it. It then claims any
// new space (the only step that can run out of room), writes within the file, cuts the file
// shorter and syncs; when any step fails it writes the old bytes back and restores the length
// at once. Before changing anything it makes sure the path still names the file it opened and
// that the file still has the length it had, so a log moved, deleted or rewritten by someone
// else is never written to.
//
// A work file that is renamed over a log only once complete needs no journal: it is opened
// with Journaling::off. Every other log is locked from open to close (see file_lock.hpp), and
// the lock is taken before anything is put right: a log another Kestrel has open is refused
// (LogError::in_use), never recovered under its feet.
class LogFile {
  public:
    // Records moved per system call.
    static constexpr int k_block_records = 8192;

    enum class Journaling { on, off };

    explicit LogFile(FileSystem& files, Journaling journaling = Journaling::on)
        : m_files(files), m_journal(files), m_journaling(journaling == Journaling::on) {}
    ~LogFile() { close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens for reading and writing, creating an empty file when there is none; a file that may
    // not be written is opened for reading only, and so is one that does not look like a log
    // (see looks_like_log()). A change to it that was interrupted is put right first (see
    // recovery()).
    [[nodiscard]] LogStatus open(const std::string& path);
    void close();

    bool is_open() const { return m_fd >= 0; }
    bool read_only() const { return m_read_only; }
    const std::string& path() const { return m_path; }
    int record_count() const { return m_count; }
    // Bytes after the last whole record; a file of any other length than a multiple of 84.
    int trailing_bytes() const { return m_trailing; }
    // What the last open put right.
    Recovery recovery() const { return m_recovery; }
    // False for a file whose first records are not log records (impossible dates or times,
    // control characters in the call), or that holds bytes but not one whole record: a file
    // named by mistake, which is shown but never changed or repaired.
    bool looks_like_log() const { return m_looks_like_log; }
    // The operator has chosen to make such a file a new log: it may be written after all, when
    // its permissions allow.
    void accept_as_log();

    // Reads the length again: the count of whole records and the trailing bytes.
    [[nodiscard]] LogStatus refresh();

    // Records first .. first + count - 1, back to back.
    [[nodiscard]] LogStatus read(int first, int count, std::vector<std::uint8_t>& out) const;
    // The trailing bytes after the last whole record.
    [[nodiscard]] LogStatus read_trailing(std::vector<std::uint8_t>& out) const;

    enum class WriteOrder { first_block_first, last_block_first };
    enum class Sync { no, yes };

    // New contents for a run of records, given as up to three pieces back to back, so that
    // moving a run by one record needs no copy of it: front and back are a single record or
    // nothing, middle a part of the records as they are now.
    struct Contents {
        std::span<const std::uint8_t> front{};
        std::span<const std::uint8_t> middle{};
        std::span<const std::uint8_t> back{};
        std::size_t size() const { return front.size() + middle.size() + back.size(); }
    };

    // Replaces records [first, first + old_count) with the new contents. old_bytes must be those
    // records as they are now; unless old and new are the same length, the range must run to the
    // end of the log, which grows or shrinks accordingly. Blocks are written in the order given
    // (a move towards the end writes its last block first). A journaled change is always synced.
    [[nodiscard]] LogStatus splice(int first, std::span<const std::uint8_t> old_bytes,
                                   const Contents& contents, WriteOrder order, Sync sync);
    // Cuts the log after record `count` (count < record_count()).
    [[nodiscard]] LogStatus truncate(int count);
    [[nodiscard]] LogStatus sync();
    // Cuts the file to nothing, trailing bytes included: starting a new log in an old file.
    [[nodiscard]] LogStatus truncate_to_empty();
    // Copies the trailing bytes to a new file and, once that copy is safely on disk, cuts them
    // from the log.
    [[nodiscard]] LogStatus set_aside_trailing(const std::string& side_path);

    // Whether the log may be changed now; a change of length needs a log of whole records.
    [[nodiscard]] LogStatus check_can_change(bool changes_length) const;

  private:
    // Writes bytes [begin, end) of the contents to the file from record `first` on, in blocks.
    // Adds to `written` the bytes that reached the file, so a failure knows whether it must undo.
    [[nodiscard]] LogStatus write_blocks(int first, const Contents& contents, std::size_t begin,
                                         std::size_t end, WriteOrder order, std::int64_t& written);
    [[nodiscard]] LogError restore(int first, std::span<const std::uint8_t> old_bytes, LogError cause);
    // Ends a change that failed: puts the old bytes back when anything was written, then drops
    // the journal; a log that cannot be put back keeps its journal for the next open.
    [[nodiscard]] LogError abandon(int first, std::span<const std::uint8_t> old_bytes, bool touched,
                                   LogError cause);
    void set_length(std::int64_t length);
    std::int64_t length() const { return std::int64_t{m_count} * k_record_size + m_trailing; }

    FileSystem& m_files;
    FileLock m_lock;
    UndoJournal m_journal;
    bool m_journaling = true;
    // A change could not be put back: nothing more is written until the log is opened again,
    // which undoes it from the journal.
    bool m_needs_recovery = false;
    Recovery m_recovery = Recovery::none;
    std::string m_path;
    std::string m_absolute_path;
    int m_fd = -1;
    bool m_read_only = false;
    bool m_writable = false;
    bool m_looks_like_log = true;
    int m_count = 0;
    int m_trailing = 0;
};

} // namespace kestrel::logstore
