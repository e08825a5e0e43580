#pragma once

#include "common/result.hpp"
#include "io/device_error.hpp"

#include <string>
#include <string_view>

namespace kestrel::io {

// The port text an operator types names the device: the digits n name the n-th serial port,
// /dev/ttyS(n-1), so "1" is /dev/ttyS0; a text beginning with "/" is a device path used as it
// stands (/dev/ttyUSB0). Blanks around the text are ignored, since the text often comes from a
// fixed-width field. Anything else, an empty text and "0" among them, is a bad port name.
[[nodiscard]] Result<std::string, DeviceError> serial_device_path(std::string_view port_text);

// The key line's port text "P" names the first parallel port instead of a serial one.
inline constexpr std::string_view k_parallel_port_text = "P";
[[nodiscard]] bool names_parallel_port(std::string_view port_text);

} // namespace kestrel::io
