#pragma once

#include "common/result.hpp"
#include "io/serial_port.hpp"
#include "platform/posix/system_calls.hpp"

#include <memory>
#include <string>

namespace kestrel::platform::posix {

// A serial port through termios. The descriptor stays non-blocking: reads and writes wait with
// poll() against a deadline, so no call can hang on a line that went quiet.
class PosixSerialPort final : public io::SerialPort {
  public:
    // Opens the device in raw mode and locks it against a second opening, by this program or
    // another that locks too. A path that is not a terminal is no_such_port.
    [[nodiscard]] static Result<std::unique_ptr<io::SerialPort>, io::DeviceError>
    open(SystemCalls& calls, const std::string& path);

    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    io::Status configure(const io::LineSettings& settings) override;
    io::Status set_line(io::ControlLine line, io::LineLevel level) override;
    io::Status write(std::span<const std::uint8_t> bytes) override;
    Result<io::Bytes, io::DeviceError> read(const io::ReadRequest& request) override;
    void close() override;
    bool is_open() const override { return m_fd >= 0; }

  private:
    PosixSerialPort(SystemCalls& calls, int fd) : m_calls(calls), m_fd(fd) {}
    [[nodiscard]] io::Status take_waiting();
    [[nodiscard]] io::Bytes take_front(std::size_t count);

    SystemCalls& m_calls;
    int m_fd = -1;
    io::Bytes m_arrived; // read from the device, not yet handed to a caller
};

} // namespace kestrel::platform::posix
