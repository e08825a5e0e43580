#include "platform/posix/tcp_stream.hpp"
#include "platform/posix/deadlines.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrel::platform::posix {

using io::DeviceError;
using io::Status;

namespace {

DeviceError connect_error_of(int error_number) {
    switch (error_number) {
    case ECONNREFUSED:
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EADDRNOTAVAIL:
    case EAFNOSUPPORT: return DeviceError::no_such_port;
    case ETIMEDOUT: return DeviceError::timeout;
    case EACCES:
    case EPERM: return DeviceError::permission_denied;
    default: return DeviceError::io_error;
    }
}

// poll() that carries on after a signal, within the same deadline.
int wait_for(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd watched{fd, events, 0};
        const int ready = ::poll(&watched, 1, milliseconds_until(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return ready;
        return watched.revents;
    }
}

// One address: a connected non-blocking socket, or why not.
Result<int, DeviceError> connect_to(const addrinfo& address, Clock::time_point deadline) {
    const int fd =
        ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0) return connect_error_of(errno);
    auto fail = [fd](DeviceError error) {
        ::close(fd);
        return error;
    };
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) return fail(connect_error_of(errno));
        const int ready = wait_for(fd, POLLOUT, deadline);
        if (ready == 0) return fail(DeviceError::timeout);
        if (ready < 0) return fail(DeviceError::io_error);
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return fail(DeviceError::io_error);
        if (error != 0) return fail(connect_error_of(error));
    }
    // Commands are a few bytes each and wanted at once, not gathered up.
    const int on = 1;
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

} // namespace

Result<std::unique_ptr<io::ByteStream>, DeviceError> TcpStream::connect(const std::string& host, int port,
                                                                        std::chrono::milliseconds timeout) {
    if (host.empty() || port < 1 || port > 65535) return DeviceError::bad_port_name;
    const auto deadline = Clock::now() + timeout;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        return DeviceError::no_such_port;
    DeviceError last = DeviceError::no_such_port;
    for (const addrinfo* address = found; address; address = address->ai_next) {
        auto fd = connect_to(*address, deadline);
        if (fd) {
            ::freeaddrinfo(found);
            return std::unique_ptr<io::ByteStream>(new TcpStream(*fd));
        }
        last = fd.error();
        if (Clock::now() >= deadline) break;
    }
    ::freeaddrinfo(found);
    return last;
}

TcpStream::~TcpStream() {
    close();
}

void TcpStream::close() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
    m_arrived.clear();
}

Status TcpStream::write(std::span<const std::uint8_t> bytes) {
    if (m_fd < 0) return DeviceError::not_open;
    auto deadline = Clock::now() + k_write_stall;
    while (!bytes.empty()) {
        // MSG_NOSIGNAL: a far end that went away is an error to report, not a SIGPIPE that ends
        // the program.
        const ssize_t put = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (put > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(put));
            deadline = Clock::now() + k_write_stall;
            continue;
        }
        if (put < 0 && errno == EINTR) continue;
        if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return DeviceError::io_error;
        if (Clock::now() >= deadline) return DeviceError::timeout;
        const int ready = wait_for(m_fd, POLLOUT, deadline);
        if (ready < 0 || (ready & (POLLERR | POLLHUP | POLLNVAL)) != 0) return DeviceError::io_error;
    }
    return {};
}

Result<io::Bytes, DeviceError> TcpStream::read(const io::ReadRequest& request) {
    if (m_fd < 0) return DeviceError::not_open;
    const bool open_ended = request.count == 0 && !request.terminator;
    const auto deadline = Clock::now() + request.timeout;
    for (;;) {
        if (const Status got = take_waiting(); !got) return got.error();
        if (!open_ended) {
            if (const auto length = io::reply_length(m_arrived, request)) return take_front(*length);
        }
        if (m_peer_closed || Clock::now() >= deadline) break;
        const int ready = wait_for(m_fd, POLLIN, deadline);
        if (ready < 0 || (ready & (POLLERR | POLLNVAL)) != 0) return DeviceError::io_error;
    }
    // What the far end sent before it closed is still handed out; after that the stream is gone.
    if (m_peer_closed && m_arrived.empty()) return DeviceError::io_error;
    if (open_ended) return take_front(m_arrived.size());
    return m_peer_closed ? DeviceError::io_error : DeviceError::timeout;
}

Status TcpStream::take_waiting() {
    std::array<std::uint8_t, 1024> chunk{};
    while (!m_peer_closed) {
        const ssize_t got = ::recv(m_fd, chunk.data(), chunk.size(), MSG_DONTWAIT);
        if (got == 0) {
            m_peer_closed = true;
        } else if (got < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return {};
            return DeviceError::io_error;
        } else {
            m_arrived.insert(m_arrived.end(), chunk.begin(), chunk.begin() + got);
        }
    }
    return {};
}

io::Bytes TcpStream::take_front(std::size_t count) {
    io::Bytes reply(m_arrived.begin(), m_arrived.begin() + static_cast<std::ptrdiff_t>(count));
    m_arrived.erase(m_arrived.begin(), m_arrived.begin() + static_cast<std::ptrdiff_t>(count));
    return reply;
}

} // namespace kestrel::platform::posix
