#include "shell/backup.hpp"

#include "common/file_names.hpp"
#include "common/side_file.hpp"

#include <cstdio>
#include <unistd.h>

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

} // namespace

bool copy_log(const std::string& log_path, const std::string& destination) {
    Fd from(open_regular_file(log_path));
    if (from.get() < 0) return false;
    // The work file in the back-up folder is made afresh: one left there, or a link planted in its
    // name, is removed rather than written through.
    const std::string temporary = add_to_file_name(destination, ".kestrel-tmp");
    Fd to(create_work_file(temporary));
    if (to.get() < 0) return false;
    const bool copied = copy_file_bytes(from.get(), to.get()) && ::fsync(to.get()) == 0;
    const bool closed = ::close(to.release()) == 0;
    if (!copied || !closed || std::rename(temporary.c_str(), destination.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // A back-up a power cut could take back is no back-up: done only once its folder is synced.
    return sync_folder_of(destination);
}

} // namespace kestrel::shell
