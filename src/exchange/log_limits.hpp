#pragma once

#include <cstdint>
#include <optional>

namespace kestrel::exchange {

// What a log record can hold, for every reader of another program's files: a contact outside
// these limits is left out whole rather than stored on a wrong day or at a wrong time.

// The day number of a calendar date when the log can hold it exactly: a real date from
// 1 January 1930 to the last day the record's date field reaches (31 January 2061).
[[nodiscard]] std::optional<int> storable_day_number(int year, int month, int day);

// Whether a stored day number is a date of the calendar. The log can hold days that are not
// (31-02-24 passes the entry editor's check); other programs refuse them.
[[nodiscard]] bool is_calendar_date(int day_number);

// The minute of the day, when hours and minutes make a time of day (00:00 to 23:59).
[[nodiscard]] std::optional<std::int16_t> minute_of_day(int hours, int minutes);

} // namespace kestrel::exchange
