#include "io/serial_port.hpp"

#include <algorithm>

namespace kestrel::io {

std::optional<std::size_t> reply_length(std::span<const std::uint8_t> arrived, const ReadRequest& request) {
    if (request.count == 0 && !request.terminator) return arrived.size();
    // The reply ends at whichever comes first: the terminator or the count-th byte.
    const std::size_t limit = request.count > 0 ? std::min(request.count, arrived.size()) : arrived.size();
    if (request.terminator) {
        const auto head = arrived.first(limit);
        const auto found = std::find(head.begin(), head.end(), *request.terminator);
        if (found != head.end()) return static_cast<std::size_t>(found - head.begin()) + 1;
    }
    if (request.count > 0 && arrived.size() >= request.count) return request.count;
    return std::nullopt;
}

Result<Bytes, DeviceError> exchange(SerialPort& port, std::span<const std::uint8_t> command,
                                    const ReadRequest& reply) {
    const auto stale = port.read(ReadRequest{});
    if (!stale) return stale.error();
    if (const Status sent = port.write(command); !sent) return sent.error();
    return port.read(reply);
}

} // namespace kestrel::io
