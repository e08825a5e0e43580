#include "io/device_error.hpp"

namespace kestrel::io {

std::string_view message_of(DeviceError error) {
    switch (error) {
    case DeviceError::bad_port_name: return "is not a port name";
    case DeviceError::no_such_port: return "does not exist";
    case DeviceError::permission_denied: return "may not be opened by this user";
    case DeviceError::busy: return "is in use";
    case DeviceError::bad_settings: return "refused the line settings";
    case DeviceError::line_change_refused: return "cannot switch its control lines";
    case DeviceError::timeout: return "gave no reply in time";
    case DeviceError::io_error: return "failed to read or write";
    case DeviceError::not_open: return "is not open";
    case DeviceError::not_permitted: return "may only be set by an administrator";
    }
    return "failed";
}

} // namespace kestrel::io
