#pragma once

#include "io/clocks.hpp"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

namespace kestrel::testing {

// A steady clock moved by hand. Sleeping either moves the clock to the deadline at once, so a
// thread that paces itself by the clock runs through in simulated time with exact timestamps,
// or waits until the test advances the clock that far. Any thread may use it.
class FakeSteadyClock final : public io::SteadyClock {
  public:
    enum class Sleep { jumps, waits_for_advance };

    // An arbitrary start well away from zero, so nothing mistakes it for an unset time.
    static constexpr time_point k_start = time_point(std::chrono::hours(1000));

    explicit FakeSteadyClock(Sleep sleep = Sleep::jumps) : m_sleep(sleep) {}

    time_point now() const override;
    bool sleep_until(time_point deadline, std::stop_token stop) override;

    void advance(std::chrono::steady_clock::duration by);

    // Time since k_start, for readable expectations.
    [[nodiscard]] std::chrono::milliseconds elapsed() const;

  private:
    mutable std::mutex m_mutex;
    std::condition_variable_any m_moved;
    time_point m_now = k_start;
    Sleep m_sleep;
};

// A calendar clock set by hand that records what the program set it to, and can refuse.
class FakeWallClock final : public io::WallClock {
  public:
    // 1 May 2024, 12:00:00 UTC, unless a test says otherwise.
    static const time_point k_start;

    explicit FakeWallClock(time_point start = k_start) : m_now(start) {}

    time_point now() const override;
    io::Status set(time_point utc) override;

    // Moves the clock as the passing of time would; not recorded as a setting.
    void advance(std::chrono::system_clock::duration by);
    void set_now(time_point utc);

    // Every later set() fails with `error` (the usual answer to a user without the right).
    void refuse_sets(io::DeviceError error = io::DeviceError::not_permitted);

    // What set() was asked for, refused or not, in order.
    [[nodiscard]] std::vector<time_point> sets() const;

  private:
    mutable std::mutex m_mutex;
    time_point m_now;
    std::optional<io::DeviceError> m_refusal;
    std::vector<time_point> m_sets;
};

} // namespace kestrel::testing
