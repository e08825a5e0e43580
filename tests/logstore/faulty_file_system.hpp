#pragma once

#include "logstore/file_system.hpp"

#include <cerrno>
#include <map>
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
    bool fail_directory_syncs = false;
    // When set, only changes to the file of this name (the last part of its path) are counted
    // and failed, and only its writes counted: the log's own steps, not its journal's.
    std::string only_file;

    int changes = 0;
    int pwrites = 0;
    int preads = 0;
    std::vector<std::string> change_log;
    // The file name each change was made to (the last part of its path), beside change_log.
    std::vector<std::string> change_files;

    void arm() {
        changes = 0;
        pwrites = 0;
        preads = 0;
        change_log.clear();
        change_files.clear();
    }

    int open(const std::string& path, OpenMode mode) override {
        if (refuse_writable_open && mode == OpenMode::read_write_create) return -EACCES;
        if (fail_new_files && mode == OpenMode::write_new && !path.ends_with(".JNL")) return -EIO;
        const int fd = m_real.open(path, mode);
        if (fd >= 0) m_names[fd] = path.substr(path.rfind('/') + 1);
        return fd;
    }

    std::int64_t pread(int fd, std::span<std::uint8_t> buffer, std::int64_t offset) override {
        ++preads;
        return m_real.pread(fd, buffer, offset);
    }

    std::int64_t pwrite(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset) override {
        if (counts(name_of(fd))) ++pwrites;
        if (const int error = next_change("pwrite", name_of(fd))) return error;
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
        if (const int error = next_change("ftruncate", name_of(fd))) return error;
        logstore::FileInfo info;
        (void)m_real.fstat(fd, info);
        if (free_space >= 0) free_space += info.size - length;
        return m_real.ftruncate(fd, length);
    }

    int fsync(int fd) override {
        if (const int error = next_change("fsync", name_of(fd))) return error;
        return m_real.fsync(fd);
    }

    int fstat(int fd, logstore::FileInfo& info) override { return m_real.fstat(fd, info); }
    int stat(const std::string& path, logstore::FileInfo& info) override { return m_real.stat(path, info); }
    int rename(const std::string& from, const std::string& to) override {
        if (const int error = next_change("rename", to.substr(to.rfind('/') + 1))) return error;
        return m_real.rename(from, to);
    }
    int unlink(const std::string& path) override { return m_real.unlink(path); }
    int close(int fd) override {
        m_names.erase(fd);
        return m_real.close(fd);
    }
    // Not counted among the changes: a directory sync only makes earlier changes last.
    int sync_directory(const std::string& directory) override {
        return fail_directory_syncs ? -EIO : m_real.sync_directory(directory);
    }
    int try_lock(int fd) override { return m_real.try_lock(fd); }

  private:
    std::string name_of(int fd) const {
        const auto found = m_names.find(fd);
        return found == m_names.end() ? std::string() : found->second;
    }

    bool counts(const std::string& file) const { return only_file.empty() || file == only_file; }

    int next_change(const char* name, std::string file) {
        if (!counts(file)) return 0;
        ++changes;
        change_log.emplace_back(name);
        change_files.push_back(std::move(file));
        const bool fails =
            changes == fail_change_number || (fail_changes_from > 0 && changes >= fail_changes_from);
        return fails ? -change_error : 0;
    }

    logstore::FileSystem& m_real = logstore::posix_file_system();
    std::map<int, std::string> m_names;
};

} // namespace kestrel::testing
