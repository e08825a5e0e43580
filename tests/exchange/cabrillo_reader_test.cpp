#include "exchange/cabrillo_reader.hpp"

#include "common/fixed_text.hpp"
#include "logstore/dates.hpp"

#include <gtest/gtest.h>

#include <random>

namespace kestrel::exchange {
namespace {

// The columns of the common Cabrillo template: their call from 56, reports at 45 and 70.
CabrilloLayout standard_layout() {
    CabrilloLayout layout;
    layout.call = {56, 13, {}};
    layout.rst_sent = {45, 3, {}};
    layout.rst_received = {70, 3, {}};
    return layout;
}

std::string line_with(std::string_view frequency, std::string_view mode, std::string_view date = "2001-03-05",
                      std::string_view time = "1432") {
    return "QSO: " + std::string(frequency) + " " + std::string(mode) + " " + std::string(date) + " " +
           std::string(time) + " G4ABC         599 14     K1ABC         579 05     0";
}

TEST(CabrilloQsoLine, SharedColumnsGiveDateTimeBandAndMode) {
    const EntryConstants constants{"100W", "CQ WW"};
    const auto q = qso_of_line(line_with("14025", "CW"), standard_layout(), constants);
    ASSERT_TRUE(q);
    EXPECT_EQ(logstore::date_text_of(q->date), "05-03-01");
    EXPECT_EQ(q->time_on, 14 * 60 + 32);
    EXPECT_EQ(q->time_off, q->time_on);
    EXPECT_EQ(q->band, logstore::coded_band_field(4));
    EXPECT_EQ(q->mode, "CW");
    EXPECT_EQ(trim_trailing_spaces(q->call), "K1ABC");
    EXPECT_EQ(trim_trailing_spaces(q->rst_sent), "599");
    EXPECT_EQ(trim_trailing_spaces(q->rst_received), "579");
    EXPECT_EQ(q->power, "100W");
    EXPECT_EQ(q->comment, "CQ WW");
    EXPECT_EQ(q->qsl_flags, '0');

    // Stored at their widths: the 13 call columns are cut to 12.
    const logstore::QsoRecord back = logstore::QsoRecord::decode(q->encode());
    EXPECT_EQ(back.call, "K1ABC       ");
    EXPECT_EQ(back.rst_sent, "599    ");
}

TEST(CabrilloQsoLine, FrequencyColumnsGiveTheBand) {
    const struct {
        const char* columns;
        const char* megahertz;
        int band;
    } cases[] = {
        {"14025", " 14.025", 4},
        {" 1825", " 1.825", 0},
        {" 3799", " 3.799", 1},
        {" 7025", " 7.025", 2},
        {" 5357", " 5.357", 19},
        {"28450", " 28.45", 8},
        {"   50", "   50", 9},
        {"  144", "  144", 11},
        {" 1.2G", " 1200", 13},
        {"  10G", "  10G", 17},
        {"  24G", "  24G", 18},
        {" 5.7G", " 5700", 16},
        // Bands the log has no place for: the line is left out, not put on a neighbouring band.
        {"LIGHT", " 0", -1},
        {"     ", " 0", -1},
        {"  222", "  222", -1},
        {"  902", "  902", -1},
        {"  47G", "  47G", -1},
        {"40670", " 40.67", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.columns);
        EXPECT_EQ(megahertz_text(c.columns), c.megahertz);
        const QsoLine read = read_qso_line(line_with(c.columns, "CW"), standard_layout(), {});
        if (c.band < 0) {
            EXPECT_FALSE(read.entry);
            EXPECT_EQ(read.why, LeftOut::band);
            continue;
        }
        ASSERT_TRUE(read.entry);
        EXPECT_EQ(read.entry->band, logstore::coded_band_field(c.band));
    }
}

TEST(CabrilloQsoLine, ModesAreStoredInTheLogsOwnWords) {
    const struct {
        const char* code;
        const char* mode;
    } cases[] = {{"PH", "SSB"}, {"RY", "RTY"}, {"CW", "CW"}, {"FM", "FM"}, {"DG", "DG"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const auto q = qso_of_line(line_with("14025", c.code), standard_layout(), {});
        ASSERT_TRUE(q);
        EXPECT_EQ(q->mode, c.mode);
    }
}

TEST(CabrilloQsoLine, FixedReportsServeLayoutsWithoutReportColumns) {
    CabrilloLayout layout = standard_layout();
    layout.rst_sent = {0, 0, "599"};
    layout.rst_received = {0, 0, "59"};
    const auto q = qso_of_line(line_with("14025", "CW"), layout, {});
    ASSERT_TRUE(q);
    EXPECT_EQ(q->rst_sent, "599");
    EXPECT_EQ(q->rst_received, "59");
}

TEST(CabrilloQsoLine, LinesWithoutADateAndTimeTheLogCanKeepAreLeftOut) {
    const std::string good = line_with("14025", "CW");
    const struct {
        std::string line;
        LeftOut why;
        const char* what;
    } cases[] = {
        {good.substr(0, 28), LeftOut::unreadable, "cut off inside the time"},
        {good.substr(0, 29), LeftOut::unreadable, "cut off after the time: no call, no contact"},
        {"QSO:", LeftOut::unreadable, "nothing after the tag"},
        {line_with("14025", "CW", "2001-13-05"), LeftOut::date, "month 13"},
        {line_with("14025", "CW", "2001-03-00"), LeftOut::date, "day 0"},
        {line_with("14025", "CW", "2001-02-29"), LeftOut::date, "no leap year"},
        {line_with("14025", "CW", "1929-12-31"), LeftOut::date, "before 1930"},
        {line_with("14025", "CW", "2061-02-01"), LeftOut::date, "after the last day number"},
        {line_with("14025", "CW", "01-03-05  "), LeftOut::unreadable, "not yyyy-mm-dd"},
        {line_with("14025", "CW", "2001-03-05", "2400"), LeftOut::time, "hour 24"},
        {line_with("14025", "CW", "2001-03-05", "1260"), LeftOut::time, "minute 60"},
        {line_with("14025", "CW", "2001-03-05", "9:30"), LeftOut::unreadable, "not hhmm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QsoLine read = read_qso_line(c.line, standard_layout(), {});
        EXPECT_FALSE(read.entry);
        EXPECT_EQ(read.why, c.why);
    }
    const auto last = qso_of_line(line_with("14025", "CW", "2061-01-31", "2359"), standard_layout(), {});
    ASSERT_TRUE(last);
    EXPECT_EQ(last->date, logstore::k_last_day_number);
    EXPECT_EQ(last->time_on, 1439);
    const QsoLine past = read_qso_line(line_with("14025", "CW", "2061-02-01", "2359"), standard_layout(), {});
    EXPECT_FALSE(past.entry);
    EXPECT_EQ(past.why, LeftOut::date);
}

// Fields parted by single blanks are read in the layout's order, whatever columns they fall in:
// the worked call is the first call sign after our exchange, however many fields that holds.
TEST(CabrilloQsoLine, FieldsOutOfTheirColumnsAreReadInTheLayoutsOrder) {
    CabrilloLayout fixed = standard_layout();
    fixed.rst_sent = {0, 0, "599"};
    fixed.rst_received = {0, 0, "599"};
    const struct {
        std::string line;
        CabrilloLayout layout;
        const char* call;
        const char* sent;
        const char* received;
    } cases[] = {
        {"QSO: 1953 PH 2016-11-12 2100 GX3RCV 59 001 GX4RFR 57 002", standard_layout(), "GX4RFR", "59", "57"},
        {"QSO: 28000 CW 2002-07-27 1602 G3XTT 599 0003 EU-005 M6T 599 0451 EU-005", standard_layout(), "M6T",
         "599", "599"},
        {"QSO: 21042 CW 1997-11-01 2102 N5KO 3 B 74 STX K9ZO/7 2 A 69 IL", fixed, "K9ZO/7", "599", "599"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto q = qso_of_line(c.line, c.layout, {});
        ASSERT_TRUE(q);
        EXPECT_EQ(q->call, c.call);
        EXPECT_EQ(q->rst_sent, c.sent);
        EXPECT_EQ(q->rst_received, c.received);
    }
    EXPECT_TRUE(looks_like_call("K9ZO/7"));
    for (const char* not_a_call : {"599", "EU-005", "STX", "A1", "/P1X", "0003", ""})
        EXPECT_FALSE(looks_like_call(not_a_call)) << not_a_call;
}

TEST(CabrilloLineKinds, OnlyContestAndQsoLinesCount) {
    EXPECT_EQ(kind_of_line("CONTEST: CQ-WW-CW"), CabrilloLine::contest);
    EXPECT_EQ(kind_of_line("QSO: 14025 CW"), CabrilloLine::qso);
    EXPECT_EQ(kind_of_line("X-QSO: 14025 CW"), CabrilloLine::other);
    EXPECT_EQ(kind_of_line("CONTEST CQ-WW-CW"), CabrilloLine::other);
    EXPECT_EQ(kind_of_line(" QSO: 14025"), CabrilloLine::other);
    EXPECT_EQ(kind_of_line(""), CabrilloLine::other);
    EXPECT_EQ(contest_name_of("CONTEST:   CQ-WW-SSB  \t"), "CQ-WW-SSB");
    EXPECT_EQ(contest_name_of("CONTEST:"), "");
}

std::vector<std::string> split(const std::vector<std::string>& pieces) {
    LineSplitter splitter;
    std::vector<std::string> lines;
    const auto take = [&lines](std::string_view line) { lines.emplace_back(line); };
    for (const auto& piece : pieces)
        splitter.feed(piece, take);
    splitter.finish(take);
    return lines;
}

TEST(CabrilloLineSplitter, LinesEndAtCrLfOrBothWhereverThePiecesBreak) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(split({"A\r\nB\nC\rD"}), (Lines{"A", "B", "C", "D"}));
    EXPECT_EQ(split({"A\r", "\nB\r\n"}), (Lines{"A", "B"}));
    EXPECT_EQ(split({"A\r\r\nB"}), (Lines{"A", "", "B"}));
    EXPECT_EQ(split({"\n\n"}), (Lines{"", ""}));
    EXPECT_EQ(split({""}), Lines{});
    const auto long_line = split({std::string(100000, 'Q'), "\nNEXT"});
    ASSERT_EQ(long_line.size(), 2u);
    EXPECT_EQ(long_line[0].size(), LineSplitter::k_kept_bytes);
    EXPECT_EQ(long_line[1], "NEXT");
}

// Whatever bytes a QSO line holds and wherever a layout points, an entry comes out whole: a date
// and time the log can keep, a band it knows, and a call sign that is a piece of the line.
void check_entry_is_sound(const std::string& line, const CabrilloLayout& layout) {
    const auto q = qso_of_line(line, layout, {"100", "X"});
    if (!q) return;
    EXPECT_GE(q->date, logstore::day_number_of("01-01-30"));
    EXPECT_GE(q->time_on, 0);
    EXPECT_LE(q->time_on, 1439);
    EXPECT_EQ(q->band[0], 0);
    EXPECT_LE(q->band[2], 19);
    EXPECT_LE(q->mode.size(), 3u);
    EXPECT_TRUE(looks_like_call(q->call)) << q->call;
    EXPECT_NE(line.find(q->call), std::string::npos);
}

TEST(CabrilloQsoLine, HostileLinesNeverReadOutsideTheLine) {
    std::mt19937 random(20240525);
    const std::string good = line_with("14025", "CW");
    const auto byte = [&random] { return static_cast<char>(random() % 256); };
    for (int round = 0; round < 20000; ++round) {
        CabrilloLayout layout;
        const int pick = static_cast<int>(random() % 4);
        const auto any = [&random] { return static_cast<int>(random() % 200) - 20; };
        layout.call = {any(), any(), "FIX"};
        layout.rst_sent = {pick == 0 ? 0 : any(), any(), "599"};
        layout.rst_received = {any(), pick == 1 ? INT32_MAX : any(), {}};
        std::string line;
        switch (round % 3) {
        case 0: line = good.substr(0, random() % (good.size() + 1)); break; // cut anywhere
        case 1: {                                                           // a few bytes changed
            line = good;
            for (int k = 0; k < 3; ++k)
                line[random() % line.size()] = byte();
            break;
        }
        default: { // noise after the tag
            line = "QSO:";
            for (std::size_t k = random() % 120; k > 0; --k)
                line += byte();
        }
        }
        check_entry_is_sound(line, layout);
    }
}

} // namespace
} // namespace kestrel::exchange
