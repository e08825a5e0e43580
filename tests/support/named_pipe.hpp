#pragma once

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::testing {

// Puts a named pipe at `path`, where a file belongs, as a hostile station directory might.
inline bool make_named_pipe(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

// Runs `work` on a thread of its own and gives it a generous deadline. Code that waits on the pipe
// at `pipe` (for a writer to open it, or a reader) is then let go by opening the pipe's other end,
// so that a fault fails the test instead of hanging it. True when `work` returned by itself. The
// deadline only guards against a hang; how fast `work` is does not matter.
template <class Work> bool returns_without_waiting_on(const std::filesystem::path& pipe, Work work) {
    auto done = std::async(std::launch::async, std::move(work));
    if (done.wait_for(std::chrono::seconds(30)) == std::future_status::ready) return true;
    // Opened for reading and writing, a pipe never waits, and its opening frees both kinds of
    // waiter. A writer gets its few bytes into the pipe while it is open; a reader reaches the
    // pipe's end once it is closed.
    const int other_end = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    (void)done.wait_for(std::chrono::seconds(5));
    if (other_end >= 0) ::close(other_end);
    done.wait();
    return false;
}

} // namespace kestrel::testing
