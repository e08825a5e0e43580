#include "exchange/log_copy.hpp"

#include "common/file_names.hpp"
#include "common/fixed_text.hpp"
#include "common/side_file.hpp"
#include "logstore/journal.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>

namespace kestrel::exchange {

namespace {

using logstore::k_record_size;
using logstore::LogError;
using logstore::LogStatus;
using logstore::RecordBytes;

constexpr std::size_t k_block_bytes = std::size_t{logstore::LogFile::k_block_records} * k_record_size;

LogError open_error_of(int error_number) {
    switch (error_number) {
    case EACCES:
    case EPERM:
    case EROFS: return LogError::read_only;
    case ENOSPC:
    case EDQUOT: return LogError::disk_full;
    default: return LogError::open_failed;
    }
}

std::string absolute_normal(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return (ec ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

} // namespace

LogStatus LogReader::open(const std::string& path) {
    close();
    if (!file_exists(m_files, path)) return LogError::open_failed;
    if (const auto status = m_file.open(path); !status) return status;
    return {};
}

void LogReader::close() {
    m_file.close();
    rewind();
}

void LogReader::rewind() {
    m_block.clear();
    m_block_first = 1;
    m_block_count = 0;
    m_next = 1;
    m_status = {};
}

LogStatus LogReader::read(int first, int count, std::vector<RecordBytes>& out) const {
    std::vector<std::uint8_t> bytes;
    if (const auto status = m_file.read(first, count, bytes); !status) return status;
    out.resize(static_cast<std::size_t>(count));
    if (count > 0) std::memcpy(out.data(), bytes.data(), bytes.size());
    return {};
}

LogStatus LogReader::check_unchanged() {
    if (!is_open()) return LogError::no_log_open;
    const int count = record_count();
    const int trailing = trailing_bytes();
    if (const auto status = m_file.refresh(); !status) return status;
    if (record_count() != count || trailing_bytes() != trailing) return LogError::changed_elsewhere;
    return {};
}

bool LogReader::next(RecordBytes& record) {
    if (!m_status || !is_open() || m_next > record_count()) return false;
    if (m_next >= m_block_first + m_block_count) {
        m_block_first = m_next;
        m_block_count = std::min(logstore::LogFile::k_block_records, record_count() - m_next + 1);
        if (const auto status = m_file.read(m_block_first, m_block_count, m_block); !status) {
            m_status = status;
            m_block_count = 0;
            return false;
        }
    }
    const auto at = static_cast<std::size_t>(m_next - m_block_first) * k_record_size;
    std::memcpy(record.data(), m_block.data() + at, k_record_size);
    ++m_next;
    return true;
}

// Claims the work file at `name`: opened (made when absent) without following a link, locked,
// and still the file the name leads to. The descriptor; -EWOULDBLOCK when another run holds it,
// -EISDIR (or another error) when the name cannot be a work file.
int claim_work_file(logstore::FileSystem& files, const std::string& name) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int fd = files.open(name, logstore::FileSystem::OpenMode::lock);
        if (fd == -ELOOP) {
            // A link planted at the work name: removed, never written through.
            if (const int removed = files.unlink(name); removed < 0) return removed;
            continue;
        }
        if (fd < 0) return fd;
        logstore::FileInfo opened;
        logstore::FileInfo named;
        if (files.fstat(fd, opened) < 0 || !opened.regular) {
            (void)files.close(fd);
            return -EISDIR;
        }
        if (const int locked = files.try_lock(fd); locked < 0) {
            (void)files.close(fd);
            return locked;
        }
        if (files.lstat(name, named) == 0 && named.device == opened.device && named.inode == opened.inode)
            return fd;
        (void)files.close(fd);
    }
    return -EAGAIN;
}

LogStatus WorkLog::create(const std::string& target) {
    discard();
    m_target = target;
    m_count = 0;
    // The target is this run's until the work log is committed or dropped: no other Kestrel
    // changes it meanwhile, and what the change found interrupted is put right under the lock.
    auto lock = logstore::lock_log(target);
    if (!lock && lock.error() == logstore::LockProblem::busy) return LogError::in_use;
    if (lock) m_target_lock = std::move(lock).value();
    if (const auto recovered = logstore::recover_log(m_files, target); !recovered) {
        m_target_lock.release();
        return recovered.error();
    }
    const std::string base = work_name_for(target);
    for (int n = 0; n < logstore::k_work_name_tries; ++n) {
        const std::string name = n == 0 ? base : add_to_file_name(base, std::to_string(n));
        const int fd = claim_work_file(m_files, name);
        if (fd == -EISDIR || fd == -EWOULDBLOCK || fd == -EAGAIN) continue;
        if (fd < 0) {
            m_target_lock.release();
            return open_error_of(-fd);
        }
        m_lock_fd = fd;
        m_path = name;
        m_claimed = true;
        if (const auto status = m_file.open(name); !status) {
            discard();
            return status;
        }
        if (m_file.record_count() > 0 || m_file.trailing_bytes() > 0) {
            if (const auto status = m_file.truncate_to_empty(); !status) {
                discard();
                return status;
            }
        }
        return {};
    }
    m_target_lock.release();
    return LogError::open_failed;
}

LogStatus WorkLog::append(const RecordBytes& record) {
    if (!m_claimed) return LogError::no_log_open;
    m_held.insert(m_held.end(), record.begin(), record.end());
    ++m_count;
    if (m_held.size() >= k_block_bytes) return write_held();
    return {};
}

LogStatus WorkLog::write_held() {
    if (m_held.empty()) return {};
    const logstore::LogFile::Contents contents{.middle = m_held};
    const auto status =
        m_file.splice(m_file.record_count() + 1, {}, contents,
                      logstore::LogFile::WriteOrder::first_block_first, logstore::LogFile::Sync::no);
    m_held.clear();
    return status;
}

LogStatus WorkLog::finish() {
    if (!m_claimed) return LogError::no_log_open;
    if (const auto status = write_held(); !status) return status;
    if (const auto status = m_file.sync(); !status) return status;
    m_file.close();
    return {};
}

LogStatus WorkLog::commit() {
    if (const auto status = finish(); !status) {
        discard();
        return status;
    }
    if (const auto status = logstore::rename_together(m_files, {{m_path, m_target}}); !status) {
        discard();
        return status;
    }
    release();
    return {};
}

LogStatus WorkLog::commit_together(WorkLog& first, WorkLog& second, std::string& failed) {
    failed = first.m_target;
    for (WorkLog* work : {&first, &second}) {
        if (const auto status = work->finish(); !status) {
            failed = work->m_target;
            first.discard();
            second.discard();
            return status;
        }
    }
    const auto status = logstore::rename_together(
        first.m_files, {{first.m_path, first.m_target}, {second.m_path, second.m_target}});
    // After a failure once the change was made, its journal stays and so must the work files:
    // the next open completes the renames.
    if (!status && !file_exists(first.m_files, logstore::journal_path_of(first.m_target))) {
        first.discard();
        second.discard();
    }
    first.release();
    second.release();
    return status;
}

void WorkLog::release() {
    if (m_lock_fd >= 0) (void)m_files.close(m_lock_fd);
    m_lock_fd = -1;
    m_claimed = false;
    m_target_lock.release();
}

void WorkLog::discard() {
    m_held.clear();
    m_file.close();
    if (m_claimed) (void)m_files.unlink(m_path);
    release();
}

Result<logstore::Recovery, LogError> LogReplacement::begin(const std::string& path) {
    m_lock.release();
    m_path = path;
    auto lock = logstore::lock_log(path);
    if (!lock && lock.error() == logstore::LockProblem::busy) return LogError::in_use;
    if (lock) m_lock = std::move(lock).value();
    return logstore::recover_log(logstore::posix_file_system(), path);
}

bool LogReplacement::write(std::string_view records) {
    return write_side_file(m_path, records);
}

bool same_file(logstore::FileSystem& files, const std::string& a, const std::string& b) {
    logstore::FileInfo ia;
    logstore::FileInfo ib;
    if (files.stat(a, ia) == 0 && files.stat(b, ib) == 0)
        return ia.device == ib.device && ia.inode == ib.inode;
    return absolute_normal(a) == absolute_normal(b);
}

int records_in(logstore::FileSystem& files, const std::string& path) {
    return static_cast<int>(
        std::min<std::int64_t>(bytes_in(files, path) / k_record_size, std::numeric_limits<int>::max()));
}

std::int64_t bytes_in(logstore::FileSystem& files, const std::string& path) {
    logstore::FileInfo info;
    return files.stat(path, info) < 0 ? 0 : info.size;
}

bool file_exists(logstore::FileSystem& files, const std::string& path) {
    logstore::FileInfo info;
    return !path.empty() && files.stat(path, info) == 0;
}

} // namespace kestrel::exchange
