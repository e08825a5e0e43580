#include "platform/posix/posix_devices.hpp"

#include "io/port_name.hpp"
#include "platform/posix/posix_serial_port.hpp"
#include "platform/posix/tcp_stream.hpp"
#include "platform/posix/udp_receiver.hpp"

namespace kestrel::platform::posix {

PosixDevices::PosixDevices(SystemCalls& calls, std::string parallel_port)
    : m_calls(calls), m_parallel_port(std::move(parallel_port)), m_wall_clock(calls) {}

Result<std::unique_ptr<io::SerialPort>, io::DeviceError>
PosixDevices::open_serial_port(std::string_view port_text) {
    const auto path = io::serial_device_path(port_text);
    if (!path) return path.error();
    return PosixSerialPort::open(m_calls, *path);
}

Result<std::unique_ptr<io::ByteStream>, io::DeviceError>
PosixDevices::connect_stream(std::string_view host, int port, std::chrono::milliseconds timeout) {
    return TcpStream::connect(std::string(host), port, timeout);
}

Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError>
PosixDevices::open_datagram_receiver(std::string_view address, int port, io::GroupJoin join) {
    return UdpReceiver::open(std::string(address), port, join);
}

Result<std::unique_ptr<io::KeyLine>, io::DeviceError> PosixDevices::open_parallel_key_line() {
    return ParallelKeyLine::open(m_calls, m_parallel_port);
}

} // namespace kestrel::platform::posix
