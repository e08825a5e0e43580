#pragma once

#include "io/devices.hpp"
#include "platform/posix/parallel_key_line.hpp"
#include "platform/posix/posix_clocks.hpp"
#include "platform/posix/system_calls.hpp"

#include <string>

namespace kestrel::platform::posix {

// The machine's own devices: termios serial ports, TCP connections to device servers, UDP
// receivers, the ppdev parallel port, the system clocks.
class PosixDevices final : public io::Devices {
  public:
    explicit PosixDevices(SystemCalls& calls = real_system_calls(),
                          std::string parallel_port = k_first_parallel_port);

    Result<std::unique_ptr<io::SerialPort>, io::DeviceError>
    open_serial_port(std::string_view port_text) override;
    Result<std::unique_ptr<io::ByteStream>, io::DeviceError>
    connect_stream(std::string_view host, int port, std::chrono::milliseconds timeout) override;
    Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError>
    open_datagram_receiver(std::string_view address, int port, io::GroupJoin join) override;
    Result<std::unique_ptr<io::KeyLine>, io::DeviceError> open_parallel_key_line() override;
    io::WallClock& wall_clock() override { return m_wall_clock; }
    io::SteadyClock& steady_clock() override { return m_steady_clock; }

  private:
    SystemCalls& m_calls;
    std::string m_parallel_port;
    PosixWallClock m_wall_clock;
    PosixSteadyClock m_steady_clock;
};

} // namespace kestrel::platform::posix
