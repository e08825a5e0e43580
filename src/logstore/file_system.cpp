#include "logstore/file_system.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::logstore {

namespace {

int flags_of(FileSystem::OpenMode mode) {
    switch (mode) {
    case FileSystem::OpenMode::read_write_create: return O_RDWR | O_CREAT;
    case FileSystem::OpenMode::read_only: return O_RDONLY;
    case FileSystem::OpenMode::write_new: return O_WRONLY | O_CREAT | O_EXCL;
    case FileSystem::OpenMode::write_replace: return O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
    case FileSystem::OpenMode::lock: return O_RDWR | O_CREAT | O_NOFOLLOW;
    }
    return O_RDONLY;
}

int result_of(int status) {
    return status < 0 ? -errno : status;
}

void fill(FileInfo& info, const struct stat& st) {
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
    info.size = static_cast<std::int64_t>(st.st_size);
    info.regular = S_ISREG(st.st_mode);
    info.link = S_ISLNK(st.st_mode);
}

class PosixFileSystem final : public FileSystem {
  public:
    int open(const std::string& path, OpenMode mode) override {
        int fd = 0;
        do {
            fd = ::open(path.c_str(), flags_of(mode) | O_CLOEXEC | O_NONBLOCK, 0644);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return -errno;
        // Only the open itself must not wait; whoever reads checks the type (fstat) first.
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        return fd;
    }

    std::int64_t pread(int fd, std::span<std::uint8_t> buffer, std::int64_t offset) override {
        ssize_t got = 0;
        do {
            got = ::pread(fd, buffer.data(), buffer.size(), static_cast<off_t>(offset));
        } while (got < 0 && errno == EINTR);
        return got < 0 ? -errno : got;
    }

    std::int64_t pwrite(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset) override {
        ssize_t put = 0;
        do {
            put = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        } while (put < 0 && errno == EINTR);
        return put < 0 ? -errno : put;
    }

    int ftruncate(int fd, std::int64_t length) override {
        return result_of(::ftruncate(fd, static_cast<off_t>(length)));
    }

    int fsync(int fd) override { return result_of(::fsync(fd)); }

    int fstat(int fd, FileInfo& info) override {
        struct stat st {};
        if (::fstat(fd, &st) < 0) return -errno;
        fill(info, st);
        return 0;
    }

    int stat(const std::string& path, FileInfo& info) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) < 0) return -errno;
        fill(info, st);
        return 0;
    }

    int lstat(const std::string& path, FileInfo& info) override {
        struct stat st {};
        if (::lstat(path.c_str(), &st) < 0) return -errno;
        fill(info, st);
        return 0;
    }

    int rename(const std::string& from, const std::string& to) override {
        return result_of(std::rename(from.c_str(), to.c_str()));
    }

    int unlink(const std::string& path) override { return result_of(::unlink(path.c_str())); }

    // Not retried on EINTR: on Linux the descriptor is gone either way.
    int close(int fd) override { return result_of(::close(fd)); }

    int sync_directory(const std::string& directory) override {
        int fd = 0;
        do {
            fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return -errno;
        const int status = result_of(::fsync(fd));
        ::close(fd);
        return status;
    }

    int try_lock(int fd) override {
        int status = 0;
        do {
            status = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (status < 0 && errno == EINTR);
        return result_of(status);
    }
};

} // namespace

FileSystem& posix_file_system() {
    static PosixFileSystem files;
    return files;
}

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

int write_all(FileSystem& files, int fd, std::span<const std::uint8_t> bytes, std::int64_t offset,
              std::int64_t* written) {
    while (!bytes.empty()) {
        const std::int64_t put = files.pwrite(fd, bytes, offset);
        if (put < 0) return static_cast<int>(put);
        if (put == 0) return -EIO;
        if (written) *written += put;
        bytes = bytes.subspan(static_cast<std::size_t>(put));
        offset += put;
    }
    return 0;
}

std::int64_t read_all(FileSystem& files, int fd, std::span<std::uint8_t> buffer, std::int64_t offset) {
    std::int64_t total = 0;
    while (!buffer.empty()) {
        const std::int64_t got = files.pread(fd, buffer, offset);
        if (got < 0) return got;
        if (got == 0) break;
        buffer = buffer.subspan(static_cast<std::size_t>(got));
        offset += got;
        total += got;
    }
    return total;
}

} // namespace kestrel::logstore
