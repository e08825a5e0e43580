#include "support/fake_devices.hpp"

#include "io/port_name.hpp"

#include <cstdlib>

namespace kestrel::testing {

FakeDevices::FakeDevices(FakeSteadyClock::Sleep sleep)
    : m_steady_clock(std::make_shared<FakeSteadyClock>(sleep)), m_parallel_port(m_steady_clock) {}

Result<std::unique_ptr<io::SerialPort>, io::DeviceError>
FakeDevices::open_serial_port(std::string_view port_text) {
    if (const auto path = io::serial_device_path(port_text); !path) return path.error();
    return serial_line(port_text).open();
}

Result<std::unique_ptr<io::ByteStream>, io::DeviceError>
FakeDevices::connect_stream(std::string_view host, int port, std::chrono::milliseconds timeout) {
    const auto found = m_network_peers.find(std::string(host) + ":" + std::to_string(port));
    (void)timeout; // nothing here takes time to refuse
    if (found == m_network_peers.end()) return io::DeviceError::no_such_port;
    auto port_of_peer = found->second.open();
    if (!port_of_peer) return port_of_peer.error();
    return std::unique_ptr<io::ByteStream>(std::move(port_of_peer).value());
}

FakeSerialLine& FakeDevices::network_peer(std::string_view host, int port) {
    return m_network_peers.try_emplace(std::string(host) + ":" + std::to_string(port), m_steady_clock)
        .first->second;
}

Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError>
FakeDevices::open_datagram_receiver(std::string_view address, int port, io::GroupJoin join) {
    (void)address; // every address is this machine's here, and every group joined on it
    (void)join;
    if (port < 0 || port > 65535) return io::DeviceError::bad_port_name;
    if (port == 0) {
        // The first free port of those the system hands out.
        port = 49152;
        while (m_datagram_ports.contains(port) && m_datagram_ports[port]->receiver_open())
            ++port;
    }
    return datagram_port(port).open();
}

FakeDatagramPort& FakeDevices::datagram_port(int port) {
    auto& slot = m_datagram_ports[port];
    if (!slot) slot = std::make_shared<FakeDatagramPort>(port);
    return *slot;
}

Result<std::unique_ptr<io::KeyLine>, io::DeviceError> FakeDevices::open_parallel_key_line() {
    return m_parallel_port.open();
}

FakeSerialLine& FakeDevices::serial_line(std::string_view port_text) {
    const auto path = io::serial_device_path(port_text);
    if (!path) std::abort(); // a test asking for a line no port text names is itself wrong
    return m_serial_lines.try_emplace(*path, m_steady_clock).first->second;
}

} // namespace kestrel::testing
