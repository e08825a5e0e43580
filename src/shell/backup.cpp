#include "shell/backup.hpp"

#include "common/file_names.hpp"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace kestrel::shell {

namespace {

class Fd {
  public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

  private:
    int m_fd;
};

bool copy_bytes(int from, int to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) return false;
        if (got == 0) return true;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put <= 0) return false;
            done += put;
        }
    }
}

} // namespace

bool copy_log(const std::string& log_path, const std::string& destination) {
    Fd from(::open(log_path.c_str(), O_RDONLY | O_CLOEXEC));
    if (from.get() < 0) return false;
    const std::string temporary = add_to_file_name(destination, ".kestrel-tmp");
    Fd to(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (to.get() < 0) return false;
    const bool copied = copy_bytes(from.get(), to.get()) && ::fsync(to.get()) == 0;
    const bool closed = ::close(to.release()) == 0;
    if (!copied || !closed || std::rename(temporary.c_str(), destination.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace kestrel::shell
