#pragma once

#include "common/result.hpp"
#include "io/byte_stream.hpp"
#include "io/clocks.hpp"
#include "io/datagram_socket.hpp"
#include "io/device_error.hpp"
#include "io/key_line.hpp"
#include "io/serial_port.hpp"

#include <chrono>
#include <memory>
#include <string_view>

namespace kestrel::io {

// Everything of the machine the program drives: its ports and its clocks. The application owns
// one (the real one from main(), fakes in tests) and windows reach the devices only through it.
class Devices {
  public:
    virtual ~Devices() = default;

    // Opens the serial port a port text names (see serial_device_path) in raw mode, keeping the
    // system's line settings until the caller configures it.
    [[nodiscard]] virtual Result<std::unique_ptr<SerialPort>, DeviceError>
    open_serial_port(std::string_view port_text) = 0;

    // Connects to a program that serves a device over TCP, such as a rig daemon, at host:port,
    // waiting at most `timeout` for it to answer. A host that is unknown or refuses is
    // no_such_port; one that does not answer in time is timeout.
    [[nodiscard]] virtual Result<std::unique_ptr<ByteStream>, DeviceError>
    connect_stream(std::string_view host, int port, std::chrono::milliseconds timeout) = 0;

    // Listens for datagrams sent to address:port. An address names one of this machine's own
    // (127.0.0.1 hears only programs on this computer; 0.0.0.0 or "" every interface), or a
    // multicast group (224.0.0.0 to 239.255.255.255, ff00::/8), which is joined on the
    // interfaces `join` names and whose port other programs listening to the same group may
    // share. Port 0 takes a free port the system chooses. A port another program holds is busy;
    // an address that is no address is bad_port_name; one that is not this machine's, or a group
    // that cannot be joined, is no_such_port; a port below 1024 may be permission_denied.
    [[nodiscard]] virtual Result<std::unique_ptr<DatagramSocket>, DeviceError>
    open_datagram_receiver(std::string_view address, int port, GroupJoin join) = 0;

    // Claims the first parallel port as a key line, key up.
    [[nodiscard]] virtual Result<std::unique_ptr<KeyLine>, DeviceError> open_parallel_key_line() = 0;

    // The key line a port text names: "P" the parallel port, any serial port text the RTS line
    // of that port (see SerialKeyLine).
    [[nodiscard]] Result<std::unique_ptr<KeyLine>, DeviceError> open_key_line(std::string_view port_text);

    [[nodiscard]] virtual WallClock& wall_clock() = 0;
    [[nodiscard]] virtual SteadyClock& steady_clock() = 0;
};

} // namespace kestrel::io
