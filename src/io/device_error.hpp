#pragma once

#include "common/result.hpp"

#include <string_view>

namespace kestrel::io {

// Why a device or the clock did not do what was asked. Every failure of this layer is one of
// these values; none is thrown.
enum class DeviceError {
    bad_port_name,       // the port text names no port: not digits, not a path, not "P"
    no_such_port,        // nothing of that name, or it is not a port of that kind
    permission_denied,   // the device exists but this user may not open it
    busy,                // another program (or another part of this one) has the port
    bad_settings,        // the port refused the speed, data bits, parity or stop bits
    line_change_refused, // the port cannot drive RTS or DTR (a pseudo-terminal), or the key line
    timeout,             // the reply asked for did not arrive in time
    io_error,            // a read or write failed, or the device went away
    not_open,            // the port was closed before the call
    not_permitted,       // the computer clock may only be set with administrator rights
};

// A short text for the operator that follows the name of the device: "Port 1 " + message_of(busy)
// reads "Port 1 is in use"; for not_permitted the subject is the computer clock.
[[nodiscard]] std::string_view message_of(DeviceError error);

// The outcome of an operation that gives back no value: true on success, else the reason.
using Status = kestrel::Status<DeviceError>;

} // namespace kestrel::io
