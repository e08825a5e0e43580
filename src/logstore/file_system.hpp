#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kestrel::logstore {

// Where a file lives and how long it is; two names refer to the same file when device and
// inode agree.
struct FileInfo {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    // A plain file: not a folder, a named pipe, a device or a socket.
    bool regular = true;
    // A symbolic link itself (only lstat says so).
    bool link = false;
};

// The system calls the log store makes, behind one interface so tests can make any of them fail.
// Every call returns a negative errno value on failure; pread and pwrite return the byte count,
// open the descriptor, the rest 0.
class FileSystem {
  public:
    enum class OpenMode {
        read_write_create, // the log: O_RDWR | O_CREAT
        read_only,         // O_RDONLY
        write_new,         // a file that must not exist yet: O_WRONLY | O_CREAT | O_EXCL
        write_replace,     // O_WRONLY | O_CREAT | O_TRUNC, never through a symbolic link
        lock,              // a lock file: O_RDWR | O_CREAT, never through a symbolic link
    };
    // Every open is made without waiting (O_NONBLOCK), so a named pipe or a device planted
    // where a file belongs opens at once and is then refused by its type (FileInfo::regular),
    // rather than hanging the program.

    virtual ~FileSystem() = default;
    virtual int open(const std::string& path, OpenMode mode) = 0;
    virtual std::int64_t pread(int fd, std::span<std::uint8_t> buffer, std::int64_t offset) = 0;
    virtual std::int64_t pwrite(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset) = 0;
    virtual int ftruncate(int fd, std::int64_t length) = 0;
    virtual int fsync(int fd) = 0;
    virtual int fstat(int fd, FileInfo& info) = 0;
    virtual int stat(const std::string& path, FileInfo& info) = 0;
    // The name itself: a symbolic link is told as one, not followed.
    virtual int lstat(const std::string& path, FileInfo& info) { return stat(path, info); }
    virtual int rename(const std::string& from, const std::string& to) = 0;
    virtual int unlink(const std::string& path) = 0;
    virtual int close(int fd) = 0;
    // Makes the names in a directory (files created, renamed or removed there) last through a
    // power cut, as fsync does for a file's contents.
    virtual int sync_directory(const std::string& directory) = 0;
    // Takes an exclusive lock on an open file, held until it is closed, without waiting:
    // -EWOULDBLOCK when another process holds it.
    virtual int try_lock(int fd) = 0;
};

// The real calls. Holds no state, so one instance serves the whole program.
[[nodiscard]] FileSystem& posix_file_system();

// The directory a path names a file in ("." for a bare name).
[[nodiscard]] std::string directory_of(const std::string& path);

// Helpers over the interface that retry short transfers; 0 or a negative errno value.
// `written`, when given, is increased by the bytes that did reach the file, even on failure.
// Reading stops early at the end of the file; `read_all` reports how many bytes it got.
[[nodiscard]] int write_all(FileSystem& files, int fd, std::span<const std::uint8_t> bytes,
                            std::int64_t offset, std::int64_t* written = nullptr);
[[nodiscard]] std::int64_t read_all(FileSystem& files, int fd, std::span<std::uint8_t> buffer,
                                    std::int64_t offset);

} // namespace kestrel::logstore
