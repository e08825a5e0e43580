#pragma once

#include "common/result.hpp"
#include "io/datagram_socket.hpp"

#include <memory>
#include <string>

namespace kestrel::platform::posix {

// A UDP socket bound to an address and port of this machine, or to a multicast group it has
// joined on the loopback interface or on every interface that lets it. The socket is
// non-blocking; a receive waits with poll() for as long as it is allowed.
class UdpReceiver final : public io::DatagramSocket {
  public:
    [[nodiscard]] static Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError>
    open(const std::string& address, int port, io::GroupJoin join);

    ~UdpReceiver() override;
    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;

    Result<std::optional<io::Bytes>, io::DeviceError> receive(std::chrono::milliseconds timeout) override;
    int port() const override { return m_port; }
    void close() override;

  private:
    UdpReceiver(int fd, int port) : m_fd(fd), m_port(port) {}

    int m_fd = -1;
    int m_port = 0;
    io::Bytes m_buffer;
};

} // namespace kestrel::platform::posix
