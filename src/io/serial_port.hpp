#pragma once

#include "common/result.hpp"
#include "io/device_error.hpp"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kestrel::io {

using Bytes = std::vector<std::uint8_t>;

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

// What a read waits for. It ends as soon as `count` bytes have arrived, or the `terminator` byte
// (which is part of the reply), or the timeout has passed, whichever comes first.
//   - With a count or a terminator, a reply that is not complete when the timeout passes is a
//     timeout error; the bytes that did arrive stay for the next read.
//   - With neither, the read returns whatever arrived until the timeout, possibly nothing; a zero
//     timeout takes what is waiting without waiting at all.
struct ReadRequest {
    std::chrono::milliseconds timeout{0};
    std::size_t count = 0; // 0: no length is expected
    std::optional<std::uint8_t> terminator = std::nullopt;
};

// An open serial port. Made by Devices::open_serial_port; closed by close() or when destroyed.
// Not shared between threads: the one owner calls it.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    [[nodiscard]] virtual Status configure(const LineSettings& settings) = 0;
    [[nodiscard]] virtual Status set_line(ControlLine line, LineLevel level) = 0;

    // Writes every byte or fails; a line that takes no bytes for a few seconds is a timeout.
    [[nodiscard]] virtual Status write(std::span<const std::uint8_t> bytes) = 0;
    [[nodiscard]] virtual Result<Bytes, DeviceError> read(const ReadRequest& request) = 0;

    // Lets the device go. Afterwards every call fails with not_open; closing again does nothing.
    virtual void close() = 0;
    [[nodiscard]] virtual bool is_open() const = 0;
};

// How many bytes at the front of `arrived` make the reply `request` asks for, or nothing while
// the reply is still incomplete. With neither a count nor a terminator every byte belongs to it.
[[nodiscard]] std::optional<std::size_t> reply_length(std::span<const std::uint8_t> arrived,
                                                      const ReadRequest& request);

// One exchange with a device that answers commands, such as a rig: whatever stale bytes are
// waiting are dropped, the command is written and the reply read as `reply` asks.
[[nodiscard]] Result<Bytes, DeviceError> exchange(SerialPort& port, std::span<const std::uint8_t> command,
                                                  const ReadRequest& reply);

} // namespace kestrel::io
