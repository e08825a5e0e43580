#include "logstore/dates.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <utility>

namespace kestrel::logstore {
namespace {

TEST(Dates, DayNumbersOfDates) {
    const struct {
        const char* text;
        int day_number;
    } cases[] = {
        {"01-01-30", -16964},  {"31-12-99", 17951},   {"01-01-00", 18036},   {"22-07-29", 32767},
        {"01/02/99", 17571},   {"01.02.99", 17571},   {"15-06-24", 30225},   {"01-01-1930", -16964},
        {"23-07-2029", 32768}, {"01-01-2030", 33036}, {"31-01-2061", 48566}, {"01/02/1999", 17571},
    };
    for (const auto& c : cases)
        EXPECT_EQ(day_number_of(c.text), c.day_number) << c.text;
    // The new century sorts after the old one, and the days past 22-07-29 after both.
    EXPECT_LT(day_number_of("31-12-99"), day_number_of("01-01-00"));
    EXPECT_LT(day_number_of("22-07-29"), day_number_of("23-07-2029"));
}

// Every day the log can hold goes into the 16-bit field and comes back as itself, no two days
// share a code, and the days the field held before keep their codes.
TEST(Dates, EveryStorableDayRoundTripsThroughTheField) {
    constexpr int days_in[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::set<std::int16_t> codes;
    int previous = k_first_day_number - 1, days = 0;
    for (int year = 1930; year <= 2061; ++year) {
        for (int month = 1; month <= 12 && !(year == 2061 && month > 1); ++month) {
            for (int day = 1; day <= days_in[month - 1]; ++day) {
                const int number = day_number_of_date(year, month, day);
                ASSERT_TRUE(is_storable_day(number)) << year << "-" << month << "-" << day;
                ASSERT_GT(number, previous);
                const std::int16_t code = code_of_day(number);
                ASSERT_EQ(day_of_code(code), number);
                ASSERT_TRUE(codes.insert(code).second) << number;
                if (number <= 32767) {
                    ASSERT_EQ(code, number) << "a day the field held before";
                }
                ASSERT_EQ(calendar_day_of(number), (CalendarDay{year, month, day}));
                ++days;
                previous = number;
            }
        }
    }
    EXPECT_EQ(previous, k_last_day_number);
    EXPECT_EQ(days, static_cast<int>(codes.size()));
    EXPECT_FALSE(is_storable_day(k_first_day_number - 1));
    EXPECT_FALSE(is_storable_day(k_last_day_number + 1));
    // Whatever a field holds, decoding and encoding give back its bytes.
    for (int code = -32768; code <= 32767; ++code)
        ASSERT_EQ(code_of_day(day_of_code(static_cast<std::int16_t>(code))), code);
}

TEST(Dates, DateTextsOfDayNumbers) {
    const struct {
        int day_number;
        const char* text;
    } cases[] = {
        {-16964, "01-01-30"}, {17951, "31-12-99"}, {18036, "01-01-00"}, {32767, "22-07-29"},
        {30225, "15-06-24"},  {32768, "23-07-29"}, {48566, "31-01-61"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(date_text_of(c.day_number), c.text);
    // Any field gives some text, never a crash.
    for (int code = -32768; code <= 32767; code += 7)
        EXPECT_EQ(date_text_of(day_of_code(static_cast<std::int16_t>(code))).size(), 8u);
}

TEST(Dates, TwoDigitYearsNameTheHundredYearsEndingTenYearsAhead) {
    const struct {
        int this_year, two_digits, year;
    } cases[] = {
        {2026, 37, 1937}, {2026, 36, 2036}, {2026, 29, 2029}, {2026, 30, 2030}, {2026, 99, 1999},
        {2026, 0, 2000},  {2030, 30, 2030}, {2030, 40, 2040}, {2030, 41, 1941}, {2051, 61, 2061},
        {2052, 62, 2062}, {2052, 63, 1963}, {1999, 9, 2009},  {1999, 10, 1910},
    };
    for (const auto& c : cases)
        EXPECT_EQ(year_of_two_digits(c.two_digits, c.this_year), c.year)
            << c.this_year << " " << c.two_digits;
    const auto moment = std::chrono::sys_days{std::chrono::year{2029} / 12 / 31} + std::chrono::hours(23);
    EXPECT_EQ(utc_year_of(moment), 2029);
}

TEST(Dates, DatesToTypeAgainKeepTheirYear) {
    const struct {
        const char* date;
        int this_year;
        const char* text;
    } cases[] = {
        {"01-01-1935", 2026, "01-01-1935"}, {"01-01-1937", 2026, "01-01-37"},
        {"31-12-1999", 2026, "31-12-99"},   {"31-12-2036", 2026, "31-12-36"},
        {"01-06-2040", 2026, "01-06-2040"}, {"01-06-2040", 2030, "01-06-40"},
    };
    for (const auto& c : cases) {
        const std::string text = date_entry_text_of(day_number_of(c.date), c.this_year);
        EXPECT_EQ(text, c.text) << c.date << " in " << c.this_year;
        EXPECT_EQ(normalise_date_entry(text, c.this_year).day_number, day_number_of(c.date)) << text;
    }
}

TEST(Dates, OnlyDigitsInTheThreeTimeFormsAreTimes) {
    const std::pair<const char*, int> accepted[] = {
        {"12:34", 754}, {"1234", 754}, {"930", 570}, {"0930", 570}, {"23:59", 1439}, {"000", 0}, {"00:00", 0},
    };
    for (const auto& [text, minute] : accepted) {
        EXPECT_EQ(parse_time_of_day(text), minute) << text;
        EXPECT_EQ(minute_of(text), minute) << text;
    }
    // Too short or long, other characters than digits, other colon forms, out of range.
    const char* const refused[] = {"",      "1",    "12",   "05",   "12345", "1234x", "ab",   "12a4",
                                   " 930",  "930 ", "-930", "1.30", "12;34", "1:5",   "9:30", "12:3",
                                   ":1234", "2400", "2561", "0960", "24:00", "12:60", "999"};
    for (const char* text : refused) {
        EXPECT_EQ(parse_time_of_day(text), std::nullopt) << text;
        EXPECT_EQ(minute_of(text), 0) << text;
    }
    // Every minute of the day comes back from the text it is shown as.
    for (int minute = 0; minute < 24 * 60; ++minute)
        EXPECT_EQ(parse_time_of_day(time_text_of(minute)), minute);
}

TEST(Dates, TimeTextsOfMinutes) {
    EXPECT_EQ(time_text_of(754), "12:34");
    EXPECT_EQ(time_text_of(0), "00:00");
    EXPECT_EQ(time_text_of(1439), "23:59");
    EXPECT_EQ(time_text_of(65), "01:05");
}

TEST(Dates, TypedDatesAreNormalised) {
    const struct {
        const char* typed;
        int this_year;
        const char* text;
        const char* date; // dd-mm-yyyy
    } accepted[] = {
        {"1/2/99", 2026, "01/02/99", "01-02-1999"},       {"010299", 2026, "01-02-99", "01-02-1999"},
        {"1-12-05", 2026, "01-12-05", "01-12-2005"},      {"31/2/99", 2026, "31/02/99", "31-02-1999"},
        {"12-3-24", 2026, "12-03-24", "12-03-2024"},      {"1/2-99", 2026, "01/02-99", "01-02-1999"},
        {"220729", 2026, "22-07-29", "22-07-2029"},       {"230729", 2026, "23-07-29", "23-07-2029"},
        {"1/1/30", 2026, "01/01/30", "01-01-2030"},       {"1/1/37", 2026, "01/01/37", "01-01-1937"},
        {"1/1/36", 2026, "01/01/36", "01-01-2036"},       {"1/2/1935", 2026, "01/02/1935", "01-02-1935"},
        {"01-01-1930", 2026, "01-01-1930", "01-01-1930"}, {"31-1-2061", 2026, "31-01-2061", "31-01-2061"},
        {"310161", 2052, "31-01-61", "31-01-2061"},       {"1/1/30", 2031, "01/01/30", "01-01-2030"},
    };
    for (const auto& c : accepted) {
        const NormalisedDate date = normalise_date_entry(c.typed, c.this_year);
        EXPECT_TRUE(date.ok()) << c.typed;
        EXPECT_EQ(date.text, c.text) << c.typed;
        EXPECT_EQ(date.day_number, day_number_of(c.date)) << c.typed;
    }
}

TEST(Dates, BadlyTypedDatesAreRefusedWithTheFormatsMessage) {
    for (const char* typed :
         {"1/2/3", "320199", "011399", "12345", "", "1/123/99", "1234567", "000199", "/2/99", "1//99",
          "001299", "aabbcc", "1/2/199", "1/2/19999", "01-02-19a9", "01021999"}) {
        const NormalisedDate date = normalise_date_entry(typed, 2026);
        EXPECT_EQ(date.error, DateEntryError::bad_format) << typed;
        EXPECT_EQ(date.text, "") << typed;
    }
    EXPECT_EQ(message_of(DateEntryError::bad_format),
              " Formats allowed:\r\nddmmyy, must be 6 digits\r\nd/m/yy or d-m-yy\r\nd/m/yyyy or d-m-yyyy");
    EXPECT_EQ(k_date_error_title, "Date Error");
}

TEST(Dates, DatesTheLogCannotHoldAreRefused) {
    const std::pair<const char*, int> refused[] = {
        {"1/2/61", 2052}, {"01-02-2061", 2026}, {"31-12-1929", 2026}, {"1/1/99", 2095}, {"1/1/62", 2053},
    };
    for (const auto& [typed, this_year] : refused) {
        const NormalisedDate date = normalise_date_entry(typed, this_year);
        EXPECT_EQ(date.error, DateEntryError::not_storable) << typed << " in " << this_year;
        EXPECT_EQ(date.text, "");
    }
    EXPECT_EQ(message_of(DateEntryError::not_storable),
              " The log holds dates from 01-01-1930 to 31-01-2061.");
}

} // namespace
} // namespace kestrel::logstore
