#include "support/fake_clocks.hpp"

namespace kestrel::testing {

using namespace std::chrono;

io::SteadyClock::time_point FakeSteadyClock::now() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

bool FakeSteadyClock::sleep_until(time_point deadline, std::stop_token stop) {
    std::unique_lock lock(m_mutex);
    if (m_sleep == Sleep::jumps) {
        if (stop.stop_requested()) return false;
        if (deadline > m_now) m_now = deadline;
        m_moved.notify_all();
        return true;
    }
    return m_moved.wait(lock, stop, [&] { return m_now >= deadline; });
}

void FakeSteadyClock::advance(steady_clock::duration by) {
    {
        std::lock_guard lock(m_mutex);
        m_now += by;
    }
    m_moved.notify_all();
}

milliseconds FakeSteadyClock::elapsed() const {
    return duration_cast<milliseconds>(now() - k_start);
}

const io::WallClock::time_point FakeWallClock::k_start = sys_days{year{2024} / May / 1} + hours{12};

io::WallClock::time_point FakeWallClock::now() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

io::Status FakeWallClock::set(time_point utc) {
    std::lock_guard lock(m_mutex);
    m_sets.push_back(utc);
    if (m_refusal) return *m_refusal;
    m_now = utc;
    return {};
}

void FakeWallClock::advance(system_clock::duration by) {
    std::lock_guard lock(m_mutex);
    m_now += by;
}

void FakeWallClock::set_now(time_point utc) {
    std::lock_guard lock(m_mutex);
    m_now = utc;
}

void FakeWallClock::refuse_sets(io::DeviceError error) {
    std::lock_guard lock(m_mutex);
    m_refusal = error;
}

std::vector<io::WallClock::time_point> FakeWallClock::sets() const {
    std::lock_guard lock(m_mutex);
    return m_sets;
}

} // namespace kestrel::testing
