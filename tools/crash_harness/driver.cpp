#include "harness.hpp"

#include "exchange/log_copy.hpp"
#include "exchange/merge.hpp"
#include "logstore/file_lock.hpp"
#include "logstore/log_store.hpp"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace kestrel::crash {

namespace {

using logstore::LogStatus;
using logstore::LogStore;

// The journal is synced after every line, so it is never behind the log it describes.
class Journal {
  public:
    explicit Journal(const std::string& path)
        : m_fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644)) {}
    ~Journal() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    [[nodiscard]] bool write(const std::string& line) {
        return m_fd >= 0 && ::write(m_fd, line.data(), line.size()) == static_cast<ssize_t>(line.size()) &&
               ::fsync(m_fd) == 0;
    }

  private:
    int m_fd;
};

bool sorts_before_or_with(const RecordBytes& a, const RecordBytes& b) {
    const auto da = logstore::record_date(a), db = logstore::record_date(b);
    return da < db || (da == db && logstore::record_time(a) <= logstore::record_time(b));
}

// The number a record gets in date order, leaving record `skip` out (0 for none): after every
// record of an earlier date, or of the same date and an equal or earlier time.
int place_of(const std::vector<RecordBytes>& log, const RecordBytes& record, int skip) {
    int before = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (static_cast<int>(i) + 1 != skip && sorts_before_or_with(log[i], record)) ++before;
    }
    return before + 1;
}

class Driver {
  public:
    Driver(std::string path, std::string operation, unsigned seed)
        : m_path(std::move(path)), m_operation(std::move(operation)), m_random(seed) {}

    [[nodiscard]] bool load() {
        const auto log = open_as_program(m_path);
        if (!log || log->trailing_bytes != 0 || log->records.empty()) return false;
        m_model.log = log->records;
        if (std::filesystem::exists(merged_path_of(m_path))) {
            const auto merged = open_as_program(merged_path_of(m_path));
            if (!merged) return false;
            m_model.merged = merged->records;
        }
        for (const auto& record : m_model.log)
            m_next_serial = std::max(m_next_serial, serial_of(record) + 1);
        for (const auto& record : m_model.merged)
            m_next_serial = std::max(m_next_serial, serial_of(record) + 1);
        return true;
    }

    // A change of the named kind on the model's log; nothing for an unknown name.
    std::optional<Change> plan() {
        const std::string& operation = m_operation;
        const auto& log = m_model.log;
        const int count = static_cast<int>(log.size());
        Change change;
        if (operation == "append") {
            const auto& last = log.back();
            change.record =
                harness_record(m_next_serial++, 0, logstore::record_date(last), logstore::record_time(last));
            change.at = count + 1;
        } else if (operation == "insert") {
            change.record = harness_record(m_next_serial++, 0, date_near(), time_of_day());
            change.at = place_of(log, change.record, 0);
        } else if (operation == "delete") {
            change.kind = Change::Kind::erase;
            change.numbers = {pick(count)};
        } else if (operation == "replace") {
            change.kind = Change::Kind::replace;
            change.from = pick(count);
            const auto& old = log[static_cast<std::size_t>(change.from - 1)];
            change.record = harness_record(serial_of(old), edit_of(old) + 1, date_near(), time_of_day());
            change.at = place_of(log, change.record, change.from);
        } else if (operation == "qsl") {
            change.kind = Change::Kind::write;
            change.at = pick(count);
            change.record = log[static_cast<std::size_t>(change.at - 1)];
            logstore::flip_qsl_flags(change.record, static_cast<std::uint8_t>(1 + m_random() % 2));
        } else if (operation == "delete_many" || operation == "merge") {
            change.kind = operation == "merge" ? Change::Kind::merge : Change::Kind::erase;
            const int how_many = 2 + static_cast<int>(m_random() % 7);
            for (int i = 0; i < how_many; ++i)
                change.numbers.push_back(pick(count));
            std::sort(change.numbers.begin(), change.numbers.end());
            change.numbers.erase(std::unique(change.numbers.begin(), change.numbers.end()),
                                 change.numbers.end());
        } else {
            return std::nullopt;
        }
        return change;
    }

    // Makes the change the way the program's windows do; false, with the reason told, on failure.
    [[nodiscard]] bool perform(const Change& change) {
        if (change.kind == Change::Kind::merge) return merge(change);
        if (!m_store.is_open() && !open_store()) return false;
        LogStatus done;
        switch (change.kind) {
        case Change::Kind::insert:
            done =
                m_operation == "append"
                    ? m_store.append_record(change.record, logstore::index_text_of(change.record))
                    : m_store.insert_record_in_order(change.record, logstore::index_text_of(change.record));
            break;
        case Change::Kind::erase:
            done = change.numbers.size() == 1 ? m_store.delete_record(change.numbers[0])
                                              : m_store.delete_records(change.numbers);
            break;
        case Change::Kind::replace:
            done = m_store.replace_record(change.from, change.record, logstore::index_text_of(change.record));
            break;
        case Change::Kind::write:
            done = m_store.write_record(change.at, change.record);
            if (done) done = m_store.flush_log();
            break;
        case Change::Kind::merge: break;
        }
        if (!done) return fail(logstore::log_error_text(done.error(), m_path));
        // An append leaves the current record alone; an insert or a replacement makes it the
        // record's new number, which must be the one the journal gave.
        const bool placed = m_operation == "insert" || m_operation == "replace";
        if (placed && m_store.current_record() != change.at) {
            return fail("the record went to number " + std::to_string(m_store.current_record()) + ", not " +
                        std::to_string(change.at));
        }
        return true;
    }

    void commit(const Change& change) { apply(change, m_model); }

