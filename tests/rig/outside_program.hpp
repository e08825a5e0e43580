#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kestrel::testing {

// The full path of a program on the PATH, or nothing when it is not installed.
[[nodiscard]] std::optional<std::string> find_program(const std::string& name);

// A program of the machine a test runs beside it: started with its arguments, its output going
// to a log file, and ended (SIGTERM, then SIGKILL) and waited for when the object goes, so no
// test leaves a process behind.
class OutsideProgram {
  public:
    OutsideProgram(const std::vector<std::string>& arguments, const std::string& log_path);
    ~OutsideProgram();
    OutsideProgram(const OutsideProgram&) = delete;
    OutsideProgram& operator=(const OutsideProgram&) = delete;

    [[nodiscard]] bool started() const { return m_pid > 0; }
    // Still running: it has not exited since it was started.
    [[nodiscard]] bool running();

  private:
    pid_t m_pid = -1;
    bool m_ended = false;
};

// Runs a program to its end (at most `limit`) and gives its exit status; nothing when it could
// not be started or was still running at the limit (it is then ended).
[[nodiscard]] std::optional<int> run_program(const std::vector<std::string>& arguments,
                                             std::chrono::milliseconds limit);

// Waits until `done` holds, checking every 50 ms; false when `limit` passed first.
[[nodiscard]] bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit);

// A TCP port on the loopback interface that nothing listens on just now.
[[nodiscard]] int free_local_port();

} // namespace kestrel::testing
