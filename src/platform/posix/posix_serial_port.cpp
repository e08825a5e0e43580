#include "platform/posix/posix_serial_port.hpp"
#include "platform/posix/deadlines.hpp"

#include "platform/posix/errors.hpp"
#include "platform/posix/termios_settings.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>

namespace kestrel::platform::posix {

using io::DeviceError;
using io::Status;

namespace {} // namespace

Result<std::unique_ptr<io::SerialPort>, DeviceError> PosixSerialPort::open(SystemCalls& calls,
                                                                           const std::string& path) {
    // No controlling terminal, and no waiting for carrier: raw mode sets CLOCAL just below.
    const int fd = calls.open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return open_error_of(-fd);
    auto fail = [&](DeviceError error) {
        (void)calls.close(fd);
        return error;
    };

    if (const int locked = calls.flock(fd, LOCK_EX | LOCK_NB); locked == -EWOULDBLOCK) {
        return fail(DeviceError::busy);
    }
    termios settings{};
    if (const int got = calls.tcgetattr(fd, settings); got < 0) return fail(open_error_of(-got));
    make_raw(settings);
    if (const int set = calls.tcsetattr(fd, settings); set < 0) return fail(settings_error_of(-set));
    // Other programs that do not lock are kept out too; root passes regardless, hence the lock.
    (void)calls.ioctl(fd, TIOCEXCL, nullptr);
    return std::unique_ptr<io::SerialPort>(new PosixSerialPort(calls, fd));
}

PosixSerialPort::~PosixSerialPort() {
    close();
}

void PosixSerialPort::close() {
    if (m_fd < 0) return;
    // Exclusive mode belongs to the terminal, not to this descriptor: left on, it would keep
    // the port from everyone but root while anything else still holds the device open.
    (void)m_calls.ioctl(m_fd, TIOCNXCL, nullptr);
    (void)m_calls.close(m_fd);
    m_fd = -1;
    m_arrived.clear();
}

Status PosixSerialPort::configure(const io::LineSettings& line) {
    if (m_fd < 0) return DeviceError::not_open;
    termios before{};
    if (const int got = m_calls.tcgetattr(m_fd, before); got < 0) return settings_error_of(-got);
    termios settings = before;
    if (!apply(settings, line)) return DeviceError::bad_settings;
    if (const int set = m_calls.tcsetattr(m_fd, settings); set < 0) return settings_error_of(-set);
    termios held{};
    if (const int got = m_calls.tcgetattr(m_fd, held); got < 0) return settings_error_of(-got);
    if (!same_line(held, settings)) {
        // Half a change is worse than none: the port goes back to what it had.
        (void)m_calls.tcsetattr(m_fd, before);
        return DeviceError::bad_settings;
    }
    return {};
}

Status PosixSerialPort::set_line(io::ControlLine line, io::LineLevel level) {
    if (m_fd < 0) return DeviceError::not_open;
    int bits = line == io::ControlLine::rts ? TIOCM_RTS : TIOCM_DTR;
    const unsigned long request = level == io::LineLevel::on ? TIOCMBIS : TIOCMBIC;
    if (const int done = m_calls.ioctl(m_fd, request, &bits); done < 0) return line_error_of(-done);
    return {};
}

Status PosixSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (m_fd < 0) return DeviceError::not_open;
    auto deadline = Clock::now() + k_write_stall;
    while (!bytes.empty()) {
        const long put = m_calls.write(m_fd, bytes);
        if (put > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(put));
            deadline = Clock::now() + k_write_stall;
            continue;
        }
        if (put < 0 && put != -EAGAIN) return DeviceError::io_error;
        if (Clock::now() >= deadline) return DeviceError::timeout;
        const int ready = m_calls.poll(m_fd, POLLOUT, milliseconds_until(deadline));
        if (ready < 0 || (ready & (POLLERR | POLLHUP | POLLNVAL)) != 0) return DeviceError::io_error;
    }
    return {};
}

Result<io::Bytes, DeviceError> PosixSerialPort::read(const io::ReadRequest& request) {
    if (m_fd < 0) return DeviceError::not_open;
    const bool open_ended = request.count == 0 && !request.terminator;
    const auto deadline = Clock::now() + request.timeout;
    for (;;) {
        if (const Status got = take_waiting(); !got) return got.error();
        if (!open_ended) {
            if (const auto length = io::reply_length(m_arrived, request)) return take_front(*length);
        }
        if (Clock::now() >= deadline) break;
        const int ready = m_calls.poll(m_fd, POLLIN, milliseconds_until(deadline));
        // A port that hung up (the far end of a pseudo-terminal closed, a USB adapter pulled
        // out) reads as empty for ever: waiting on would only spin until the deadline.
        if (ready < 0 || (ready & (POLLERR | POLLHUP | POLLNVAL)) != 0) return DeviceError::io_error;
    }
    if (open_ended) return take_front(m_arrived.size());
    return DeviceError::timeout;
}

Status PosixSerialPort::take_waiting() {
    std::array<std::uint8_t, 512> chunk{};
    for (;;) {
        const long got = m_calls.read(m_fd, chunk);
        if (got == -EAGAIN || got == 0) return {};
        if (got < 0) return DeviceError::io_error;
        m_arrived.insert(m_arrived.end(), chunk.begin(), chunk.begin() + got);
        if (static_cast<std::size_t>(got) < chunk.size()) return {};
    }
}

io::Bytes PosixSerialPort::take_front(std::size_t count) {
    io::Bytes reply(m_arrived.begin(), m_arrived.begin() + static_cast<std::ptrdiff_t>(count));
    m_arrived.erase(m_arrived.begin(), m_arrived.begin() + static_cast<std::ptrdiff_t>(count));
    return reply;
}

} // namespace kestrel::platform::posix
