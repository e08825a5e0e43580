#pragma once

#include <chrono>
#include <string>

namespace kestrel::online {

using TimePoint = std::chrono::system_clock::time_point;

// "hh:mm" of a moment in UTC.
[[nodiscard]] std::string clock_text_of(TimePoint utc);
// "dd-mm-yy" of a moment in UTC: the form the log's dates are typed and shown in.
[[nodiscard]] std::string date_text_of(TimePoint utc);

// Where a one-minute nudge of the computer's clock lands: the current minute with its seconds
// dropped, one minute on or back. Across midnight the date follows (23:59 + 1 is 00:00 of the next
// day), so the clock never jumps back a whole day.
[[nodiscard]] TimePoint nudged_time(TimePoint now, int minutes);

// The window's caption once the date is known: the title, the date and the log in use.
[[nodiscard]] std::string online_caption(std::string_view title, std::string_view date_text,
                                         std::string_view log_path);

} // namespace kestrel::online
