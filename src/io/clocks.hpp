#pragma once

#include "io/device_error.hpp"

#include <chrono>
#include <stop_token>

namespace kestrel::io {

// The computer's calendar clock in UTC: what the on-line clock shows and what a contact is
// stamped with. Any thread may read it.
class WallClock {
  public:
    using time_point = std::chrono::system_clock::time_point;

    virtual ~WallClock() = default;
    [[nodiscard]] virtual time_point now() const = 0;

    // Sets the computer's clock. Most users may not: that is not_permitted, an expected answer
    // the caller reports once and then lives with.
    [[nodiscard]] virtual Status set(time_point utc) = 0;

    // Moves the clock forward (positive) or back by whole minutes from what it reads now.
    [[nodiscard]] Status shift(std::chrono::minutes by) { return set(now() + by); }
};

// A clock that only goes forward, for deadlines and intervals; setting the wall clock does not
// move it. The keyer's thread paces its elements by it. Any thread may call it.
class SteadyClock {
  public:
    using time_point = std::chrono::steady_clock::time_point;

    virtual ~SteadyClock() = default;
    [[nodiscard]] virtual time_point now() const = 0;

    // Waits until the clock reads `deadline` or later; returns at once when it already does.
    // False when `stop` was requested before the deadline came.
    [[nodiscard]] virtual bool sleep_until(time_point deadline, std::stop_token stop) = 0;
};

} // namespace kestrel::io
