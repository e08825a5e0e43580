#include "logstore/file_lock.hpp"

#include "common/file_names.hpp"

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <map>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace kestrel::logstore {

namespace {

constexpr std::string_view k_lock_suffix = ".lock";
// A lock file removed and made again between our open and our look at its name, this often in a
// row, is someone else's doing: give up rather than go round for ever.
constexpr int k_tries = 8;

struct Held {
    long pid = 0; // a child made by fork() inherits the table, not the lock's ownership
    std::string path;
    int fd = -1;
    int count = 0;
};

struct Registry {
    std::mutex lock;
    std::map<std::string, Held> held;
};

Registry& registry() {
    static Registry r;
    return r;
}

std::string key_of(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return (ec ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

bool same(const FileInfo& a, const FileInfo& b) {
    return a.device == b.device && a.inode == b.inode;
}

void write_holder(FileSystem& files, int fd) {
    const std::string text = std::to_string(static_cast<long>(::getpid())) + "\n";
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size());
    if (files.ftruncate(fd, 0) == 0) (void)write_all(files, fd, bytes, 0);
}

// Opens and locks the file at path; the descriptor, or the problem.
Result<int, LockProblem> open_locked(FileSystem& files, const std::string& path) {
    for (int attempt = 0; attempt < k_tries; ++attempt) {
        const int fd = files.open(path, FileSystem::OpenMode::lock);
        if (fd == -ELOOP) {
            // A link planted at the lock's name: it is our name, and a link is never followed.
            if (files.unlink(path) < 0) return LockProblem::unavailable;
            continue;
        }
        if (fd < 0) return LockProblem::unavailable;
        FileInfo opened;
        if (files.fstat(fd, opened) < 0 || !opened.regular) {
            (void)files.close(fd);
            return LockProblem::unavailable;
        }
        const int locked = files.try_lock(fd);
        if (locked < 0) {
            (void)files.close(fd);
            if (locked == -EWOULDBLOCK || locked == -EAGAIN) return LockProblem::busy;
            return LockProblem::unavailable;
        }
        FileInfo named;
        if (files.lstat(path, named) == 0 && same(named, opened)) return fd;
        // The holder before us removed the file as we took it: the lock we hold is on nothing.
        (void)files.close(fd);
    }
    return LockProblem::unavailable;
}

} // namespace

FileLock::FileLock(FileLock&& other) noexcept : m_key(std::move(other.m_key)) {
    other.m_key.clear();
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_key = std::move(other.m_key);
        other.m_key.clear();
    }
    return *this;
}

Result<FileLock, LockProblem> FileLock::take(const std::string& lock_path) {
    FileSystem& files = posix_file_system();
    Registry& r = registry();
    const std::lock_guard guard(r.lock);
    std::string key = key_of(lock_path);
    const long pid = ::getpid();
    if (const auto found = r.held.find(key); found != r.held.end()) {
        if (found->second.pid == pid) {
            ++found->second.count;
            return FileLock(std::move(key));
        }
        // Our parent's: the descriptor stays open for it, the entry is no longer ours.
        r.held.erase(found);
    }
    const auto fd = open_locked(files, lock_path);
    if (!fd) return fd.error();
    write_holder(files, *fd);
    r.held.emplace(key, Held{pid, lock_path, *fd, 1});
    return FileLock(std::move(key));
}

void FileLock::release() {
    if (m_key.empty()) return;
    Registry& r = registry();
    const std::lock_guard guard(r.lock);
    if (const auto found = r.held.find(m_key);
        found != r.held.end() && found->second.pid == ::getpid() && --found->second.count == 0) {
        Held& held = found->second;
        // Removed while still locked, so nobody can have taken it in between.
        FileSystem& files = posix_file_system();
        (void)files.unlink(held.path);
        (void)files.close(held.fd);
        r.held.erase(found);
    }
    m_key.clear();
}

std::optional<long> FileLock::holder_of(const std::string& lock_path) {
    FileSystem& files = posix_file_system();
    const int fd = files.open(lock_path, FileSystem::OpenMode::read_only);
    if (fd < 0) return std::nullopt;
    FileInfo info;
    std::vector<std::uint8_t> bytes(32);
    std::int64_t got = 0;
    if (files.fstat(fd, info) == 0 && info.regular) got = read_all(files, fd, bytes, 0);
    (void)files.close(fd);
    if (got <= 0) return std::nullopt;
    const char* begin = reinterpret_cast<const char*>(bytes.data());
    long pid = 0;
    const auto [end, error] = std::from_chars(begin, begin + got, pid);
    if (error != std::errc{} || end == begin || pid <= 0) return std::nullopt;
    return pid;
}

std::string lock_path_of(const std::string& log_path) {
    std::error_code ec;
    auto real = std::filesystem::weakly_canonical(std::filesystem::absolute(log_path, ec), ec);
    const std::string path = ec ? key_of(log_path) : real.string();
    const auto slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return add_to_file_name(directory + "." + path.substr(slash + 1), k_lock_suffix);
}

Result<FileLock, LockProblem> lock_log(const std::string& log_path) {
    return FileLock::take(lock_path_of(log_path));
}

} // namespace kestrel::logstore
