#include "platform/posix/udp_receiver.hpp"

#include "platform/posix/deadlines.hpp"

#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrel::platform::posix {

using io::DeviceError;

namespace {

DeviceError bind_error_of(int error_number) {
    switch (error_number) {
    case EADDRINUSE: return DeviceError::busy;
    case EADDRNOTAVAIL:
    case EAFNOSUPPORT:
    case ENODEV: return DeviceError::no_such_port;
    case EACCES:
    case EPERM: return DeviceError::permission_denied;
    default: return DeviceError::io_error;
    }
}

bool is_multicast(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        return IN_MULTICAST(ntohl(v4->sin_addr.s_addr));
    }
    if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        return IN6_IS_ADDR_MULTICAST(&v6->sin6_addr);
    }
    return false;
}

bool join_on(int fd, const sockaddr* group, unsigned interface_index) {
    if (group->sa_family == AF_INET) {
        ip_mreqn request{};
        request.imr_multiaddr = reinterpret_cast<const sockaddr_in*>(group)->sin_addr;
        request.imr_ifindex = static_cast<int>(interface_index);
        return ::setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) == 0;
    }
    ipv6_mreq request{};
    request.ipv6mr_multiaddr = reinterpret_cast<const sockaddr_in6*>(group)->sin6_addr;
    request.ipv6mr_interface = interface_index;
    return ::setsockopt(fd, IPPROTO_IPV6, IPV6_JOIN_GROUP, &request, sizeof request) == 0;
}

// The programs that send to a group do so on an interface of their choosing (the loopback one
// for a program on this computer), so the group is joined on every interface that lets it.
bool join_everywhere(int fd, const sockaddr* group) {
    bool joined = false;
    if (struct if_nameindex* interfaces = ::if_nameindex()) {
        for (const struct if_nameindex* i = interfaces; i->if_index != 0; ++i)
            joined = join_on(fd, group, i->if_index) || joined;
        ::if_freenameindex(interfaces);
    }
    return joined || join_on(fd, group, 0);
}

// The loopback interface, by its flag rather than its name; 0 when there is none.
unsigned loopback_index() {
    ifaddrs* interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0) return 0;
    unsigned index = 0;
    for (const ifaddrs* i = interfaces; i && index == 0; i = i->ifa_next)
        if ((i->ifa_flags & IFF_LOOPBACK) != 0) index = ::if_nametoindex(i->ifa_name);
    ::freeifaddrs(interfaces);
    return index;
}

// A socket takes by default whatever any program on the computer joined the group for, on any
// interface (224.0.0.1 the system itself joins everywhere); one joined on the loopback interface
// only is kept to the datagrams that came by it.
bool only_own_groups(int fd, const sockaddr* group) {
    const int off = 0;
    if (group->sa_family == AF_INET)
        return ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off) == 0;
    return ::setsockopt(fd, IPPROTO_IPV6, IPV6_MULTICAST_ALL, &off, sizeof off) == 0;
}

bool join_group(int fd, const sockaddr* group, io::GroupJoin where) {
    if (where == io::GroupJoin::every_interface) return join_everywhere(fd, group);
    const unsigned loopback = loopback_index();
    return loopback != 0 && only_own_groups(fd, group) && join_on(fd, group, loopback);
}

Result<int, DeviceError> bound_socket(const addrinfo& address, io::GroupJoin where) {
    const int fd =
        ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0) return bind_error_of(errno);
    auto fail = [fd](DeviceError error) {
        ::close(fd);
        return error;
    };
    const bool group = is_multicast(address.ai_addr);
    if (group) {
        // Several programs may listen to one group on one port; a unicast port stays this
        // program's alone, so that a second listener there is told the port is in use.
        const int on = 1;
        if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
            return fail(bind_error_of(errno));
    }
    if (::bind(fd, address.ai_addr, address.ai_addrlen) != 0) return fail(bind_error_of(errno));
    if (group && !join_group(fd, address.ai_addr, where)) return fail(DeviceError::no_such_port);
    return fd;
}

int local_port(int fd) {
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return 0;
    if (bound.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(bound).sin_port);
    if (bound.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(bound).sin6_port);
    return 0;
}

} // namespace

Result<std::unique_ptr<io::DatagramSocket>, DeviceError> UdpReceiver::open(const std::string& address,
                                                                           int port, io::GroupJoin join) {
    if (port < 0 || port > 65535) return DeviceError::bad_port_name;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const char* host = address.empty() ? nullptr : address.c_str();
    if (::getaddrinfo(host, std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        return DeviceError::bad_port_name;
    // The first address the name gives is the one meant (127.0.0.1 before ::1 for localhost);
    // the others are tried only when it cannot be had at all.
    DeviceError first_error = DeviceError::no_such_port;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        auto fd = bound_socket(*a, join);
        if (fd) {
            ::freeaddrinfo(found);
            return std::unique_ptr<io::DatagramSocket>(new UdpReceiver(*fd, local_port(*fd)));
        }
        if (a == found) first_error = fd.error();
        if (fd.error() == DeviceError::busy) break;
    }
    ::freeaddrinfo(found);
    return first_error;
}

UdpReceiver::~UdpReceiver() {
    close();
}

void UdpReceiver::close() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
}

Result<std::optional<io::Bytes>, DeviceError> UdpReceiver::receive(std::chrono::milliseconds timeout) {
    if (m_fd < 0) return DeviceError::not_open;
    const auto deadline = Clock::now() + timeout;
    m_buffer.resize(io::k_largest_datagram + 1);
    for (;;) {
        const ssize_t got = ::recv(m_fd, m_buffer.data(), m_buffer.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (got >= 0) {
            // MSG_TRUNC gives the datagram's whole length: one longer than the buffer was cut.
            if (static_cast<std::size_t>(got) > io::k_largest_datagram) continue;
            return std::optional<io::Bytes>(io::Bytes(m_buffer.begin(), m_buffer.begin() + got));
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return DeviceError::io_error;
        if (Clock::now() >= deadline) return std::optional<io::Bytes>{};
        pollfd watched{m_fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, milliseconds_until(deadline));
        if (ready < 0 && errno != EINTR) return DeviceError::io_error;
        if (ready > 0 && (watched.revents & POLLNVAL) != 0) return DeviceError::io_error;
    }
}

} // namespace kestrel::platform::posix
