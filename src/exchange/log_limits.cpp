#include "exchange/log_limits.hpp"

#include "logstore/dates.hpp"

#include <string>

namespace kestrel::exchange {

namespace {

// Two-digit years stand for 1930 to 2029.
constexpr int k_first_year = 1930;
constexpr int k_last_year = 2029;

bool is_leap_year(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

std::string two_digits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

} // namespace

std::optional<std::int16_t> storable_day_number(int year, int month, int day) {
    if (year < k_first_year || year > k_last_year || month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > days_in_month(year, month)) return std::nullopt;
    const std::string text = two_digits(day) + "-" + two_digits(month) + "-" + two_digits(year % 100);
    // The last days of 2029 lie past what the date field reaches.
    if (!logstore::is_storable_date(text)) return std::nullopt;
    return logstore::day_number_of(text);
}

bool is_calendar_date(std::int16_t day_number) {
    const std::string text = logstore::date_text_of(day_number); // dd-mm-yy
    const auto value = [&text](std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
    const int yy = value(6);
    const int year = yy < k_first_year % 100 ? 2000 + yy : 1900 + yy;
    const auto back = storable_day_number(year, value(3), value(0));
    return back && *back == day_number;
}

std::optional<std::int16_t> minute_of_day(int hours, int minutes) {
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) return std::nullopt;
    return static_cast<std::int16_t>(hours * 60 + minutes);
}

} // namespace kestrel::exchange
