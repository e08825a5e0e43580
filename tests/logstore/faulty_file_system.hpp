#pragma once

#include "logstore/file_system.hpp"

#include <cerrno>
#include <string>
#include <vector>

namespace kestrel::testing {

// The real file system with failures on demand: a change (pwrite, ftruncate, fsync) that fails
// once or from some point on, a disk with only so much room left, a file that may not be opened
// for writing, a side file that cannot be written. It also counts the calls, so tests can see
// that records move in blocks and that changes are synced.
class FaultyFileSystem final : public logstore::FileSystem {
  public:
    // Change calls are numbered from 1 after each arm().
    int fail_change_number = 0; // this one change fails
    int fail_changes_from = 0;  // this change and every later one fail
    int change_error = EIO;
    long long free_space = -1; // bytes files may still grow by; -1 for no limit
    bool refuse_writable_open = false;
    bool fail_new_files = false;

    int changes = 0;
    int pwrites = 0;
    int preads = 0;
    std::vector<std::string> change_log;

    void arm() {
        changes = 0;
        pwrites = 0;
        preads = 0;
        change_log.clear();
    }

    int open(const std::string& path, OpenMode mode) override {
        if (refuse_writable_open && mode == OpenMode::read_write_create) return -EACCES;
        if (fail_new_files && mode == OpenMode::write_new) return -EIO;
        return m_real.open(path, mode);
    }

    std::int64_t pread(int fd, std::span<std::uint8_t> buffer, std::int64_t offset) override {
        ++preads;
        return m_real.pread(fd, buffer, offset);
    }

    std::int64_t pwrite(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset) override {
        ++pwrites;
        if (const int error = next_change("pwrite")) return error;
        if (free_space >= 0) {
            logstore::FileInfo info;
            (void)m_real.fstat(fd, info);
            const long long end = offset + static_cast<long long>(bytes.size());
            if (end > info.size + free_space) {
                const long long room = info.size + free_space - offset;
                if (room <= 0) return -ENOSPC;
                bytes = bytes.first(static_cast<std::size_t>(room));
            }
            const long long growth = offset + static_cast<long long>(bytes.size()) - info.size;
            if (growth > 0) free_space -= growth;
        }
        return m_real.pwrite(fd, bytes, offset);
    }

    int ftruncate(int fd, std::int64_t length) override {
        if (const int error = next_change("ftruncate")) return error;
        logstore::FileInfo info;
        (void)m_real.fstat(fd, info);
        if (free_space >= 0) free_space += info.size - length;
        return m_real.ftruncate(fd, length);
    }

    int fsync(int fd) override {
        if (const int error = next_change("fsync")) return error;
        return m_real.fsync(fd);
    }

    int fstat(int fd, logstore::FileInfo& info) override { return m_real.fstat(fd, info); }
    int stat(const std::string& path, logstore::FileInfo& info) override { return m_real.stat(path, info); }
    int rename(const std::string& from, const std::string& to) override {
        if (const int error = next_change("rename")) return error;
        return m_real.rename(from, to);
    }
    int unlink(const std::string& path) override { return m_real.unlink(path); }
    int close(int fd) override { return m_real.close(fd); }

  private:
    int next_change(const char* name) {
        ++changes;
        change_log.emplace_back(name);
        const bool fails =
            changes == fail_change_number || (fail_changes_from > 0 && changes >= fail_changes_from);
        return fails ? -change_error : 0;
    }

    logstore::FileSystem& m_real = logstore::posix_file_system();
};

} // namespace kestrel::testing
