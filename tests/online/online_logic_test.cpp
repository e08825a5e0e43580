#include "online/clock_texts.hpp"
#include "online/net_log.hpp"
#include "online/online_window.hpp"
#include "online/rates.hpp"
#include "online/squares.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::online {
namespace {

using namespace std::chrono;

TimePoint at(year_month_day day, hours h, minutes m, seconds s = seconds(0)) {
    return sys_days{day} + h + m + s;
}

TEST(ClockTexts, ClockAndDateAcrossDayMonthAndYearEnds) {
    struct Case {
        TimePoint when;
        const char* clock;
        const char* date;
    };
    const Case cases[] = {
        {at(2026y / December / 7, 14h, 5min, 59s), "14:05", "07-12-26"},
        {at(2026y / December / 7, 23h, 59min, 59s), "23:59", "07-12-26"},
        {at(2026y / December / 8, 0h, 0min), "00:00", "08-12-26"},
        {at(2027y / February / 28, 23h, 59min, 59s), "23:59", "28-02-27"},
        {at(2027y / March / 1, 0h, 0min), "00:00", "01-03-27"},
        {at(2026y / December / 31, 23h, 59min, 59s), "23:59", "31-12-26"},
        {at(2027y / January / 1, 0h, 0min), "00:00", "01-01-27"},
        {at(2000y / January / 1, 9h, 7min), "09:07", "01-01-00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clock_text_of(c.when), c.clock);
        EXPECT_EQ(date_text_of(c.when), c.date);
    }
}

TEST(ClockTexts, NudgeDropsTheSecondsAndCrossesMidnightWithTheDate) {
    EXPECT_EQ(nudged_time(at(2026y / December / 7, 14h, 5min, 42s), 1), at(2026y / December / 7, 14h, 6min));
    EXPECT_EQ(nudged_time(at(2026y / December / 7, 14h, 5min, 42s), -1), at(2026y / December / 7, 14h, 4min));
    EXPECT_EQ(nudged_time(at(2026y / December / 31, 23h, 59min, 30s), 1), at(2027y / January / 1, 0h, 0min));
    EXPECT_EQ(nudged_time(at(2027y / January / 1, 0h, 0min, 10s), -1), at(2026y / December / 31, 23h, 59min));
}

TEST(QsoRates, OverallUntilTenThenLastTenAndLastHundred) {
    QsoRates rates;
    rates.reset();
    rates.logged_on(); // minute 1: the first contact begins
    for (int minute = 2; minute <= 31; ++minute) {
        rates.new_minute();
        if (minute == 31)
            for (int i = 0; i < 3; ++i)
                rates.logged_off();
    }
    rates.new_minute(); // minute 32: 3 × 60 / 32 = 5.6
    EXPECT_EQ(rates.overall(), 6);
    EXPECT_EQ(rates.last_10(), 0);

    // Seven more at minute 32: ten in all, the tenth back is the first Log On at minute 1.
    for (int i = 0; i < 7; ++i)
        rates.logged_off();
    rates.new_minute(); // minute 33
    EXPECT_EQ(rates.last_10(), 600 / 32 + 1) << "600 / 32 = 18.75";
    EXPECT_EQ(rates.overall(), 6) << "the overall rate keeps the value it had";

    // Ten in the same minute: a difference of 0 counts as 1.
    for (int i = 0; i < 10; ++i)
        rates.logged_off();
    rates.new_minute();
    for (int i = 0; i < 10; ++i)
        rates.logged_off();
    EXPECT_EQ(rates.history_count(), 30);
    // 100 Log Offs fill the history; the oldest slot then holds a Log Off.
    for (int i = 0; i < 80; ++i)
        rates.logged_off();
    EXPECT_EQ(rates.history_count(), QsoRates::k_history);
    rates.new_minute(); // minute 35; all of the last 100 at minute 34 or before
    EXPECT_EQ(rates.last_10(), 600);
    EXPECT_GT(rates.last_100(), 0);
}

TEST(QsoRates, BoxText) {
    QsoRates rates;
    EXPECT_EQ(rates_text(rates), "QSOs per hour\r\nLast 10 : 0\r\nLast 100: 0\r\nOverall : 0");
}

TEST(BeamHeading, ShortAndLongPathAndTheUnsetPosition) {
    // Due east along a parallel starts a little north of east; close by it is 90.
    const std::string east = beam_heading("52", "-1", 52, -0.99);
    EXPECT_EQ(east, "Short path 90\xb0  Long Path 270\xb0");
    EXPECT_EQ(beam_heading("52", "-1", 40, -1), "Short path 180\xb0  Long Path 0\xb0");
    EXPECT_EQ(beam_heading("0", "0", 40, -1), "") << "no station position";
    EXPECT_EQ(beam_heading("1", "-1", 40, 20), "") << "latitude and longitude summing to 0 count as unset";
    EXPECT_EQ(beam_heading("52", "-1", 52, -1), "") << "a country at the station's own place";
    // London to New York: the great circle leaves north of west.
    EXPECT_EQ(beam_heading("51.5", "-0.1", 40.7, -74), "Short path 288\xb0  Long Path 108\xb0");
}

TEST(NetLines, LayoutOfAStationAndAFreeLine) {
    NetEntry e;
    e.call = "G4ABC";
    e.time_on = "14:05";
    e.rst_sent = "599";
    e.rst_received = "579";
    e.comment = "Bob";
    const std::string line = net_line(3, e);
    EXPECT_EQ(line, "\xff 3 G4ABC        14:05 599     579     Bob" + std::string(37, ' '));
    EXPECT_EQ(line.substr(17, 5), "14:05") << "the time on sits at the place Edit reads it";
    EXPECT_EQ(free_line(12), "\xff"
                             "12" +
                                 std::string(100, ' '));
    EXPECT_EQ(drawn_text("\xff 1 X"), " 1 X" + std::string(20, ' '));
    EXPECT_EQ(prefilled_lines(1.0), 12);
    EXPECT_EQ(prefilled_lines(1.2), 16);
    EXPECT_EQ(prefilled_lines(1.6), 20);
}

class SquaresTest : public ::testing::Test {
  protected:
    std::string path() const { return m_dir.file("SQUARES.EDB"); }
    testing::TempDir m_dir;
};

TEST_F(SquaresTest, CheckFindsTheSquareFieldOnly) {
    EXPECT_EQ(check_square(path(), "IO91").status, SquareCheck::Status::new_line)
        << "no file: nothing worked";
    testing::write_file(path(), "JO01  :G4ABC       :01-02-26:\r\nIO92  :            :        :\r\n"
                                "IO91  :            :        :\r\nIO93  :M0XYZ       :02-02-26:\r\n");
    const SquareCheck io = check_square(path(), "IO");
    EXPECT_EQ(io.status, SquareCheck::Status::new_line) << "IO is no square of the file";
    EXPECT_EQ(io.label, "New");
    const SquareCheck io91 = check_square(path(), "IO91");
    EXPECT_EQ(io91.status, SquareCheck::Status::fill_in);
    EXPECT_EQ(io91.line_start, 62);
    EXPECT_EQ(check_square(path(), "IO93").label, "Got");
    EXPECT_EQ(check_square(path(), "JO01").status, SquareCheck::Status::got);
    EXPECT_EQ(check_square(path(), "").status, SquareCheck::Status::none);
}

TEST_F(SquaresTest, RecordFillsInAListedLineOrAddsOne) {
    testing::write_file(
        path(), "IO92  :            :        :\r\nIO91  :            :        :London:\r\nIO90\r\nJO02");
    ASSERT_TRUE(record_square(path(), check_square(path(), "IO91"), "G4ABC", "07-12-26"));
    ASSERT_TRUE(record_square(path(), check_square(path(), "IO90"), "M0AAA", "07-12-26"));
    ASSERT_TRUE(record_square(path(), check_square(path(), "JO01"), "PA0ZZ", "08-12-26"));
    EXPECT_EQ(testing::read_file(path()), "IO92  :            :        :\r\n"
                                          "IO91  :G4ABC       :07-12-26:London:\r\n"
                                          "IO90  :M0AAA       :07-12-26:\r\n"
                                          "JO02\r\nJO01  :PA0ZZ       :08-12-26:\r\n");
    EXPECT_EQ(check_square(path(), "IO91").label, "Got");
    SquareCheck got = check_square(path(), "IO91");
    ASSERT_TRUE(record_square(path(), got, "K1ZZZ", "09-12-26"));
    EXPECT_NE(testing::read_file(path()).find("IO91  :G4ABC"), std::string::npos) << "a worked square stays";
}

} // namespace
} // namespace kestrel::online
