#include "io/key_line.hpp"

namespace kestrel::io {

Result<std::unique_ptr<KeyLine>, DeviceError> SerialKeyLine::open(std::unique_ptr<SerialPort> port) {
    if (const Status dtr = port->set_line(ControlLine::dtr, LineLevel::off); !dtr) return dtr.error();
    if (const Status rts = port->set_line(ControlLine::rts, LineLevel::off); !rts) return rts.error();
    return std::unique_ptr<KeyLine>(new SerialKeyLine(std::move(port)));
}

SerialKeyLine::~SerialKeyLine() {
    // The port closes next; whether the driver drops RTS then is its business, so drop it here.
    (void)key_up();
}

Status SerialKeyLine::key_down() {
    return m_port->set_line(ControlLine::rts, LineLevel::on);
}

Status SerialKeyLine::key_up() {
    return m_port->set_line(ControlLine::rts, LineLevel::off);
}

} // namespace kestrel::io
