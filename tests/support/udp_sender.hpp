#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrel::testing {

// Sends real datagrams from this test, as another program on the computer would: to a port of
// 127.0.0.1, or to a multicast group by way of the loopback interface.
class UdpSender {
  public:
    UdpSender() : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        const in_addr loopback{htonl(INADDR_LOOPBACK)};
        (void)::setsockopt(m_fd, IPPROTO_IP, IP_MULTICAST_IF, &loopback, sizeof loopback);
        const unsigned char on = 1;
        (void)::setsockopt(m_fd, IPPROTO_IP, IP_MULTICAST_LOOP, &on, sizeof on);
    }
    ~UdpSender() { ::close(m_fd); }
    UdpSender(const UdpSender&) = delete;
    UdpSender& operator=(const UdpSender&) = delete;

    // True when the whole datagram went out.
    bool send(const std::vector<std::uint8_t>& bytes, int port, const char* address = "127.0.0.1") const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::inet_pton(AF_INET, address, &to.sin_addr) != 1) return false;
        const ssize_t put =
            ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        return put == static_cast<ssize_t>(bytes.size());
    }
    bool send(const std::string& text, int port, const char* address = "127.0.0.1") const {
        return send(std::vector<std::uint8_t>(text.begin(), text.end()), port, address);
    }

  private:
    int m_fd;
};

} // namespace kestrel::testing
