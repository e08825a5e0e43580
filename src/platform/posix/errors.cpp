#include "platform/posix/errors.hpp"

#include <cerrno>

namespace kestrel::platform::posix {

using io::DeviceError;

DeviceError open_error_of(int error_number) {
    switch (error_number) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
    case EISDIR:
    case ENOTTY: // a file that is not a terminal, or a device that is not a parallel port
        return DeviceError::no_such_port;
    case EACCES:
    case EPERM:
    case EROFS: return DeviceError::permission_denied;
    case EBUSY:
    case EAGAIN: // also EWOULDBLOCK: the lock is held by another open of the port
        return DeviceError::busy;
    default: return DeviceError::io_error;
    }
}

DeviceError settings_error_of(int error_number) {
    return error_number == EINVAL ? DeviceError::bad_settings : DeviceError::io_error;
}

DeviceError line_error_of(int error_number) {
    switch (error_number) {
    case ENOTTY: // what a pseudo-terminal answers to TIOCMBIS and TIOCMBIC
    case EINVAL:
    case EPERM:
    case ENOSYS: return DeviceError::line_change_refused;
    default: return DeviceError::io_error;
    }
}

DeviceError clock_error_of(int error_number) {
    return error_number == EPERM || error_number == EACCES ? DeviceError::not_permitted
                                                           : DeviceError::io_error;
}

} // namespace kestrel::platform::posix
