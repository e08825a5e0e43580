#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::logstore {

// A date is one day number, 500 × yy + 35 × mm + dd − 32000, where yy is the year less 1900
// (01-01-1930 is −16964, 31-12-1999 is 17951, 01-01-2000 is 18036). Day numbers grow with the
// date, so comparing two compares the dates, but they are not consecutive: a month spans 35 codes
// and a year 500.
inline constexpr int k_first_year = 1930;
inline constexpr int k_first_day_number = -16964; // 01-01-1930
inline constexpr int k_last_day_number = 48566;   // 31-01-2061
inline constexpr std::string_view k_last_storable_date = "31-01-2061";

[[nodiscard]] constexpr int day_number_of_date(int year, int month, int day) {
    return 500 * (year - 1900) + 35 * month + day - 32000;
}
[[nodiscard]] constexpr bool is_storable_day(int day_number) {
    return day_number >= k_first_day_number && day_number <= k_last_day_number;
}

// A record keeps its day number in a signed 16-bit field, which holds it as it is up to 22-07-2029
// (32767). The codes below 01-01-1930, which no log has ever used, carry the later days on: such a
// code is the day 65536 higher, up to 31-01-2061. Every log written before reads as it always
// did. These two are the only way between the field and the day; dates are compared as days,
// never as codes.
[[nodiscard]] constexpr int day_of_code(std::int16_t code) {
    return code < k_first_day_number ? code + 65536 : code;
}
// The code of a storable day (see is_storable_day).
[[nodiscard]] constexpr std::int16_t code_of_day(int day_number) {
    return static_cast<std::int16_t>(day_number > 32767 ? day_number - 65536 : day_number);
}

struct CalendarDay {
    int year = 0; // four digits
    int month = 0;
    int day = 0;
    friend bool operator==(const CalendarDay&, const CalendarDay&) = default;
};
// The year, month and day a day number is made of (the day may be one the calendar lacks, such as
// 31-02, which the entry check lets through).
[[nodiscard]] CalendarDay calendar_day_of(int day_number);

// The year a two-digit year typed in `this_year` names: the one of the hundred years that end ten
// years after this one (in 2026 that is 1937 to 2036, so 37 is 1937 and 36 is 2036).
[[nodiscard]] constexpr int year_of_two_digits(int two_digits, int this_year) {
    const int last = this_year + 10;
    return last - ((last - two_digits) % 100 + 100) % 100;
}
// The UTC year of a moment of the wall clock: the "this year" of the above.
[[nodiscard]] int utc_year_of(std::chrono::system_clock::time_point moment);

// Day number of a date text dd?mm?yy or dd?mm?yyyy as the entry check leaves it; the separators
// are not looked at and each part is the number it starts with. A two-digit year is read as typed
// in `this_year`. The result may lie outside what a record holds: check with is_storable_day.
[[nodiscard]] int day_number_of(std::string_view date_text, int this_year);
// The same for texts whose two-digit years name 1930 to 2029, the years they named before two-digit
// years followed the calendar; only for texts written then (fixtures and files of that time).
[[nodiscard]] int day_number_of(std::string_view date_text);

// "dd-mm-yy" of a day number: the form dates are shown in.
[[nodiscard]] std::string date_text_of(int day_number);
// The text to put in a box the operator may save again: "dd-mm-yy" when its two-digit year,
// typed in `this_year`, names the same year, and "dd-mm-yyyy" when it would not.
[[nodiscard]] std::string date_entry_text_of(int day_number, int this_year);
// The longest date text a box takes: dd?mm?yyyy.
inline constexpr int k_date_text_width = 10;

// The minute of the day a time text names: hhmm, hmm or hh:mm made of digits, hours 0-23 and
// minutes 0-59 (12:34 gives 754, 930 gives 570). Anything else names no time: "12" is not
// twelve o'clock, and "1:5", "2561" and "1234x" are refused alike.
[[nodiscard]] std::optional<std::int16_t> parse_time_of_day(std::string_view time_text);

// The same for a text already known to be a time (a clock reading, a box that was checked);
// a text that names no time gives 0.
[[nodiscard]] std::int16_t minute_of(std::string_view time_text);

// "hh:mm" of a minute of the day.
[[nodiscard]] std::string time_text_of(int minute_of_day);
// The longest time text: hh:mm, the form a stored time is shown in.
inline constexpr int k_time_text_width = 5;

// The check every typed date goes through before it is stored.
enum class DateEntryError { none, bad_format, not_storable };

struct NormalisedDate {
    std::string text; // dd?mm?yy or dd?mm?yyyy with the separators typed; empty on error
    int day_number = 0;
    DateEntryError error = DateEntryError::none;
    bool ok() const { return error == DateEntryError::none; }
};

// Accepts ddmmyy (six characters), d/m/yy, dd/m/yy, d-mm-yy and the like, and the same with a
// four-digit year (d-m-yyyy). Day and month are checked (1–31, 1–12); days in the month are not.
// A two-digit year is read as typed in `this_year`. A date the log cannot hold is refused too.
[[nodiscard]] NormalisedDate normalise_date_entry(std::string_view typed, int this_year);

inline constexpr std::string_view k_date_error_title = "Date Error";
inline constexpr std::string_view k_date_format_message =
    " Formats allowed:\r\nddmmyy, must be 6 digits\r\nd/m/yy or d-m-yy\r\nd/m/yyyy or d-m-yyyy";
inline constexpr std::string_view k_date_range_message =
    " The log holds dates from 01-01-1930 to 31-01-2061.";

// The text to show (with k_date_error_title and the exclamation icon) for a refused date.
[[nodiscard]] std::string_view message_of(DateEntryError error);

} // namespace kestrel::logstore
