#pragma once

#include "io/clocks.hpp"
#include "platform/posix/system_calls.hpp"

namespace kestrel::platform::posix {

// The computer's calendar clock through clock_gettime and clock_settime (CLOCK_REALTIME).
class PosixWallClock final : public io::WallClock {
  public:
    explicit PosixWallClock(SystemCalls& calls) : m_calls(calls) {}
    time_point now() const override;
    io::Status set(time_point utc) override;

  private:
    SystemCalls& m_calls;
};

// The monotonic clock. A sleep waits on a condition variable so a stop request ends it at once.
class PosixSteadyClock final : public io::SteadyClock {
  public:
    time_point now() const override;
    bool sleep_until(time_point deadline, std::stop_token stop) override;
};

// The conversions between a time point and the system's timespec, whole seconds rounded down so
// the nanoseconds stay in 0..999999999 before 1970 too.
[[nodiscard]] timespec timespec_of(io::WallClock::time_point time);
[[nodiscard]] io::WallClock::time_point time_point_of(const timespec& time);

} // namespace kestrel::platform::posix
