#include "logstore/dates.hpp"

#include "common/number_text.hpp"

#include <algorithm>
#include <cmath>

namespace kestrel::logstore {

namespace {

// Characters `first` (1-based) for `count`, as much of them as the text has.
std::string_view characters(std::string_view text, std::size_t first, std::size_t count) {
    if (first > text.size()) return {};
    return text.substr(first - 1, count);
}

std::string_view last_characters(std::string_view text, std::size_t count) {
    return text.size() <= count ? text : text.substr(text.size() - count);
}

// The value of a text is the number it starts with; integer fields take it rounded.
long long value_of(std::string_view text) {
    const double value = leading_number(text);
    return round_half_even(std::clamp(value, -1e9, 1e9));
}

// The year of a date text: the last four characters when the text is dd?mm?yyyy, else the last two
// read by `two_digit_year`.
template <typename TwoDigitYear>
long long day_number_value(std::string_view date_text, TwoDigitYear two_digit_year) {
    const long long dd = value_of(characters(date_text, 1, 2));
    const long long mm = value_of(characters(date_text, 4, 2));
    const bool four_digits = date_text.size() == 10;
    long long year = value_of(last_characters(date_text, four_digits ? 4 : 2));
    if (!four_digits) year = two_digit_year(static_cast<int>(year));
    return 500 * (year - 1900) + 35 * mm + dd - 32000;
}

int clamped(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -1'000'000'000, 1'000'000'000));
}

std::string two_digits(long long value) {
    if (value >= 0 && value < 10) return "0" + std::to_string(value);
    return std::to_string(value);
}

long long floor_div(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool all_digits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int digits_value(std::string_view digits) {
    int value = 0;
    for (const char c : digits)
        value = 10 * value + (c - '0');
    return value;
}

bool is_separator(char c) {
    return c == '-' || c == '/';
}

// 1-based position of the first separator at or after `from`, 0 when there is none.
std::size_t separator_position(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i <= text.size(); ++i) {
        if (is_separator(text[i - 1])) return i;
    }
    return 0;
}

} // namespace

CalendarDay calendar_day_of(int day_number) {
    const long long n = day_number + 32000LL;
    const long long y = floor_div(n, 500);
    const long long r = n - 500 * y;
    const long long m = r / 35;
    return {static_cast<int>(1900 + y), static_cast<int>(m), static_cast<int>(r - 35 * m)};
}

int utc_year_of(std::chrono::system_clock::time_point moment) {
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(moment)};
    return static_cast<int>(date.year());
}

int day_number_of(std::string_view date_text, int this_year) {
    return clamped(
        day_number_value(date_text, [this_year](int yy) { return year_of_two_digits(yy, this_year); }));
}

int day_number_of(std::string_view date_text) {
    return clamped(day_number_value(date_text, [](int yy) { return yy < 30 ? 2000 + yy : 1900 + yy; }));
}

std::string date_text_of(int day_number) {
    const CalendarDay date = calendar_day_of(day_number);
    return two_digits(date.day) + "-" + two_digits(date.month) + "-" +
           two_digits(((date.year % 100) + 100) % 100);
}

std::string date_entry_text_of(int day_number, int this_year) {
    const CalendarDay date = calendar_day_of(day_number);
    const std::string text = date_text_of(day_number);
    if (year_of_two_digits(date.year % 100, this_year) == date.year) return text;
    return text.substr(0, 6) + std::to_string(date.year);
}

std::optional<std::int16_t> parse_time_of_day(std::string_view time_text) {
    std::string_view hours, minutes;
    if (time_text.size() == 5 && time_text[2] == ':') {
        hours = time_text.substr(0, 2);
        minutes = time_text.substr(3);
    } else if (time_text.size() == 3 || time_text.size() == 4) {
        hours = time_text.substr(0, time_text.size() - 2);
        minutes = time_text.substr(time_text.size() - 2);
    } else {
        return std::nullopt;
    }
    if (!all_digits(hours) || !all_digits(minutes)) return std::nullopt;
    const int h = digits_value(hours), m = digits_value(minutes);
    if (h > 23 || m > 59) return std::nullopt;
    return static_cast<std::int16_t>(60 * h + m);
}

std::int16_t minute_of(std::string_view time_text) {
    return parse_time_of_day(time_text).value_or(0);
}

std::string time_text_of(int minute_of_day) {
    const long long h = floor_div(minute_of_day, 60);
    const long long m = minute_of_day - 60 * h;
    return two_digits(h) + ":" + two_digits(m);
}

NormalisedDate normalise_date_entry(std::string_view typed, int this_year) {
    const NormalisedDate refused{{}, 0, DateEntryError::bad_format};
    std::string text(typed);

    const std::size_t p = separator_position(text, 1);
    if (p == 0 || p > 3) {
        if (text.size() != 6) return refused;
        text = text.substr(0, 2) + "-" + text.substr(2, 2) + "-" + text.substr(4, 2);
    } else {
        if (p == 1 || p == 2) text = "0" + text;
        const std::size_t q = separator_position(text, 4);
        if (q < 5 || q > 6) return refused;
        if (q == 5) text = text.substr(0, 3) + "0" + text.substr(3);
    }

    // dd?mm?yy, or dd?mm?yyyy whose year is all digits.
    if (text.size() != 8 && !(text.size() == 10 && all_digits(text.substr(6)))) return refused;
    const long long day = value_of(characters(text, 1, 2));
    const long long month = value_of(characters(text, 4, 2));
    if (day < 1 || day > 31 || month < 1 || month > 12) return refused;
    const int day_number = day_number_of(text, this_year);
    if (!is_storable_day(day_number)) return {{}, 0, DateEntryError::not_storable};
    return {text, day_number, DateEntryError::none};
}

std::string_view message_of(DateEntryError error) {
    switch (error) {
    case DateEntryError::none: return {};
    case DateEntryError::bad_format: return k_date_format_message;
    case DateEntryError::not_storable: return k_date_range_message;
    }
    return {};
}

} // namespace kestrel::logstore
