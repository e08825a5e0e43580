#include "countries/chart_report.hpp"
#include "countries/status_chart.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::countries {
namespace {

enum Band { m160 = 0, m40 = 2, m20 = 4, cm70 = 12 };
enum Mode { cw = 0, ssb = 1, fm = 2, other = 3 };
constexpr int all_bands = 13, all_modes = 4;

std::string cell(const ChartTotals& t, int row, int column) {
    return cell_text(t.worked[row][column], t.confirmed[row][column]);
}

TEST(StatusChart, OneConfirmedContactShowsInItsBandModeAndTotals) {
    StatusChart chart;
    chart.update_chart(7, m20, cw, 2);
    const ChartTotals t = tally_chart(chart, 1, 400);
    for (int b = 0; b < ChartTotals::rows; ++b) {
        for (int m = 0; m < ChartTotals::columns; ++m) {
            const bool counted = (b == m20 || b == all_bands) && (m == cw || m == all_modes);
            EXPECT_EQ(cell(t, b, m), counted ? "  1/1" : "  -/-") << b << "," << m;
        }
    }
}

TEST(StatusChart, ACountryCountsOnceInTheTotalsWhateverItsBandsAndModes) {
    StatusChart chart;
    chart.update_chart(5, m20, cw, 0);
    chart.update_chart(5, m40, ssb, 1); // QSL sent only: not confirmed
    chart.update_chart(6, m40, other, 3);
    const ChartTotals t = tally_chart(chart, 1, 400);
    EXPECT_EQ(t.worked[all_bands][all_modes], 2);
    EXPECT_EQ(t.confirmed[all_bands][all_modes], 1);
    EXPECT_EQ(t.worked[all_bands][cw], 1);
    EXPECT_EQ(t.worked[all_bands][ssb], 1);
    EXPECT_EQ(t.worked[m40][all_modes], 2);
    EXPECT_EQ(t.confirmed[m40][other], 1);
}

TEST(StatusChart, MarksAreNeverClearedAndStrayCountriesOrBandsChangeNothing) {
    StatusChart chart;
    chart.update_chart(9, cm70, fm, 2);
    chart.update_chart(9, cm70, fm, 0);
    EXPECT_TRUE(chart.confirmed(9, cm70, fm));
    const auto before = chart.bytes();
    chart.update_chart(9, 13, cw, 2); // 1.2 GHz is not charted
    chart.update_chart(401, m20, cw, 2);
    chart.update_chart(-1, m20, cw, 2);
    chart.update_chart(9, m20, 4, 2);
    EXPECT_EQ(chart.bytes(), before);
    chart.update_chart(0, m20, cw, 2); // row 0: written, never counted
    EXPECT_EQ(chart.byte(0, m20), 3);
    EXPECT_EQ(tally_chart(chart, 1, 400).worked[all_bands][all_modes], 1);
}

TEST(StatusChart, CellTexts) {
    EXPECT_EQ(cell_text(0, 0), "  -/-");
    EXPECT_EQ(cell_text(1, 0), "  1/-");
    EXPECT_EQ(cell_text(12, 3), " 12/3");
    EXPECT_EQ(cell_text(340, 301), "340/301");
}

TEST(StatusChart, TheFileHoldsCountriesOfEachBandInTurn) {
    testing::TempDir dir;
    const std::string path = dir.file("DXCC.CHT");
    StatusChart chart;
    chart.update_chart(1, m160, cw, 0);
    chart.update_chart(1, 1, ssb, 2);
    ASSERT_TRUE(save_chart(chart, path));
    const std::string bytes = testing::read_file(path);
    ASSERT_EQ(bytes.size(), 5213u);
    EXPECT_EQ(bytes[1], 1);
    EXPECT_EQ(bytes[402], 4 | 8);
    const ChartLoad back = load_chart(path);
    EXPECT_FALSE(back.wrong_length);
    EXPECT_EQ(back.chart.bytes(), chart.bytes());
}

TEST(StatusChart, AFileOfTheWrongLengthIsReadAsFarAsItGoesAndKeptWhole) {
    testing::TempDir dir;
    const std::string path = dir.file("DXCC.CHT");

    EXPECT_FALSE(load_chart(path).wrong_length);
    EXPECT_EQ(testing::read_file(path), "") << "an absent chart is created empty";

    testing::write_file(path, std::string("\x01\x03\x05", 3));
    ChartLoad short_file = load_chart(path);
    EXPECT_EQ(short_file.wrong_length, 3u);
    EXPECT_EQ(short_file.chart.byte(2, 0), 5);
    EXPECT_EQ(short_file.chart.byte(3, 0), 0);

    std::string long_bytes(5213, '\0');
    long_bytes[5212] = 7;
    long_bytes += "extra";
    testing::write_file(path, long_bytes);
    ChartLoad long_file = load_chart(path);
    EXPECT_EQ(long_file.wrong_length, 5218u);
    EXPECT_EQ(long_file.chart.byte(400, 12), 7);
    ASSERT_TRUE(save_chart(long_file.chart, path));
    EXPECT_EQ(testing::read_file(path), long_bytes) << "nothing the file held is lost";
    EXPECT_NE(wrong_length_message(3).find(" 3 bytes"), std::string::npos);
}

BandLabels labels() {
    return standard_band_labels();
}

TEST(StatusReport, CsvAndPrintLinesCarryEveryCell) {
    StatusChart chart;
    for (int c = 1; c <= 12; ++c)
        chart.update_chart(c, m20, cw, c <= 3 ? 2 : 0);
    const ChartTotals t = tally_chart(chart, 1, 400);
    const std::string csv = status_csv(t, labels());
    EXPECT_EQ(csv.substr(0, csv.find("  80 ")), "CURRENT DXCC STATUS    Countries Worked/Confirmed\r\n"
                                                "Band,CW,SSB,FM,Other,Totals\r\n"
                                                " 160 ,  -/-,  -/-,  -/-,  -/-,  -/-\r\n");
    EXPECT_NE(csv.find("\r\n  20 , 12/3,  -/-,  -/-,  -/-, 12/3\r\n"), std::string::npos);
    EXPECT_TRUE(csv.ends_with("\r\n ALL , 12/3,  -/-,  -/-,  -/-, 12/3\r\n"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 16);

    const auto lines = status_print_lines(t, labels());
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[1], labels()[0] + "     Totals");
    EXPECT_EQ(lines[6], "  20     12/3       -/-       -/-       -/-      12/3     ");
    EXPECT_EQ(lines[15].substr(0, 8), " ALL    ");
}

} // namespace
} // namespace kestrel::countries
