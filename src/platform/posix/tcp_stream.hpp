#pragma once

#include "common/result.hpp"
#include "io/byte_stream.hpp"

#include <chrono>
#include <memory>
#include <string>

namespace kestrel::platform::posix {

// A TCP connection to a program that serves a device, such as hamlib's rig daemon. The socket
// stays non-blocking: reads and writes wait with poll() against a deadline, as the serial port's
// do, and a far end that closed the connection is an io_error once its last bytes are read.
class TcpStream final : public io::ByteStream {
  public:
    // Tries each address the host name resolves to, giving each the time that is left.
    [[nodiscard]] static Result<std::unique_ptr<io::ByteStream>, io::DeviceError>
    connect(const std::string& host, int port, std::chrono::milliseconds timeout);

    ~TcpStream() override;
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;

    io::Status write(std::span<const std::uint8_t> bytes) override;
    Result<io::Bytes, io::DeviceError> read(const io::ReadRequest& request) override;
    void close() override;
    bool is_open() const override { return m_fd >= 0; }

  private:
    explicit TcpStream(int fd) : m_fd(fd) {}
    [[nodiscard]] io::Status take_waiting();
    [[nodiscard]] io::Bytes take_front(std::size_t count);

    int m_fd = -1;
    bool m_peer_closed = false;
    io::Bytes m_arrived; // received, not yet handed to a caller
};

} // namespace kestrel::platform::posix
