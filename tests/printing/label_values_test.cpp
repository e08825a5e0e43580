#include "printing/label_values.hpp"

#include "countries/chart_grid.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "printing/qsl_queue.hpp"

#include <gtest/gtest.h>

namespace kestrel::printing {
namespace {

TEST(LabelValues, DatesWithTheMonthByName) {
    const struct {
        const char* date;
        const char* label;
    } cases[] = {{"01-01-09", "01 Jan 09"}, {"29-02-24", "29 Feb 24"}, {"31-12-99", "31 Dec 99"},
                 {"15-06-30", "15 Jun 30"}, {"22-07-29", "22 Jul 29"}, {"31-01-61", "31 Jan 61"}};
    for (const auto& c : cases) {
        EXPECT_EQ(month_date_text(logstore::day_number_of(c.date)), c.label) << c.date;
        EXPECT_EQ(month_date_of_typed(c.date, 2052), c.label) << c.date;
    }
    EXPECT_EQ(month_date_of_typed("1/2/99", 2026), "01 Feb 99");
    EXPECT_EQ(month_date_of_typed("1/2/1935", 2026), "01 Feb 35");
    EXPECT_EQ(month_date_of_typed("320199", 2026), "320199") << "no date: as typed";
    EXPECT_EQ(month_date_of_typed("", 2026), "");
}

TEST(LabelValues, EveryBandHasItsOwnLengthInMetres) {
    const char* const expected[] = {"160m", " 80m", " 40m", " 30m", " 20m",  " 17m", " 15m",
                                    " 12m", " 10m", "  6m", "  4m", "  2m",  "70cm", "23cm",
                                    "13cm", " 9cm", " 6cm", " 3cm", "1.2cm", " 60m"};
    for (int band = 0; band < 20; ++band)
        EXPECT_EQ(band_in_metres(band), expected[band]) << band;
    // The HF and VHF bands are those of the status chart's rows.
    const countries::BandLabels rows = countries::standard_band_labels();
    for (int band = 0; band < 12; ++band)
        EXPECT_EQ(band_in_metres(band), rows[static_cast<std::size_t>(band + 1)].substr(1, 3) + "m") << band;
    EXPECT_EQ(band_in_metres(20), "    ");
    EXPECT_EQ(band_in_metres(-1), "    ");
}

TEST(LabelValues, ACommentNamingAManagerSendsTheCardViaHim) {
    const struct {
        const char* comment;
        const char* label;
    } cases[] = {
        {"QSL VIA G9QQQ PSE", "DL1AB via G9QQQ"},
        {"qsl via g9qqq", "DL1AB via g9qqq"},
        {"VIA EA5XX", "DL1AB via EA5XX"},
        {"QSL VIA  W1AW", "DL1AB via W1AW"},
        {"OLIVIA 8/500", "DL1AB"}, // a mode, not a manager
        {"QSL VIA", "DL1AB"},
        {"VIA ", "DL1AB"},
        {"nice signal", "DL1AB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(call_with_manager("DL1AB       ", c.comment), c.label) << c.comment;
}

TEST(LabelValues, AStationSharesOneMultiLabelWhateverItsSuffix) {
    EXPECT_EQ(label_station("G9QQQ"), "G9QQQ");
    EXPECT_EQ(label_station("G9QQQ/P"), "G9QQQ");
    EXPECT_EQ(label_station("G9QQQ/M"), "G9QQQ");
    EXPECT_EQ(label_station("G9QQQ/MM"), "G9QQQ");
    EXPECT_EQ(label_station("G9QQQ/A"), "G9QQQ/A");
    EXPECT_EQ(label_station("DL1AB via G9QQQ"), "DL1ABviaG9QQQ");
}

TEST(LabelValues, AContactsLabelHasItsFieldsAtTheirWidthsAndTheStationOfItsBand) {
    logstore::QsoRecord c;
    c.date = logstore::day_number_of("07-03-24");
    c.time_on = 1439;
    c.call = "JA1XYZ";
    c.rst_sent = "599";
    c.mode = "CW";
    c.power = "5W";
    c.band = logstore::coded_band_field(13);
    c.comment = "QSL VIA JA1QSL";
    c.qsl_flags = 2;
    const logstore::BandNameTable names = logstore::load_band_names();
    const LabelValues v = contact_label(c, {"ANN         ", "FT-817      ", "Dish        "}, names);
    EXPECT_EQ(v.call, "JA1XYZ via JA1QSL");
    EXPECT_EQ(v.date, "07 Mar 24");
    EXPECT_EQ(v.time, "23:59");
    EXPECT_EQ(v.rst_sent, "599    ");
    EXPECT_EQ(v.mode, "CW ");
    EXPECT_EQ(v.power, "5W   ");
    EXPECT_EQ(v.band_name, "1.2GHz");
    EXPECT_EQ(v.band_metres, "23cm");
    EXPECT_EQ(v.request, "Thanks for your QSL");
    EXPECT_EQ(v.operator_name, "ANN");
    EXPECT_EQ(v.transceiver, "FT-817");
    EXPECT_EQ(v.antenna, "Dish");
    c.qsl_flags = 1;
    EXPECT_EQ(contact_label(c, {}, names).request, "Please QSL via Bureau or Direct");
}

TEST(QslKeys, HomeCallsSortByNumberAndSuffixForTheBureau) {
    const std::string date = "50036"; // 01-01-00
    const struct {
        const char* call;
        const char* home;
        const char* foreign;
    } cases[] = {
        {"G4AAA       ", "4AAAG", "G4AAA"},   {"GW4ABC      ", "4ABCGW", "GW4ABC"},
        {"2E0AAA      ", "2E0AAA", "2E0AAA"}, {"M0XYZ       ", "0XYZM", "M0XYZ"},
        {"G4AAA/P     ", "4AAAG", "G4AAA"},   {"G4AAA/MM    ", "4AAAG", "G4AAA"},
        {"G4AAA/M     ", "4AAAG", "G4AAA"},   {"GB2 XYZ     ", "2XYZGB", "GB2XYZ"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(home_key(c.call, logstore::day_number_of("01-01-00")), c.home + date) << c.call;
        EXPECT_EQ(foreign_key(c.call, logstore::day_number_of("01-01-00")), c.foreign + date) << c.call;
    }
    EXPECT_LT(home_key("G4AAA", logstore::day_number_of("31-12-99")),
              home_key("G4AAA", logstore::day_number_of("01-01-00")));
}

} // namespace
} // namespace kestrel::printing
