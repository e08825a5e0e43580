#pragma once

#include "common/result.hpp"
#include "io/key_line.hpp"
#include "platform/posix/system_calls.hpp"

#include <memory>
#include <string>

namespace kestrel::platform::posix {

// The first parallel port's path under Linux's user-space parallel port driver (ppdev).
inline constexpr const char* k_first_parallel_port = "/dev/parport0";

// Keying on the parallel port's control register, the value 4 for key down and 0 for key up,
// written through ppdev: the port is claimed at opening and released when the line goes.
class ParallelKeyLine final : public io::KeyLine {
  public:
    static constexpr unsigned char k_key_down = 4;
    static constexpr unsigned char k_key_up = 0;

    [[nodiscard]] static Result<std::unique_ptr<io::KeyLine>, io::DeviceError> open(SystemCalls& calls,
                                                                                    const std::string& path);

    ~ParallelKeyLine() override;
    ParallelKeyLine(const ParallelKeyLine&) = delete;
    ParallelKeyLine& operator=(const ParallelKeyLine&) = delete;

    io::Status key_down() override { return write_control(k_key_down); }
    io::Status key_up() override { return write_control(k_key_up); }

  private:
    ParallelKeyLine(SystemCalls& calls, int fd) : m_calls(calls), m_fd(fd) {}
    [[nodiscard]] io::Status write_control(unsigned char value);

    SystemCalls& m_calls;
    int m_fd;
};

} // namespace kestrel::platform::posix
