#include "platform/posix/process.hpp"

#include <csignal>

namespace kestrel::platform::posix {

void keep_running_on_write_limits() {
    // By default a write past RLIMIT_FSIZE kills the process with SIGXFSZ; ignored, the write
    // fails with EFBIG instead. A pipe closed at the far end (SIGPIPE) likewise becomes EPIPE.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace kestrel::platform::posix
