#pragma once

#include "io/devices.hpp"
#include "support/fake_clocks.hpp"
#include "support/fake_datagram_port.hpp"
#include "support/fake_key_line.hpp"
#include "support/fake_serial_line.hpp"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace kestrel::testing {

// The devices of a made-up station: every serial port exists (a test makes one fail with
// serial_line(...).fail_open), the parallel port is a FakeKeyLine, the clocks are set by hand,
// a network server answers only where a test put one, and every UDP port is free to listen on.
// Port texts are checked as the real devices check them, and "1" and "/dev/ttyS0" are one line.
class FakeDevices final : public io::Devices {
  public:
    explicit FakeDevices(FakeSteadyClock::Sleep sleep = FakeSteadyClock::Sleep::jumps);

    Result<std::unique_ptr<io::SerialPort>, io::DeviceError>
    open_serial_port(std::string_view port_text) override;
    // A connection is a port of the line network_peer gives for that host and port.
    Result<std::unique_ptr<io::ByteStream>, io::DeviceError>
    connect_stream(std::string_view host, int port, std::chrono::milliseconds timeout) override;
    // A receiver on the port of that number, whatever the address; port 0 takes a free one.
    Result<std::unique_ptr<io::DatagramSocket>, io::DeviceError>
    open_datagram_receiver(std::string_view address, int port, io::GroupJoin join) override;
    Result<std::unique_ptr<io::KeyLine>, io::DeviceError> open_parallel_key_line() override;
    FakeWallClock& wall_clock() override { return m_wall_clock; }
    FakeSteadyClock& steady_clock() override { return *m_steady_clock; }

    // The line a port text names, made on first use. The text must be a good port name.
    [[nodiscard]] FakeSerialLine& serial_line(std::string_view port_text);
    [[nodiscard]] FakeKeyLine& parallel_port() { return m_parallel_port; }
    // The program at host:port, made on first use: a scripted far end as a serial line's. Until
    // a test asks for it, nothing listens there and connecting fails with no_such_port.
    [[nodiscard]] FakeSerialLine& network_peer(std::string_view host, int port);
    // A UDP port of the machine, made on first use, that a test sends datagrams to.
    [[nodiscard]] FakeDatagramPort& datagram_port(int port);

  private:
    std::shared_ptr<FakeSteadyClock> m_steady_clock;
    FakeWallClock m_wall_clock;
    FakeKeyLine m_parallel_port;
    std::map<std::string, FakeSerialLine> m_serial_lines;
    std::map<std::string, FakeSerialLine> m_network_peers;
    std::map<int, std::shared_ptr<FakeDatagramPort>> m_datagram_ports;
};

} // namespace kestrel::testing
