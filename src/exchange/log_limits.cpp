#include "exchange/log_limits.hpp"

#include "logstore/dates.hpp"

#include <string>

namespace kestrel::exchange {

namespace {

bool is_leap_year(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

} // namespace

std::optional<int> storable_day_number(int year, int month, int day) {
    // The year is checked before the arithmetic, which a year of any size would overflow.
    if (year < logstore::k_first_year || year > 9999 || month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > days_in_month(year, month)) return std::nullopt;
    const int day_number = logstore::day_number_of_date(year, month, day);
    if (!logstore::is_storable_day(day_number)) return std::nullopt;
    return day_number;
}

bool is_calendar_date(int day_number) {
    const logstore::CalendarDay date = logstore::calendar_day_of(day_number);
    const auto back = storable_day_number(date.year, date.month, date.day);
    return back && *back == day_number;
}

std::optional<std::int16_t> minute_of_day(int hours, int minutes) {
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) return std::nullopt;
    return static_cast<std::int16_t>(hours * 60 + minutes);
}

} // namespace kestrel::exchange
