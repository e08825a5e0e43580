#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::logstore {

// A date is kept as one signed 16-bit day number, 500 × yy + 35 × mm + dd − 32000, where yy is
// the two-digit year plus 100 below 30 (30–99 are 1930–1999, 00–29 are 2000–2029). Day numbers
// grow with the date but are not consecutive.
inline constexpr std::int16_t k_last_day_number = 32767; // 22-07-29
inline constexpr std::string_view k_last_storable_date = "22-07-29";

// Day number of a date text dd?mm?yy; the separators are not looked at and each part is the
// number it starts with. A date past 22-07-29 does not fit: the result is then held at the last
// day number rather than wrapping round to the 1930s (callers check with normalise_date_entry or
// is_storable_date before storing).
[[nodiscard]] std::int16_t day_number_of(std::string_view date_text);
[[nodiscard]] bool is_storable_date(std::string_view date_text);

// "dd-mm-yy" of a day number.
[[nodiscard]] std::string date_text_of(std::int16_t day_number);
// The longest date text that can be stored: dd?mm?yy, the form every typed date is checked into.
inline constexpr int k_date_text_width = 8;

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
    std::string text; // dd?mm?yy with the separators typed ("-" for the ddmmyy form); empty on error
    DateEntryError error = DateEntryError::none;
    bool ok() const { return error == DateEntryError::none; }
};

// Accepts ddmmyy (six characters), d/m/yy, dd/m/yy, d-mm-yy and the like. Day and month are
// checked (1–31, 1–12); days in the month are not. A date the log cannot hold is refused too.
[[nodiscard]] NormalisedDate normalise_date_entry(std::string_view typed);

inline constexpr std::string_view k_date_error_title = "Date Error";
inline constexpr std::string_view k_date_format_message =
    " Formats allowed:\r\nddmmyy, must be 6 digits\r\nd/m/yy or d-m-yy";
inline constexpr std::string_view k_date_range_message = " The log cannot hold dates after 22-07-29.";

// The text to show (with k_date_error_title and the exclamation icon) for a refused date.
[[nodiscard]] std::string_view message_of(DateEntryError error);

} // namespace kestrel::logstore
