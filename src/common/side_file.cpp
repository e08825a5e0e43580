#include "common/side_file.hpp"

#include "common/file_names.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace {

// Paths (as found) of the side files that could not be read. Written from the window thread and
// from the threads that load files behind a progress window, hence the lock.
struct Unreadable {
    std::mutex lock;
    std::vector<std::string> paths;
};

Unreadable& unreadable() {
    static Unreadable list;
    return list;
}

void remember_unreadable(const std::string& path) {
    Unreadable& u = unreadable();
    const std::lock_guard hold(u.lock);
    if (std::find(u.paths.begin(), u.paths.end(), path) == u.paths.end()) u.paths.push_back(path);
}

bool is_unreadable(const std::string& path) {
    Unreadable& u = unreadable();
    const std::lock_guard hold(u.lock);
    return std::find(u.paths.begin(), u.paths.end(), path) != u.paths.end();
}

// The whole file (up to `limit` bytes) in as few reads as it takes: one of the size the file
// has, straight into the text, then more only if the file grew meanwhile.
bool read_all(int fd, std::string& bytes, std::size_t limit) {
    struct stat info {};
    const std::size_t size =
        ::fstat(fd, &info) == 0 && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
    bytes.resize(std::min(size, limit - 1) + 1);
    std::size_t done = 0;
    while (done < limit) {
        if (done == bytes.size())
            bytes.resize(std::min(bytes.size() + std::max<std::size_t>(bytes.size() / 2, 1 << 16), limit));
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return true;
}

} // namespace

SideFileWriter::SideFileWriter(const std::string& given) : m_path(find_file_any_case(given)) {
    if (is_unreadable(m_path)) return;
    m_temporary = add_to_file_name(m_path, ".kestrel-tmp");
    m_fd = create_work_file(m_temporary);
}

SideFileWriter::~SideFileWriter() {
    abandon();
}

void SideFileWriter::abandon() {
    if (m_fd < 0) return;
    ::close(m_fd);
    ::unlink(m_temporary.c_str());
    m_fd = -1;
}

bool SideFileWriter::write(std::string_view bytes) {
    for (std::size_t done = 0; ok() && done < bytes.size();) {
        const ssize_t put = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0)
            abandon();
        else
            done += static_cast<std::size_t>(put);
    }
    if (!ok()) return false;
    // A large file goes to the disk while the rest of it is being made, rather than all at once
    // when it is committed. Only a hint: commit() still waits for every byte.
    if (bytes.size() >= k_early_writeback_bytes)
        (void)::sync_file_range(m_fd, static_cast<off_t>(m_written), static_cast<off_t>(bytes.size()),
                                SYNC_FILE_RANGE_WRITE);
    m_written += bytes.size();
    return true;
}

bool SideFileWriter::commit() {
    if (!ok()) return false;
    const bool synced = ::fsync(m_fd) == 0;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed || std::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        ::unlink(m_temporary.c_str());
        return false;
    }
    // The new file stands from here on, but a power cut could still bring the old one back; a
    // change is only reported done once it lasts.
    return sync_folder_of(m_path);
}

bool write_side_file(const std::string& path, std::string_view bytes) {
    SideFileWriter file(path);
    return file.write(bytes) && file.commit();
}

Result<std::string, SideFileProblem> read_regular_file(const std::string& path, std::size_t limit) {
    const int fd = open_regular_file(path);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? SideFileProblem::missing : SideFileProblem::unreadable;
    std::string bytes;
    const bool read = limit == 0 || read_all(fd, bytes, limit);
    ::close(fd);
    if (!read) return SideFileProblem::unreadable;
    return bytes;
}

Result<std::string, SideFileProblem> load_side_file(const std::string& given) {
    const std::string path = find_file_any_case(given);
    auto loaded = read_regular_file(path);
    if (!loaded && loaded.error() == SideFileProblem::unreadable) remember_unreadable(path);
    return loaded;
}

std::optional<std::string> read_side_file(const std::string& path) {
    auto loaded = load_side_file(path);
    if (!loaded) return std::nullopt;
    return std::move(loaded).value();
}

std::vector<std::string> unreadable_side_files() {
    Unreadable& u = unreadable();
    const std::lock_guard hold(u.lock);
    return u.paths;
}

bool side_file_was_unreadable(const std::string& path) {
    return is_unreadable(find_file_any_case(path));
}

void forget_unreadable_side_file(const std::string& given) {
    const std::string path = find_file_any_case(given);
    Unreadable& u = unreadable();
    const std::lock_guard hold(u.lock);
    std::erase(u.paths, path);
    std::erase(u.paths, given);
}

int open_regular_file(const std::string& path) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    // Only the open had to be made without waiting; a plain file's reads never wait anyway.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

int create_work_file(const std::string& path, unsigned mode) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return -1;
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    static_cast<mode_t>(mode));
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool copy_file_bytes(int from, int to) {
    std::vector<char> buffer(std::size_t{1} << 20);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            done += put;
        }
    }
}

bool sync_folder_of(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = -1;
    do {
        fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

} // namespace kestrel