    // After an uninterrupted run, the files must hold what the model says.
    [[nodiscard]] bool files_match_model() {
        m_store.close_log();
        const auto log = open_as_program(m_path);
        const auto merged = std::filesystem::exists(merged_path_of(m_path))
                                ? open_as_program(merged_path_of(m_path))
                                : std::optional<SeenLog>(SeenLog{});
        return log && merged && log->records == m_model.log && merged->records == m_model.merged;
    }

  private:
    int pick(int count) { return 1 + static_cast<int>(m_random() % static_cast<unsigned>(count)); }
    std::int16_t date_near() { return logstore::record_date(m_model.log[m_random() % m_model.log.size()]); }
    std::int16_t time_of_day() { return static_cast<std::int16_t>(m_random() % 1440); }

    bool open_store() {
        if (const LogStatus opened = m_store.open_log(m_path); !opened) {
            return fail(logstore::log_error_text(opened.error(), m_path));
        }
        if (const LogStatus indexed = m_store.build_record_index(); !indexed) {
            return fail(logstore::log_error_text(indexed.error(), m_path));
        }
        return true;
    }

    bool merge(const Change& change) {
        exchange::LogReader extract(logstore::posix_file_system());
        if (const LogStatus opened = extract.open(m_path); !opened) {
            return fail(logstore::log_error_text(opened.error(), m_path));
        }
        std::vector<bool> marks(static_cast<std::size_t>(extract.record_count()), false);
        for (const int n : change.numbers)
            marks[static_cast<std::size_t>(n - 1)] = true;
        const auto outcome = exchange::merge_log_files(logstore::posix_file_system(), extract, marks, true,
                                                       merged_path_of(m_path));
        if (outcome.end != exchange::MergeEnd::done)
            return fail(logstore::log_error_text(outcome.error, outcome.path));
        return true;
    }

    static bool fail(const std::string& why) {
        std::fprintf(stderr, "crash_driver: %s\n", why.c_str());
        return false;
    }

    std::string m_path;
    std::string m_operation;
    std::mt19937 m_random;
    Logs m_model;
    LogStore m_store;
    int m_next_serial = 1;
};

} // namespace

std::string merged_path_of(const std::string& log) {
    const std::filesystem::path path(log);
    return (path.parent_path() / ("MERGED_" + path.filename().string())).string();
}

std::optional<SeenLog> open_as_program(const std::string& path) {
    LogStore store;
    if (!store.open_log(path)) return std::nullopt;
    SeenLog seen;
    seen.trailing_bytes = store.trailing_bytes();
    if (store.record_count() == 0) return seen;
    auto records = store.read_records(1, store.record_count());
    if (!records) return std::nullopt;
    seen.records = std::move(*records);
    return seen;
}

int make_log(const std::string& path, int count) {
    std::vector<std::uint8_t> bytes;
    int day = 0, minute = 0;
    for (int n = 1; n <= count; ++n) {
        minute += 1 + n % 17;
        if (minute > 1439) {
            minute %= 1440;
            ++day;
        }
        // Day numbers skip from the 28th of each month so every date is a real one.
        const int year = day / 336, month = day / 28 % 12 + 1, d = day % 28 + 1;
        const auto date = static_cast<std::int16_t>(500 * (100 + year % 29) + 35 * month + d - 32000);
        const RecordBytes record = harness_record(n, 0, date, static_cast<std::int16_t>(minute));
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    const bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return out && std::fclose(out) == 0 && written ? 0 : 1;
}

int intrude(const std::string& path) {
    LogStore store;
    const LogStatus opened = store.open_log(path);
    if (!opened && opened.error() == logstore::LogError::in_use) {
        std::printf("refused\n");
        return 0;
    }
    std::printf("%s\n", opened ? "opened" : "failed");
    return opened ? 3 : 1;
}

int replace_with(const std::string& path, const std::string& source) {
    std::ifstream in(source, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    exchange::LogReplacement replacement;
    const auto recovered = replacement.begin(path);
    if (!recovered || !replacement.write(bytes)) {
        std::printf("failed\n");
        return 1;
    }
    const auto log = open_as_program(path);
    const auto wanted = open_as_program(source);
    const bool same = log && wanted && log->records == wanted->records && log->trailing_bytes == 0;
    std::printf("%s %s\n", same ? "replaced" : "wrong",
                *recovered == logstore::Recovery::none ? "clean" : "journal");
    return same ? 0 : 1;
}

int run_driver(const std::string& path, const std::string& operation, unsigned seed, int count) {
    Driver driver(path, operation, seed);
    if (!driver.load()) {
        std::fprintf(stderr, "crash_driver: %s is not a harness log\n", path.c_str());
        return 1;
    }
    // Held for the whole run, as the program holds the log it has open, between changes too.
    const auto lock = logstore::lock_log(path);
    if (!lock) {
        std::fprintf(stderr, "crash_driver: %s is in use\n", path.c_str());
        return 1;
    }
    // The journal appears once the log is loaded: crash_test.sh starts its clock then.
    Journal journal(journal_path_of(path));
    for (int i = 1; i <= count; ++i) {
        const auto change = driver.plan();
        if (!change) {
            std::fprintf(stderr, "crash_driver: no operation %s\n", operation.c_str());
            return 2;
        }
        if (!journal.write(start_line(i, *change)) || !driver.perform(*change) ||
            !journal.write(done_line(i))) {
            return 1;
        }
        driver.commit(*change);
    }
    if (!driver.files_match_model()) {
        std::fprintf(stderr, "crash_driver: the log is not what the changes should have made it\n");
        return 1;
    }
    return 0;
}

} // namespace kestrel::crash
