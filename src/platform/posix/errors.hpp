#pragma once

#include "io/device_error.hpp"

namespace kestrel::platform::posix {

// What an errno value means for the operator, by the step that failed.
[[nodiscard]] io::DeviceError open_error_of(int error_number);     // opening or locking a device
[[nodiscard]] io::DeviceError settings_error_of(int error_number); // tcsetattr
[[nodiscard]] io::DeviceError line_error_of(int error_number);     // RTS, DTR, the parallel control lines
[[nodiscard]] io::DeviceError clock_error_of(int error_number);    // clock_settime

} // namespace kestrel::platform::posix
