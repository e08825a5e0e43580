#pragma once

#include "common/result.hpp"
#include "logstore/file_system.hpp"
#include "logstore/log_error.hpp"
#include "logstore/log_file.hpp"
#include "logstore/record.hpp"
#include "logstore/record_index.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::logstore {

// The one open log and what the program knows about it: its path, its records (1-based), the
// record index, the entry the editors work on, and the figures found while indexing.
//
// Every change goes straight to the file, all or nothing (see journal.hpp), and is synced to
// disk before it reports success. A change that fails leaves every record in the log as it was
// and returns the reason. A file whose length is not a whole number of records keeps its
// trailing bytes: the records before them can be read and rewritten, but nothing that would
// change the length is done until the operator has had them set aside.
class LogStore {
  public:
    LogStore() : LogStore(posix_file_system()) {}
    explicit LogStore(FileSystem& files) : m_file(files) {}

    // Opens a log (an absent file is created empty). The index is marked not loaded: the first
    // command that needs it builds it. The path is remembered even when the open fails.
    [[nodiscard]] LogStatus open_log(const std::string& path);
    // Opens a log and empties it (the file is cut to 0 bytes); its empty index is loaded. The
    // operator chose the file for a new log, so one that does not look like a log is emptied too.
    [[nodiscard]] LogStatus create_log(const std::string& path);
    void close_log();

    [[nodiscard]] Result<RecordBytes, LogError> read_record(int n) const;
    // Records first .. first + count - 1 in one read, for whole-log passes.
    [[nodiscard]] Result<std::vector<RecordBytes>, LogError> read_records(int first, int count) const;
    // Rewrites record n (1 ≤ n ≤ count) or, with n = count + 1, adds it at the end, synced.
    // A loaded index follows the record's call field and date.
    [[nodiscard]] LogStatus write_record(int n, const RecordBytes& record);
    [[nodiscard]] LogStatus flush_log();
    // Keeps records 1 .. n.
    [[nodiscard]] LogStatus truncate_log(int n);
    [[nodiscard]] LogStatus append_record(const RecordBytes& record, std::string_view index_text);
    // Puts the record after every record of an earlier date, or of the same date and an equal or
    // earlier time; current record becomes its number. Builds the index first if needed.
    [[nodiscard]] LogStatus insert_record_in_order(const RecordBytes& record, std::string_view index_text);
    [[nodiscard]] LogStatus delete_record(int n);
    // Removes several records in one pass over the log (the numbers in any order, repeats
    // ignored); the records after each close up. Either all go or, on a failure, none.
    [[nodiscard]] LogStatus delete_records(std::vector<int> numbers);
    // Saves new contents for record n at their place in date order: the records between the old
    // and the new place move by one, the file keeps its length, and current record becomes the
    // new number. Until the change is complete the old record stays in the log.
    [[nodiscard]] LogStatus replace_record(int n, const RecordBytes& record, std::string_view index_text);
    // Reads the whole log into the index and finds contact count and last band; `progress` is
    // told the records read so far after every 10th record.
    [[nodiscard]] LogStatus build_record_index(const std::function<void(int read)>& progress = {});
    // Moves the bytes after the last whole record into a new file at side_path, then cuts them
    // from the log. The side file must not exist yet.
    [[nodiscard]] LogStatus set_aside_partial_record(const std::string& side_path);

    bool is_open() const { return m_file.is_open(); }
    bool read_only() const { return m_file.read_only(); }
    // See LogFile::looks_like_log: a file that is shown read-only, never changed or repaired.
    bool looks_like_log() const { return m_file.looks_like_log(); }
    const std::string& path() const { return m_path; }
    int record_count() const { return m_file.record_count(); }
    int trailing_bytes() const { return m_file.trailing_bytes(); }
    // What the last open put right: an interrupted change undone or completed.
    Recovery recovery() const { return m_file.recovery(); }

    int current_record() const { return m_current_record; }
    void set_current_record(int n) { m_current_record = n; }

    bool index_loaded() const { return m_index_loaded; }
    // Marking the index loaded is honoured only when it has an entry for every record.
    void set_index_loaded(bool loaded);
    const RecordIndex& index() const { return m_index; }
    // Sets the index text of record n (after a rewrite changed its call).
    void set_index_call(int n, std::string_view index_text);

    int contact_count() const { return m_contact_count; }
    // A contact logged while the program runs counts at once, without indexing the log again.
    void count_contact() { ++m_contact_count; }
    // The band of the latest contact when the log was indexed; the on-line window and the rig
    // change it as the operator moves between bands.
    int last_band() const { return m_last_band; }
    void set_last_band(int band) { m_last_band = band; }

    const std::string& second_log_path() const { return m_second_log_path; }
    void set_second_log_path(std::string path) { m_second_log_path = std::move(path); }

  private:
    [[nodiscard]] LogStatus ensure_index();
    // Where a record dated `date` at `time` goes among the log's records, leaving out record
    // `skip` (0 for none); the answer counts as if `skip` were not there.
    [[nodiscard]] Result<int, LogError> place_in_order(int date, std::int16_t time, int skip) const;

    LogFile m_file;
    // The records a change is about to overwrite, kept between changes so that moving a large
    // log does not allocate and fault in fresh memory every time.
    std::vector<std::uint8_t> m_old_bytes;
    std::string m_path;
    int m_current_record = 0;
    bool m_index_loaded = false;
    RecordIndex m_index;
    int m_contact_count = 0;
    int m_last_band = 0;
    std::string m_second_log_path;
};

} // namespace kestrel::logstore
