#pragma once

#include "logstore/file_system.hpp"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <string>

namespace kestrel::testing {

// The real file system, stopped dead at a chosen point as a killed process would be: every byte
// written counts one step, and so does every other change (creating, cutting, renaming or
// removing a file). The write that reaches the last step stops part way, torn wherever the
// budget runs out; from then on nothing reaches any file, every change fails and nothing is
// synced. Reads still work, as they would for the doomed process.
class CrashingFileSystem final : public logstore::FileSystem {
  public:
    static constexpr std::int64_t k_never = std::numeric_limits<std::int64_t>::max();

    explicit CrashingFileSystem(std::int64_t steps = k_never) : m_left(steps) {}

    bool crashed() const { return m_crashed; }
    // Steps taken so far (all of them, when the budget never ran out).
    std::int64_t steps() const { return m_taken; }

    int open(const std::string& path, OpenMode mode) override {
        if (mode == OpenMode::read_only) return m_real.open(path, mode);
        logstore::FileInfo info;
        const bool creates = m_real.stat(path, info) < 0;
        const bool truncates = mode == OpenMode::write_replace && !creates && info.size > 0;
        if ((creates || truncates) && !take(1)) return -EIO;
        return m_real.open(path, mode);
    }

    std::int64_t pread(int fd, std::span<std::uint8_t> buffer, std::int64_t offset) override {
        return m_real.pread(fd, buffer, offset);
    }

    std::int64_t pwrite(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset) override {
        if (m_crashed) return -EIO;
        const auto size = static_cast<std::int64_t>(bytes.size());
        if (m_left < size) {
            // Torn: the first bytes reach the file, the process dies before the rest.
            if (m_left > 0) (void)m_real.pwrite(fd, bytes.first(static_cast<std::size_t>(m_left)), offset);
            m_taken += m_left;
            m_left = 0;
            m_crashed = true;
            return -EIO;
        }
        m_left -= size;
        m_taken += size;
        return m_real.pwrite(fd, bytes, offset);
    }

    int ftruncate(int fd, std::int64_t length) override {
        return take(1) ? m_real.ftruncate(fd, length) : -EIO;
    }
    // What a killed process wrote is in the page cache and survives it: syncing changes nothing
    // this model can see, and is left out to keep a run over every cut point quick.
    int fsync(int) override { return m_crashed ? -EIO : 0; }
    int fstat(int fd, logstore::FileInfo& info) override { return m_real.fstat(fd, info); }
    int stat(const std::string& path, logstore::FileInfo& info) override { return m_real.stat(path, info); }
    int rename(const std::string& from, const std::string& to) override {
        return take(1) ? m_real.rename(from, to) : -EIO;
    }
    int unlink(const std::string& path) override { return take(1) ? m_real.unlink(path) : -EIO; }
    // Descriptors are given back whatever happened; closing changes no file.
    int close(int fd) override { return m_real.close(fd); }
    int sync_directory(const std::string&) override { return m_crashed ? -EIO : 0; }
    int try_lock(int fd) override { return m_real.try_lock(fd); }

  private:
    bool take(std::int64_t count) {
        if (m_crashed || m_left < count) {
            m_crashed = true;
            return false;
        }
        m_left -= count;
        m_taken += count;
        return true;
    }

    logstore::FileSystem& m_real = logstore::posix_file_system();
    std::int64_t m_left;
    std::int64_t m_taken = 0;
    bool m_crashed = false;
};

} // namespace kestrel::testing
