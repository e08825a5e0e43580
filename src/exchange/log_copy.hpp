#pragma once

#include "logstore/file_system.hpp"
#include "logstore/log_error.hpp"
#include "logstore/log_file.hpp"
#include "logstore/record.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::exchange {

// Where the log-exchange tools get records from and put them: whole logs, read and written a
// block at a time, one record after another.
class RecordSource {
  public:
    virtual ~RecordSource() = default;
    // The next record; false at the end of the records or after a failure (see status()).
    [[nodiscard]] virtual bool next(logstore::RecordBytes& record) = 0;
    // False once a read has failed, with the reason.
    [[nodiscard]] virtual logstore::LogStatus status() const = 0;
};

class RecordSink {
  public:
    virtual ~RecordSink() = default;
    [[nodiscard]] virtual logstore::LogStatus append(const logstore::RecordBytes& record) = 0;
};

// Reports how many records a long pass has dealt with.
using ProgressFn = std::function<void(std::int64_t done)>;

// An existing log read from its first whole record to its last. Opening never creates a file;
// bytes after the last whole record are left alone.
class LogReader final : public RecordSource {
  public:
    explicit LogReader(logstore::FileSystem& files) : m_files(files), m_file(files) {}

    [[nodiscard]] logstore::LogStatus open(const std::string& path);
    void close();
    bool is_open() const { return m_file.is_open(); }
    const std::string& path() const { return m_file.path(); }
    int record_count() const { return m_file.record_count(); }
    int trailing_bytes() const { return m_file.trailing_bytes(); }
    // What opening the log put right.
    logstore::Recovery recovery() const { return m_file.recovery(); }

    // Starts again at record 1.
    void rewind();
    // Records first .. first + count - 1, for showing a page of the log.
    [[nodiscard]] logstore::LogStatus read(int first, int count,
                                           std::vector<logstore::RecordBytes>& out) const;
    // Whether the file still has the length it had when it was opened: a log another program
    // changed since is not to be cut or rewritten on the strength of what was read before.
    [[nodiscard]] logstore::LogStatus check_unchanged();

    [[nodiscard]] bool next(logstore::RecordBytes& record) override;
    [[nodiscard]] logstore::LogStatus status() const override { return m_status; }

  private:
    logstore::FileSystem& m_files;
    logstore::LogFile m_file;
    std::vector<std::uint8_t> m_block;
    int m_block_first = 1; // record number of the block's first record
    int m_block_count = 0;
    int m_next = 1;
    logstore::LogStatus m_status;
};

// A new log written under a name of its own beside the log it is to replace, and put in that
// log's place only once every record is on disk. Until then the old log is untouched, so a
// failure part way leaves it as it was; a work log that is not committed is removed.
//
// The target log is locked from create() to commit or discard, like an open log. The work name
// is locked while it is in use. A work file left behind by a run that was stopped is not locked
// by anyone and is simply used again, so such files never pile up; a link found at its name is
// removed, never written through.
class WorkLog final : public RecordSink {
  public:
    explicit WorkLog(logstore::FileSystem& files)
        : m_files(files), m_file(files, logstore::LogFile::Journaling::off) {}
    ~WorkLog() override { discard(); }
    WorkLog(const WorkLog&) = delete;
    WorkLog& operator=(const WorkLog&) = delete;

    // Claims the work name beside the target (see work_name_for), or the next one free when
    // another run holds it, and starts it empty. An interrupted change to the target is put
    // right first.
    [[nodiscard]] logstore::LogStatus create(const std::string& target);
    [[nodiscard]] logstore::LogStatus append(const logstore::RecordBytes& record) override;
    int count() const { return m_count; }
    const std::string& path() const { return m_path; }

    // Writes what is held back, syncs, and renames the work log over the target.
    [[nodiscard]] logstore::LogStatus commit();
    // Commits two work logs together: both targets are replaced, or (when this fails before the
    // change is made) neither is; an interruption is completed at the next open of either.
    // On a failure, `failed` is the target whose work log could not be finished, else the first.
    [[nodiscard]] static logstore::LogStatus commit_together(WorkLog& first, WorkLog& second,
                                                             std::string& failed);
    // Removes the work log (nothing happens after a commit).
    void discard();

  private:
    [[nodiscard]] logstore::LogStatus write_held();
    // Everything written, synced and closed, ready to be renamed.
    [[nodiscard]] logstore::LogStatus finish();
    void release();

    logstore::FileSystem& m_files;
    logstore::LogFile m_file;
    std::string m_target;
    std::string m_path;
    std::vector<std::uint8_t> m_held;
    int m_count = 0;
    bool m_claimed = false;
    int m_lock_fd = -1;
    logstore::FileLock m_target_lock;
};

using logstore::work_name_for;

// A log replaced whole by a file made elsewhere (an ADIF import): the old log of that name is
// this run's from begin() until the object goes, so no other Kestrel has it open meanwhile, and a
// change to it that was interrupted is put right first, while its journal still stands beside
// the file it was made for. The new file never inherits the old one's journal.
class LogReplacement {
  public:
    // What was put right in the old log, or why it cannot be replaced (in use, recovery failed).
    [[nodiscard]] Result<logstore::Recovery, logstore::LogError> begin(const std::string& path);
    // Writes the new log whole beside its name and puts it in place; false when it could not be
    // written (the old log is then as it was).
    [[nodiscard]] bool write(std::string_view records);

  private:
    logstore::FileLock m_lock;
    std::string m_path;
};

// Whether two names lead to the same file (the same device and inode; for names that do not
// exist yet, the same absolute path).
[[nodiscard]] bool same_file(logstore::FileSystem& files, const std::string& a, const std::string& b);

// Whole records in the file at path, and its length; 0 when there is no such file.
[[nodiscard]] int records_in(logstore::FileSystem& files, const std::string& path);
[[nodiscard]] std::int64_t bytes_in(logstore::FileSystem& files, const std::string& path);

[[nodiscard]] bool file_exists(logstore::FileSystem& files, const std::string& path);

} // namespace kestrel::exchange
