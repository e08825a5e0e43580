#pragma once

#include <algorithm>
#include <chrono>

namespace kestrel::platform::posix {

using Clock = std::chrono::steady_clock;

// A write that makes no progress for this long has met a line or a peer that stopped taking
// bytes (flow control held by the other end, a stuck adapter, a full socket nobody reads).
inline constexpr std::chrono::milliseconds k_write_stall{3000};

// What poll() may wait to reach a deadline: 0 once it has passed, and never more than a minute
// at a time (the caller polls again).
inline int milliseconds_until(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 60'000));
}

} // namespace kestrel::platform::posix
