#include "logstore/log_file.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>

namespace kestrel::logstore {

namespace {

constexpr std::int64_t offset_of(int record) {
    return std::int64_t{record - 1} * k_record_size;
}
constexpr std::size_t bytes_of(int records) {
    return static_cast<std::size_t>(records) * k_record_size;
}
constexpr std::size_t k_block_bytes = bytes_of(LogFile::k_block_records);

std::string absolute_path_of(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

// The records looked at to tell a log from another file.
constexpr int k_records_looked_at = 4;

bool is_day_of_a_date(int day_number) {
    // 500 × year + 35 × month + day: the remainder by 500 gives month and day back.
    const int rest = ((day_number + 32000) % 500 + 500) % 500;
    const int month = rest / 35;
    const int day = rest % 35;
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool is_minute_of_day(std::int16_t minute) {
    return minute >= 0 && minute < 24 * 60;
}

// A record of any of the three kinds as the program writes them: a real date, a time of day
// (both times of a contact), and a call field of printable characters (or unused 0x00 bytes).
bool is_log_record(const RecordBytes& record) {
    using namespace record_layout;
    if (!is_day_of_a_date(record_date(record)) || !is_minute_of_day(record_time(record))) return false;
    for (int i = 0; i < k_call_width; ++i) {
        const std::uint8_t c = record[call + static_cast<std::size_t>(i)];
        if ((c != 0 && c < 0x20) || c == 0x7F) return false;
    }
    if (record[call] == '/') return true;
    return is_minute_of_day(int16_at(record, time_off));
}

} // namespace

LogStatus LogFile::open(const std::string& path) {
    close();
    m_path = path;
    m_absolute_path = absolute_path_of(path);
    if (FileInfo info; m_files.stat(path, info) == 0 && !info.regular) return LogError::not_a_file;
    if (m_journaling) {
        auto lock = lock_log(m_absolute_path);
        if (!lock && lock.error() == LockProblem::busy) return LogError::in_use;
        if (lock) m_lock = std::move(lock).value();
        const auto recovered = recover_log(m_files, m_absolute_path);
        if (!recovered) {
            m_lock.release();
            return recovered.error();
        }
        m_recovery = *recovered;
    }
    int fd = m_files.open(path, FileSystem::OpenMode::read_write_create);
    m_writable = true;
    if (fd == -EACCES || fd == -EROFS || fd == -EPERM) {
        fd = m_files.open(path, FileSystem::OpenMode::read_only);
        m_writable = false;
    }
    if (fd < 0) {
        const Recovery recovery = m_recovery;
        close();
        m_recovery = recovery;
        return LogError::open_failed;
    }
    m_fd = fd;
    FileInfo info;
    if (m_files.fstat(fd, info) == 0 && !info.regular) {
        close();
        return LogError::not_a_file;
    }
    if (const auto status = refresh(); !status) {
        close();
        return LogError::open_failed;
    }
    // A work file is the program's own, whatever a stopped run left in it.
    m_looks_like_log = !m_journaling || m_count > 0 || m_trailing == 0;
    std::vector<std::uint8_t> first;
    if (m_journaling && m_looks_like_log && read(1, std::min(m_count, k_records_looked_at), first)) {
        for (std::size_t at = 0; at < first.size(); at += k_record_size) {
            RecordBytes record;
            std::copy_n(first.begin() + static_cast<std::ptrdiff_t>(at), k_record_size, record.begin());
            m_looks_like_log = m_looks_like_log && is_log_record(record);
        }
    }
    m_read_only = !m_writable || !m_looks_like_log;
    return {};
}

void LogFile::accept_as_log() {
    m_looks_like_log = true;
    m_read_only = !m_writable;
}

void LogFile::close() {
    if (m_fd >= 0) (void)m_files.close(m_fd);
    m_fd = -1;
    m_lock.release();
    m_read_only = false;
    m_writable = false;
    m_looks_like_log = true;
    m_needs_recovery = false;
    m_recovery = Recovery::none;
    m_count = 0;
    m_trailing = 0;
}

void LogFile::set_length(std::int64_t length) {
    m_count = static_cast<int>(length / k_record_size);
    m_trailing = static_cast<int>(length % k_record_size);
}

LogStatus LogFile::refresh() {
    if (!is_open()) return LogError::no_log_open;
    FileInfo info;
    if (m_files.fstat(m_fd, info) < 0) return LogError::read_failed;
    if (info.size / k_record_size > std::numeric_limits<int>::max()) return LogError::read_failed;
    set_length(info.size);
    return {};
}

LogStatus LogFile::read(int first, int count, std::vector<std::uint8_t>& out) const {
    if (!is_open()) return LogError::no_log_open;
    if (count < 0 || first < 1 || (count > 0 && first + count - 1 > m_count)) return LogError::no_such_record;
    out.resize(bytes_of(count));
    std::span<std::uint8_t> rest(out);
    std::int64_t offset = offset_of(first);
    while (!rest.empty()) {
        const auto block = rest.first(std::min(rest.size(), k_block_bytes));
        if (read_all(m_files, m_fd, block, offset) != static_cast<std::int64_t>(block.size())) {
            return LogError::read_failed;
        }
        rest = rest.subspan(block.size());
        offset += static_cast<std::int64_t>(block.size());
    }
    return {};
}

LogStatus LogFile::read_trailing(std::vector<std::uint8_t>& out) const {
    if (!is_open()) return LogError::no_log_open;
    out.resize(static_cast<std::size_t>(m_trailing));
    if (read_all(m_files, m_fd, out, offset_of(m_count + 1)) != m_trailing) return LogError::read_failed;
    return {};
}

LogStatus LogFile::check_can_change(bool changes_length) const {
    if (!is_open()) return LogError::no_log_open;
    if (m_read_only) return LogError::read_only;
    if (m_needs_recovery) return LogError::restore_failed;
    FileInfo open_file;
    if (m_files.fstat(m_fd, open_file) < 0) return LogError::write_failed;
    FileInfo named_file;
    if (m_files.stat(m_absolute_path, named_file) < 0) return LogError::file_gone;
    if (named_file.device != open_file.device || named_file.inode != open_file.inode)
        return LogError::file_gone;
    if (open_file.size != length()) return LogError::changed_elsewhere;
    if (changes_length && m_trailing != 0) return LogError::partial_record;
    return {};
}

LogStatus LogFile::write_blocks(int first, const Contents& contents, std::size_t begin, std::size_t end,
                                WriteOrder order, std::int64_t& written) {
    struct Block {
        std::size_t at; // position in the contents
        std::span<const std::uint8_t> bytes;
    };
    std::vector<Block> blocks;
    std::size_t piece_start = 0;
    for (const auto piece : {contents.front, contents.middle, contents.back}) {
        const std::size_t from = std::max(begin, piece_start);
        const std::size_t to = std::min(end, piece_start + piece.size());
        for (std::size_t at = from; at < to; at += k_block_bytes) {
            blocks.push_back({at, piece.subspan(at - piece_start, std::min(k_block_bytes, to - at))});
        }
        piece_start += piece.size();
    }
    if (order == WriteOrder::last_block_first) std::reverse(blocks.begin(), blocks.end());
    for (const Block& block : blocks) {
        const std::int64_t offset = offset_of(first) + static_cast<std::int64_t>(block.at);
        const int status = write_all(m_files, m_fd, block.bytes, offset, &written);
        if (status < 0) return write_error_of(-status);
    }
    return {};
}

LogError LogFile::restore(int first, std::span<const std::uint8_t> old_bytes, LogError cause) {
    const std::int64_t old_length = length();
    if (write_all(m_files, m_fd, old_bytes, offset_of(first)) < 0) return LogError::restore_failed;
    FileInfo info;
    if (m_files.fstat(m_fd, info) < 0) return LogError::restore_failed;
    if (info.size != old_length && m_files.ftruncate(m_fd, old_length) < 0) return LogError::restore_failed;
    if (m_files.fsync(m_fd) < 0) return LogError::restore_failed;
    return cause;
}

LogError LogFile::abandon(int first, std::span<const std::uint8_t> old_bytes, bool touched, LogError cause) {
    const LogError result = touched ? restore(first, old_bytes, cause) : cause;
    if (result == LogError::restore_failed) {
        m_needs_recovery = m_journal.active();
        return result;
    }
    // The log is as it was; a journal that could not be removed would only write back what is
    // there.
    (void)m_journal.end();
    return result;
}

LogStatus LogFile::splice(int first, std::span<const std::uint8_t> old_bytes, const Contents& contents,
                          WriteOrder order, Sync sync) {
    const int old_count = static_cast<int>(old_bytes.size() / k_record_size);
    const int new_count = static_cast<int>(contents.size() / k_record_size);
    const int count = m_count;
    if (first < 1 || first + old_count - 1 > count) return LogError::no_such_record;
    if (old_count != new_count && first + old_count - 1 != count) return LogError::no_such_record;
    const int new_total = count - old_count + new_count;
    if (const auto status = check_can_change(new_total != count); !status) return status;
    if (m_journaling) {
        if (const auto status = m_journal.begin(m_absolute_path, m_fd, length(),
                                                std::int64_t{new_total} * k_record_size + m_trailing,
                                                offset_of(first), old_bytes);
            !status)
            return status;
        sync = Sync::yes;
    }

    // New space first: if the disk is full, nothing else has been touched yet.
    const int inside = std::min(new_count, count - first + 1);
    std::int64_t written = 0;
    if (new_total > count) {
        const auto status = write_blocks(first, contents, bytes_of(inside), contents.size(), order, written);
        if (!status) {
            const bool cut = written == 0 || m_files.ftruncate(m_fd, length()) == 0;
            if (!cut) return abandon(first, old_bytes, false, LogError::restore_failed);
            return abandon(first, old_bytes, false, status.error());
        }
    }
    if (const auto status = write_blocks(first, contents, 0, bytes_of(inside), order, written); !status) {
        // A refusal before the first byte (a read-only disk) leaves nothing to undo.
        return abandon(first, old_bytes, written > 0, status.error());
    }
    if (new_total < count) {
        const int status = m_files.ftruncate(m_fd, offset_of(new_total + 1));
        if (status < 0) return abandon(first, old_bytes, written > 0, write_error_of(-status));
    }
    if (sync == Sync::yes) {
        const int status = m_files.fsync(m_fd);
        if (status < 0) return abandon(first, old_bytes, true, write_error_of(-status));
    }
    if (const auto status = m_journal.end(); !status) return abandon(first, old_bytes, true, status.error());
    m_count = new_total;
    return {};
}

LogStatus LogFile::truncate(int count) {
    if (count < 0 || count > m_count) return LogError::no_such_record;
    std::vector<std::uint8_t> old_bytes;
    if (const auto status = read(count + 1, m_count - count, old_bytes); !status) return status;
    return splice(count + 1, old_bytes, Contents{}, WriteOrder::first_block_first, Sync::yes);
}

LogStatus LogFile::sync() {
    if (!is_open()) return LogError::no_log_open;
    const int status = m_files.fsync(m_fd);
    if (status < 0) return write_error_of(-status);
    return {};
}

LogStatus LogFile::truncate_to_empty() {
    if (const auto status = check_can_change(false); !status) return status;
    const int status = m_files.ftruncate(m_fd, 0);
    if (status < 0) return write_error_of(-status);
    const int synced = m_files.fsync(m_fd);
    (void)refresh();
    if (synced < 0) return write_error_of(-synced);
    return {};
}

LogStatus LogFile::set_aside_trailing(const std::string& side_path) {
    if (m_trailing == 0) return {};
    if (const auto status = check_can_change(false); !status) return status;
    std::vector<std::uint8_t> tail;
    if (const auto status = read_trailing(tail); !status) return status;
    const std::int64_t whole = offset_of(m_count + 1);
    const std::string side_absolute = absolute_path_of(side_path);
    if (m_journaling) {
        if (const auto status =
                m_journal.begin(m_absolute_path, m_fd, length(), whole, whole, tail, side_absolute);
            !status)
            return status;
    }
    // Nothing in the log has changed yet: only the journal goes.
    const auto give_up = [&](LogError error) { return abandon(m_count + 1, tail, false, error); };

    const int side = m_files.open(side_path, FileSystem::OpenMode::write_new);
    if (side == -EEXIST) return give_up(LogError::side_file_exists);
    if (side < 0) return give_up(LogError::side_file_failed);
    const bool saved = write_all(m_files, side, tail, 0) == 0 && m_files.fsync(side) == 0;
    const bool closed = m_files.close(side) == 0;
    if (!saved || !closed || m_files.sync_directory(directory_of(side_absolute)) < 0) {
        (void)m_files.unlink(side_path);
        return give_up(LogError::side_file_failed);
    }

    int status = m_files.ftruncate(m_fd, whole);
    if (status == 0) status = m_files.fsync(m_fd);
    LogStatus ended;
    if (status == 0) ended = m_journal.end();
    if (status < 0 || !ended) {
        // Both copies of the bytes exist: keep the one in the log, as the journal would.
        (void)m_files.unlink(side_path);
        return abandon(m_count + 1, tail, true, status < 0 ? write_error_of(-status) : ended.error());
    }
    (void)refresh();
    return {};
}

} // namespace kestrel::logstore
