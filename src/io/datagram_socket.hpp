#pragma once

#include "common/result.hpp"
#include "io/byte_stream.hpp"
#include "io/device_error.hpp"

#include <chrono>
#include <optional>

namespace kestrel::io {

// Datagrams sent to one address and port of this machine: a UDP socket bound there, which other
// programs (a digital-mode program telling of the contacts it logged) send to. Not shared between
// threads: the one owner calls it.
class DatagramSocket {
  public:
    virtual ~DatagramSocket() = default;

    // The next datagram, waiting at most `timeout` for one; nothing when none came in time. A
    // datagram too long for the buffer is dropped whole rather than handed on cut short.
    [[nodiscard]] virtual Result<std::optional<Bytes>, DeviceError>
    receive(std::chrono::milliseconds timeout) = 0;

    // The port it listens on: the one asked for, or the one the system chose when that was 0.
    [[nodiscard]] virtual int port() const = 0;

    // Lets the port go. Afterwards receive fails with not_open; closing again does nothing.
    virtual void close() = 0;
};

// Where a multicast group is joined: on the loopback interface only, which programs on this
// computer send to it by, or on every interface that lets it, so that programs on other computers
// are heard too. An address that is no group is heard where it says, whatever this holds.
enum class GroupJoin { loopback, every_interface };

// The longest datagram a receiver takes: the most a UDP datagram can carry over IPv4.
inline constexpr std::size_t k_largest_datagram = 65507;

} // namespace kestrel::io
