#include "exchange/adif_writer.hpp"

#include "adif_fixture.hpp"
#include "logstore/field_codes.hpp"

namespace kestrel::exchange::testing {
namespace {

std::string entry_of(const logstore::QsoRecord& q) {
    std::string out;
    append_adif_entry(out, q);
    return out;
}

// The n-th line (0-based) of a text split at CR LF.
std::string line(const std::string& text, int n) {
    std::size_t at = 0;
    for (int i = 0; i < n; ++i)
        at = text.find("\r\n", at) + 2;
    return text.substr(at, text.find("\r\n", at) - at);
}

TEST(AdifWriter, WritesTheFourLinesOfAContact) {
    auto q = contact("05-03-01", "1432", "1440", "G9QQQ");
    q.rst_sent = "5 9";
    q.rst_received = "";
    q.power = "";
    q.comment = "  first QSO  ";
    q.qsl_flags = 2;
    const std::string text = entry_of(q);
    EXPECT_EQ(line(text, 0), "<qso_date:8>20010305   <call:5>G9QQQ  <time_on:4>1432  <time_off:4>1440");
    EXPECT_EQ(line(text, 1), "  <rst_sent:2>59  <rst_rcvd:1>0  <freq:2>14  <mode:3>SSB  <tx_pwr:1>0");
    EXPECT_EQ(line(text, 2), "  <comment:11>  first QSO");
    EXPECT_EQ(line(text, 3), "  <qsl_sent:1>N  <qsl_rcvd:1>Y  <eor>");
    EXPECT_TRUE(text.ends_with("<eor>\r\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
}

TEST(AdifWriter, EmptyCommentAndCenturies) {
    auto q = contact("01-01-30", "0000", "0005", "W1AW");
    EXPECT_EQ(line(entry_of(q), 2), "  <comment:0>");
    EXPECT_TRUE(line(entry_of(q), 0).starts_with("<qso_date:8>19300101 "));
    q.date = logstore::day_number_of("22-07-29");
    EXPECT_TRUE(line(entry_of(q), 0).starts_with("<qso_date:8>20290722 "));
    q.time_on = 32000; // no clock shows it: still four digits
    EXPECT_NE(line(entry_of(q), 0).find("<time_on:4>0000"), std::string::npos);
}

TEST(AdifWriter, FrequencyOfEveryBandStaysInThatBand) {
    const struct {
        int band;
        const char* item;
    } cases[] = {
        {0, "<freq:3>1.8"},    {1, "<freq:3>3.5"},    {2, "<freq:1>7"},     {3, "<freq:4>10.1"},
        {5, "<freq:6>18.068"}, {7, "<freq:6>24.890"}, {10, "<freq:2>70"},   {12, "<freq:3>430"},
        {13, "<freq:4>1240"},  {14, "<freq:4>2300"},  {15, "<freq:4>3400"}, {16, "<freq:4>5650"},
        {17, "<freq:5>10000"}, {18, "<freq:5>24000"}, {19, "<freq:3>5.3"},  {40, "<freq:3>5.3"},
    };
    for (const auto& c : cases) {
        auto q = contact("05-03-01", "1432", "1440", "G9QQQ");
        q.band = logstore::coded_band_field(c.band);
        EXPECT_NE(line(entry_of(q), 1).find(c.item), std::string::npos) << c.band;
    }
    auto q = contact("05-03-01", "1432", "1440", "G9QQQ");
    q.band = logstore::text_band_field("10G"); // the text form of older logs
    EXPECT_NE(line(entry_of(q), 1).find("<freq:5>10000"), std::string::npos);
}

TEST(AdifWriter, ModesAreOnesAdifKnows) {
    const struct {
        const char* stored;
        const char* items;
    } cases[] = {
        {"A1A", "  <mode:2>CW  "},
        {"J3E", "  <mode:3>SSB  "},
        {"F3E", "  <mode:2>FM  "},
        {"RTY", "  <mode:4>RTTY  "},
        {"RTT", "  <mode:4>RTTY  "},
        {"SST", "  <mode:4>SSTV  "},
        {"ft8", "  <mode:3>FT8  "},
        {"FT4", "  <mode:4>MFSK  <submode:3>FT4  "},
        {"JS8", "  <mode:4>MFSK  <submode:3>JS8  "},
        {"USB", "  <mode:3>SSB  <submode:3>USB  "},
        {"QPS", "  <mode:3>PSK  "},
        {"J2B", "  <app_kestrel_mode:3>J2B  "},
        {"", "  <tx_pwr"},
    };
    for (const auto& c : cases) {
        auto q = contact("05-03-01", "1432", "1440", "G9QQQ");
        q.mode = c.stored;
        const std::string b = line(entry_of(q), 1);
        EXPECT_NE(b.find(std::string("<freq:2>14") + c.items), std::string::npos) << c.stored << ": " << b;
    }
}

TEST(AdifWriter, HeaderNamesTheLogAndTheDay) {
    EXPECT_EQ(adif_header("MYLOG.LOG", {2024, 3, 5}),
              "ADIF export from KestLOG MYLOG.LOG\r\nDate: 03-05-2024<eoh>\r\n");
}

TEST(AdifWriter, OutputNameNeverTheLogItself) {
    EXPECT_EQ(adif_export_path("MYLOG.LOG"), "MYLOG.ADI");
    EXPECT_EQ(adif_export_path("/home/op/logs/club.log"), "/home/op/logs/club.adi");
    EXPECT_EQ(adif_export_path("/data.LOG/test.log"), "/data.ADI/test.adi");
    EXPECT_EQ(adif_export_path("club.Log"), "club.Log.ADI");
    EXPECT_EQ(adif_export_path("CONTEST"), "CONTEST.ADI");
}

TEST(AdifWriter, SkipsNotesStationDataAndCqCalls) {
    logstore::TextRecord note;
    logstore::StationDataRecord data;
    auto cq = contact("05-03-01", "1432", "1440", "CQ");
    auto cq_dx = contact("05-03-01", "1432", "1440", "CQDX");
    EXPECT_FALSE(is_exported(note.encode()));
    EXPECT_FALSE(is_exported(data.encode()));
    EXPECT_FALSE(is_exported(cq.encode()));
    EXPECT_TRUE(is_exported(cq_dx.encode()));
}

} // namespace
} // namespace kestrel::exchange::testing
