#include "platform/posix/parallel_key_line.hpp"

#include "platform/posix/errors.hpp"

#include <cerrno>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

namespace kestrel::platform::posix {

using io::DeviceError;

Result<std::unique_ptr<io::KeyLine>, DeviceError> ParallelKeyLine::open(SystemCalls& calls,
                                                                        const std::string& path) {
    const int fd = calls.open(path, O_RDWR);
    if (fd < 0) return open_error_of(-fd);
    // Claiming fails with ENOTTY when the path is not a ppdev device: then there is no such port.
    if (const int claimed = calls.ioctl(fd, PPCLAIM, nullptr); claimed < 0) {
        (void)calls.close(fd);
        return open_error_of(-claimed);
    }
    auto line = std::unique_ptr<ParallelKeyLine>(new ParallelKeyLine(calls, fd));
    if (const io::Status up = line->key_up(); !up) return up.error();
    return std::unique_ptr<io::KeyLine>(std::move(line));
}

ParallelKeyLine::~ParallelKeyLine() {
    (void)key_up();
    (void)m_calls.ioctl(m_fd, PPRELEASE, nullptr);
    (void)m_calls.close(m_fd);
}

io::Status ParallelKeyLine::write_control(unsigned char value) {
    if (const int done = m_calls.ioctl(m_fd, PPWCONTROL, &value); done < 0) return line_error_of(-done);
    return {};
}

} // namespace kestrel::platform::posix
