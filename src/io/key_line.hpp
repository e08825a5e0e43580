#pragma once

#include "io/device_error.hpp"
#include "io/serial_port.hpp"

#include <memory>
#include <utility>

namespace kestrel::io {

// The line the transmitter's keying input is wired to. It is up when opened and is left up when
// destroyed, so an interrupted message never leaves the transmitter keyed. Owned by one thread.
class KeyLine {
  public:
    virtual ~KeyLine() = default;
    [[nodiscard]] virtual Status key_down() = 0;
    [[nodiscard]] virtual Status key_up() = 0;
};

// Keying on a serial port's RTS line, with DTR held off the whole time.
class SerialKeyLine final : public KeyLine {
  public:
    // Puts both lines off; a port that cannot switch them (a pseudo-terminal) is refused here,
    // once, rather than at every element.
    [[nodiscard]] static Result<std::unique_ptr<KeyLine>, DeviceError> open(std::unique_ptr<SerialPort> port);

    ~SerialKeyLine() override;
    SerialKeyLine(const SerialKeyLine&) = delete;
    SerialKeyLine& operator=(const SerialKeyLine&) = delete;

    Status key_down() override;
    Status key_up() override;

  private:
    explicit SerialKeyLine(std::unique_ptr<SerialPort> port) : m_port(std::move(port)) {}
    std::unique_ptr<SerialPort> m_port;
};

} // namespace kestrel::io
