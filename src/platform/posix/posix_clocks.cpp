#include "platform/posix/posix_clocks.hpp"

#include "platform/posix/errors.hpp"

#include <condition_variable>
#include <mutex>

namespace kestrel::platform::posix {

timespec timespec_of(io::WallClock::time_point time) {
    const auto since = time.time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds);
    timespec result{};
    result.tv_sec = static_cast<time_t>(seconds.count());
    result.tv_nsec = static_cast<long>(nanoseconds.count());
    return result;
}

io::WallClock::time_point time_point_of(const timespec& time) {
    const auto since = std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
    return io::WallClock::time_point(std::chrono::duration_cast<io::WallClock::time_point::duration>(since));
}

io::WallClock::time_point PosixWallClock::now() const {
    timespec time{};
    // CLOCK_REALTIME cannot fail to be read; should a seam refuse it, the library's clock answers.
    if (m_calls.clock_gettime(CLOCK_REALTIME, time) < 0) return std::chrono::system_clock::now();
    return time_point_of(time);
}

io::Status PosixWallClock::set(time_point utc) {
    if (const int done = m_calls.clock_settime(CLOCK_REALTIME, timespec_of(utc)); done < 0) {
        return clock_error_of(-done);
    }
    return {};
}

io::SteadyClock::time_point PosixSteadyClock::now() const {
    return std::chrono::steady_clock::now();
}

bool PosixSteadyClock::sleep_until(time_point deadline, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any woken;
    std::unique_lock lock(mutex);
    // Nothing but the stop request notifies, so the wait ends at the deadline or on a stop.
    return !woken.wait_until(lock, stop, deadline, [&] { return stop.stop_requested(); });
}

} // namespace kestrel::platform::posix
