#pragma once

#include "common/result.hpp"
#include "io/byte_stream.hpp"
#include "io/device_error.hpp"

#include <cstdint>
#include <span>

namespace kestrel::io {

enum class Parity { none, odd, even };
enum class StopBits { one, two };

// How bytes travel on the line. A port keeps the system's settings until configure() is called.
struct LineSettings {
    int baud = 9600;
    int data_bits = 8; // 5 to 8
    Parity parity = Parity::none;
    StopBits stop_bits = StopBits::one;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

enum class ControlLine { rts, dtr };
enum class LineLevel { off, on };

// An open serial port. Made by Devices::open_serial_port; closed by close() or when destroyed.
// It reads, writes and closes as every ByteStream does, and has line settings and RTS/DTR besides.
class SerialPort : public ByteStream {
  public:
    [[nodiscard]] virtual Status configure(const LineSettings& settings) = 0;
    [[nodiscard]] virtual Status set_line(ControlLine line, LineLevel level) = 0;
};

// One exchange with a device that answers commands, such as a rig: whatever stale bytes are
// waiting are dropped, the command is written and the reply read as `reply` asks.
[[nodiscard]] Result<Bytes, DeviceError> exchange(SerialPort& port, std::span<const std::uint8_t> command,
                                                  const ReadRequest& reply);

} // namespace kestrel::io
