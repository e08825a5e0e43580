#include "logstore/dates.hpp"

#include <gtest/gtest.h>

#include <utility>

namespace kestrel::logstore {
namespace {

TEST(Dates, DayNumbersOfDates) {
    const struct {
        const char* text;
        int day_number;
    } cases[] = {
        {"01-01-30", -16964}, {"31-12-99", 17951}, {"01-01-00", 18036}, {"22-07-29", 32767},
        {"01/02/99", 17571},  {"01.02.99", 17571}, {"15-06-24", 30225},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(day_number_of(c.text), c.day_number) << c.text;
        EXPECT_TRUE(is_storable_date(c.text)) << c.text;
    }
    // The new century sorts after the old one.
    EXPECT_LT(day_number_of("31-12-99"), day_number_of("01-01-00"));
}

TEST(Dates, DatesPastTheLastStorableDayAreHeldNotWrapped) {
    for (const char* text : {"23-07-29", "01-08-29", "31-12-29"}) {
        EXPECT_FALSE(is_storable_date(text)) << text;
        EXPECT_EQ(day_number_of(text), k_last_day_number) << text;
    }
}

TEST(Dates, DateTextsOfDayNumbers) {
    const struct {
        int day_number;
        const char* text;
    } cases[] = {
        {-16964, "01-01-30"}, {17951, "31-12-99"}, {18036, "01-01-00"},
        {32767, "22-07-29"},  {30225, "15-06-24"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(date_text_of(static_cast<std::int16_t>(c.day_number)), c.text);
    // Any 16-bit value gives some text, never a crash.
    for (int n = -32768; n <= 32767; n += 7)
        EXPECT_EQ(date_text_of(static_cast<std::int16_t>(n)).size(), 8u);
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
        const char* text;
    } accepted[] = {
        {"1/2/99", "01/02/99"},  {"010299", "01-02-99"},   {"1-12-05", "01-12-05"}, {"31/2/99", "31/02/99"},
        {"12-3-24", "12-03-24"}, {"01/02/99", "01/02/99"}, {"1/2-99", "01/02-99"},  {"220729", "22-07-29"},
    };
    for (const auto& c : accepted) {
        const NormalisedDate date = normalise_date_entry(c.typed);
        EXPECT_TRUE(date.ok()) << c.typed;
        EXPECT_EQ(date.text, c.text) << c.typed;
    }
}

TEST(Dates, BadlyTypedDatesAreRefusedWithTheFormatsMessage) {
    for (const char* typed : {"1/2/3", "320199", "011399", "12345", "", "1/123/99", "1234567", "000199",
                              "/2/99", "1//99", "001299", "aabbcc"}) {
        const NormalisedDate date = normalise_date_entry(typed);
        EXPECT_EQ(date.error, DateEntryError::bad_format) << typed;
        EXPECT_EQ(date.text, "") << typed;
    }
    EXPECT_EQ(message_of(DateEntryError::bad_format),
              " Formats allowed:\r\nddmmyy, must be 6 digits\r\nd/m/yy or d-m-yy");
    EXPECT_EQ(k_date_error_title, "Date Error");
}

TEST(Dates, DatesTheLogCannotHoldAreRefused) {
    for (const char* typed : {"23/7/29", "010829", "31-12-29"}) {
        const NormalisedDate date = normalise_date_entry(typed);
        EXPECT_EQ(date.error, DateEntryError::not_storable) << typed;
        EXPECT_EQ(date.text, "");
    }
    EXPECT_NE(message_of(DateEntryError::not_storable).find("22-07-29"), std::string_view::npos);
}

} // namespace
} // namespace kestrel::logstore
