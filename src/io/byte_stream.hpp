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

// How many bytes at the front of `arrived` make the reply `request` asks for, or nothing while
// the reply is still incomplete. With neither a count nor a terminator every byte belongs to it.
[[nodiscard]] std::optional<std::size_t> reply_length(std::span<const std::uint8_t> arrived,
                                                      const ReadRequest& request);

// Bytes to and from a device: a serial port, or a program serving one over the network (a rig
// daemon). Not shared between threads: the one owner calls it.
class ByteStream {
  public:
    virtual ~ByteStream() = default;

    // Writes every byte or fails; a line that takes no bytes for a few seconds is a timeout.
    [[nodiscard]] virtual Status write(std::span<const std::uint8_t> bytes) = 0;
    [[nodiscard]] virtual Result<Bytes, DeviceError> read(const ReadRequest& request) = 0;

    // Lets the device go. Afterwards every call fails with not_open; closing again does nothing.
    virtual void close() = 0;
    [[nodiscard]] virtual bool is_open() const = 0;
};

} // namespace kestrel::io
