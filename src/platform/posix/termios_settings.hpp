#pragma once

#include "io/serial_port.hpp"

#include <optional>
#include <termios.h>

namespace kestrel::platform::posix {

// Raw mode: bytes pass unchanged, no echo, no line editing, no signals, no flow control; the
// modem lines are ignored so a port without carrier still opens and reads; a read returns what
// is waiting without waiting itself (the port waits with poll()).
void make_raw(termios& settings);

// The termios speed constant of a baud rate, or nothing for a rate the system does not offer.
[[nodiscard]] std::optional<speed_t> speed_of(int baud);

// Puts speed, data bits, parity and stop bits into `settings`; false, leaving it unchanged, for
// a speed or a number of data bits the system does not offer.
[[nodiscard]] bool apply(termios& settings, const io::LineSettings& line);

// Whether what the driver holds after a change matches what was asked: tcsetattr reports
// success when it managed any part of a change.
[[nodiscard]] bool same_line(const termios& held, const termios& asked);

} // namespace kestrel::platform::posix
