#include "digital/qt_stream.hpp"

#include <ctime>

namespace kestrel::digital {

namespace {

constexpr std::uint32_t k_null_length = 0xffffffff;
constexpr std::uint32_t k_milliseconds_a_day = 86'400'000;
// The Julian day of 1 January 1970, and the span of days the calendar below is sure of (the years
// 0 to 9999), which holds every date a log can keep with room to spare.
constexpr std::int64_t k_unix_epoch_day = 2'440'588;
constexpr std::int64_t k_first_day = 1'721'060;
constexpr std::int64_t k_last_day = 5'373'484;

enum TimeSpec : std::uint8_t { k_local = 0, k_utc = 1, k_offset = 2, k_zone = 3 };

// Local time of this computer as UTC, by the C library's rules for its time zone.
std::optional<UtcTime> utc_of_local(std::chrono::sys_days day, std::chrono::milliseconds into_day) {
    using namespace std::chrono;
    const year_month_day date(day);
    const hh_mm_ss<milliseconds> time(into_day);
    std::tm local{};
    local.tm_year = static_cast<int>(date.year()) - 1900;
    local.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    local.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    local.tm_hour = static_cast<int>(time.hours().count());
    local.tm_min = static_cast<int>(time.minutes().count());
    local.tm_sec = static_cast<int>(time.seconds().count());
    local.tm_isdst = -1;
    const std::time_t moment = std::mktime(&local);
    if (moment == static_cast<std::time_t>(-1)) return std::nullopt;
    return UtcTime(seconds(moment)) + time.subseconds();
}

} // namespace

std::optional<UtcTime> utc_of(const QtDateTime& time) {
    using namespace std::chrono;
    if (time.julian_day < k_first_day || time.julian_day > k_last_day) return std::nullopt;
    if (time.milliseconds >= k_milliseconds_a_day) return std::nullopt;
    const sys_days day{days(time.julian_day - k_unix_epoch_day)};
    const milliseconds into_day(time.milliseconds);
    switch (time.time_kind) {
    case k_utc: return day + into_day;
    case k_offset: return day + into_day - seconds(time.offset_seconds);
    case k_local: return utc_of_local(day, into_day);
    default: return std::nullopt;
    }
}

std::optional<std::uint64_t> QtStreamReader::unsigned_of(std::size_t width) {
    if (m_broken || m_bytes.size() - m_at < width) {
        m_broken = true;
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = value << 8 | m_bytes[m_at + i];
    m_at += width;
    return value;
}

std::optional<std::uint8_t> QtStreamReader::u8() {
    const auto v = unsigned_of(1);
    if (!v) return std::nullopt;
    return static_cast<std::uint8_t>(*v);
}

std::optional<std::uint32_t> QtStreamReader::u32() {
    const auto v = unsigned_of(4);
    if (!v) return std::nullopt;
    return static_cast<std::uint32_t>(*v);
}

std::optional<std::int32_t> QtStreamReader::i32() {
    const auto v = u32();
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<std::uint64_t> QtStreamReader::u64() {
    return unsigned_of(8);
}

std::optional<std::int64_t> QtStreamReader::i64() {
    const auto v = u64();
    if (!v) return std::nullopt;
    return static_cast<std::int64_t>(*v);
}

std::optional<std::string> QtStreamReader::bytes() {
    const auto length = u32();
    if (!length) return std::nullopt;
    if (*length == k_null_length) return std::string();
    if (m_bytes.size() - m_at < *length) {
        m_broken = true;
        return std::nullopt;
    }
    std::string out(reinterpret_cast<const char*>(m_bytes.data()) + m_at, *length);
    m_at += *length;
    return out;
}

std::optional<QtDateTime> QtStreamReader::date_time() {
    QtDateTime time;
    const auto day = i64();
    const auto milliseconds = u32();
    const auto kind = u8();
    if (!day || !milliseconds || !kind) return std::nullopt;
    time.julian_day = *day;
    time.milliseconds = *milliseconds;
    time.time_kind = *kind;
    if (time.time_kind == k_offset) {
        const auto offset = i32();
        if (!offset) return std::nullopt;
        time.offset_seconds = *offset;
    } else if (time.time_kind == k_zone) {
        // The zone's name, as Qt writes a string (UTF-16, its length in bytes), read past so that
        // the fields after it are still found.
        if (!bytes()) return std::nullopt;
    } else if (time.time_kind > k_zone) {
        m_broken = true;
        return std::nullopt;
    }
    return time;
}

} // namespace kestrel::digital
