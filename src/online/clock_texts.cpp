#include "online/clock_texts.hpp"

#include <cstdio>

namespace kestrel::online {

namespace {

std::string two_digits(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value % 100);
    return text;
}

} // namespace

std::string clock_text_of(TimePoint utc) {
    const auto day = std::chrono::floor<std::chrono::days>(utc);
    const std::chrono::hh_mm_ss time{std::chrono::floor<std::chrono::seconds>(utc - day)};
    return two_digits(static_cast<unsigned>(time.hours().count())) + ":" +
           two_digits(static_cast<unsigned>(time.minutes().count()));
}

std::string date_text_of(TimePoint utc) {
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(utc)};
    const int year = static_cast<int>(date.year());
    return two_digits(static_cast<unsigned>(date.day())) + "-" +
           two_digits(static_cast<unsigned>(date.month())) + "-" +
           two_digits(static_cast<unsigned>(((year % 100) + 100) % 100));
}

TimePoint nudged_time(TimePoint now, int minutes) {
    return std::chrono::floor<std::chrono::minutes>(now) + std::chrono::minutes(minutes);
}

std::string online_caption(std::string_view title, std::string_view date_text, std::string_view log_path) {
    std::string caption(title);
    caption += "  On Line Logging";
    caption += std::string(10, ' ') + "Date: ";
    caption += date_text;
    caption += std::string(10, ' ');
    caption += log_path;
    return caption;
}

} // namespace kestrel::online
