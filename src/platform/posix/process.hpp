#pragma once

namespace kestrel::platform::posix {

// Whatever the system's limits, a write that cannot be made fails with an error the program
// reports (a file-size limit gives EFBIG, reported like a full disk); it never ends the process
// in the middle of a change to the log. Call once at start-up.
void keep_running_on_write_limits();

} // namespace kestrel::platform::posix
