#pragma once

#include "common/result.hpp"
#include "logstore/file_system.hpp"

#include <optional>
#include <string>

namespace kestrel::logstore {

// Why a lock was not taken.
enum class LockProblem {
    busy,        // another program holds it
    unavailable, // no lock file can be made there (a read-only folder, a folder of that name)
};

// An exclusive lock held by this program on a lock file, from take() until release() or the
// end of the object: one Kestrel per log and one per data directory.
//
// The lock is flock() on a small file that holds the process number of its holder, so that the
// one refused can say who has it. The system drops the lock when its holder dies, however it
// dies, so a lock file left by a killed run holds nobody and is simply taken again. The holder
// removes the file when it lets go; one who took the file just as it was removed finds that the
// name now leads elsewhere and tries again.
//
// Within this program a lock is counted, not taken twice: the log in use, a reader of it and a
// work log replacing it share one.
class FileLock {
  public:
    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // The lock's own file goes through the real calls whatever file system the log uses: it holds
    // nothing of the log's, and a test's failures are meant for the log.
    [[nodiscard]] static Result<FileLock, LockProblem> take(const std::string& lock_path);

    bool held() const { return !m_key.empty(); }
    void release();

    // The process number written in a lock file, when it holds one.
    [[nodiscard]] static std::optional<long> holder_of(const std::string& lock_path);

  private:
    explicit FileLock(std::string key) : m_key(std::move(key)) {}
    std::string m_key;
};

// The lock file of the log at log_path: a hidden file beside the file the path leads to (through
// any symbolic links), so that two names for one log share it: ".MYLOG.LOG.lock".
[[nodiscard]] std::string lock_path_of(const std::string& log_path);

// Takes the lock of a log; LockProblem::unavailable is no reason to refuse the log: where no
// lock file can be made, no journal can be either, and nobody changes the log from there.
[[nodiscard]] Result<FileLock, LockProblem> lock_log(const std::string& log_path);

} // namespace kestrel::logstore
