#include "io/devices.hpp"

#include "io/port_name.hpp"

namespace kestrel::io {

Result<std::unique_ptr<KeyLine>, DeviceError> Devices::open_key_line(std::string_view port_text) {
    if (names_parallel_port(port_text)) return open_parallel_key_line();
    auto port = open_serial_port(port_text);
    if (!port) return port.error();
    return SerialKeyLine::open(std::move(port).value());
}

} // namespace kestrel::io
