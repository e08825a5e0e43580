#include "exchange/adif_writer.hpp"

#include "adif_fixture.hpp"
#include "logstore/field_codes.hpp"

#include <algorithm>

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
    // What would not come back as stored (an inner blank, an empty report or power) is kept beside.
    EXPECT_EQ(line(text, 1),
              "  <rst_sent:2>59  <app_kestrel_rst_sent:3>5 9  <rst_rcvd:1>0  <app_kestrel_rst_rcvd:0>"
              "  <freq:2>14  <mode:3>SSB  <app_kestrel_tx_pwr:0>");
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
        {"A1A", "  <mode:2>CW  <app_kestrel_mode:3>A1A  <tx_pwr"},
        {"J3E", "  <mode:3>SSB  <app_kestrel_mode:3>J3E  <tx_pwr"},
        {"F3E", "  <mode:2>FM  <app_kestrel_mode:3>F3E  <tx_pwr"},
        {"RTY", "  <mode:4>RTTY  <tx_pwr"},
        {"RTT", "  <mode:4>RTTY  <app_kestrel_mode:3>RTT  <tx_pwr"},
        {"SST", "  <mode:4>SSTV  <tx_pwr"},
        {"ft8", "  <mode:3>FT8  <app_kestrel_mode:3>ft8  <tx_pwr"},
        {"FT4", "  <mode:4>MFSK  <submode:3>FT4  <tx_pwr"},
        {"JS8", "  <mode:4>MFSK  <submode:3>JS8  <tx_pwr"},
        {"OFD", "  <mode:4>OFDM  <tx_pwr"},
        {"USB", "  <mode:3>SSB  <submode:3>USB  <app_kestrel_mode:3>USB  <tx_pwr"},
        {"QPS", "  <mode:3>PSK  <app_kestrel_mode:3>QPS  <tx_pwr"},
        {"J2B", "  <mode:3>PSK  <app_kestrel_mode:3>J2B  <tx_pwr"},
        {"DG", "  <mode:3>PSK  <app_kestrel_mode:2>DG  <tx_pwr"},
        {"CQC", "  <mode:3>PSK  <app_kestrel_mode:3>CQC  <tx_pwr"},
        {"", "  <mode:3>PSK  <app_kestrel_mode:0>  <tx_pwr"},
    };
    for (const auto& c : cases) {
        auto q = contact("05-03-01", "1432", "1440", "G9QQQ");
        q.power = "100";
        q.mode = c.stored;
        const std::string b = line(entry_of(q), 1);
        EXPECT_NE(b.find(std::string("<freq:2>14") + c.items), std::string::npos) << c.stored << ": " << b;
    }
}

// Power goes out as a number of watts, or not at all; its stored text beside it when it differs.
TEST(AdifWriter, PowerIsANumberOfWatts) {
    const struct {
        const char* stored;
        const char* items;
    } cases[] = {
        {"100", "  <tx_pwr:3>100\r\n"},
        {"5", "  <tx_pwr:1>5\r\n"},
        {"100W", "  <tx_pwr:3>100  <app_kestrel_tx_pwr:4>100W\r\n"},
        {"1 kW", "  <tx_pwr:4>1000  <app_kestrel_tx_pwr:4>1 kW\r\n"},
        {"1,5kW", "  <tx_pwr:4>1500  <app_kestrel_tx_pwr:5>1,5kW\r\n"},
        {"500mW", "  <tx_pwr:3>0.5  <app_kestrel_tx_pwr:5>500mW\r\n"},
        {"  50", "  <tx_pwr:2>50  <app_kestrel_tx_pwr:4>  50\r\n"},
        {"QRP", "  <mode:3>SSB  <app_kestrel_tx_pwr:3>QRP\r\n"},
        {"", "  <mode:3>SSB  <app_kestrel_tx_pwr:0>\r\n"},
    };
    for (const auto& c : cases) {
        auto q = contact("05-03-01", "1432", "1440", "G9QQQ");
        q.power = c.stored;
        const std::string text = entry_of(q);
        EXPECT_NE(text.find(c.items), std::string::npos) << '"' << c.stored << "\": " << line(text, 1);
    }
}

// Texts go out in ASCII; the exact Windows-1252 text follows in our own field, escaped so that the
// whole file stays ASCII.
TEST(AdifWriter, TextsAreAsciiWithTheExactTextBeside) {
    auto q = contact("05-03-01", "1432", "1440",
                     "DL\xC4"
                     "BC");
    q.comment = "Gr\xFC\xDF aus K\xF6ln, 5\x80 100%";
    q.rst_received = "5\xB0";
    const std::string text = entry_of(q);
    EXPECT_NE(line(text, 0).find("  <call:5>DLABC  <app_kestrel_call:7>DL%C4BC  "), std::string::npos);
    EXPECT_NE(line(text, 1).find("  <rst_rcvd:4>5deg  <app_kestrel_rst_rcvd:4>5%B0  "), std::string::npos);
    EXPECT_EQ(line(text, 2), "  <comment:25>Gruss aus Koln, 5EUR 100%  <app_kestrel_comment:32>"
                             "Gr%FC%DF aus K%F6ln, 5%80 100%25");
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c > 0; }));

    q.comment = "plain text (not changed)  ";
    EXPECT_EQ(line(entry_of(q), 2), "  <comment:24>plain text (not changed)");
}

TEST(AdifWriter, HeaderNamesTheLogTheDayAndTheEncodingOfOurFields) {
    EXPECT_EQ(
        adif_header("MYLOG.LOG", {2024, 3, 5}),
        "ADIF export from KestLOG MYLOG.LOG\r\nDate: 03-05-2024  <adif_ver:5>3.1.7  <programid:7>Kestrel"
        "  <app_kestrel_encoding:17>Windows-1252, %XX<eoh>\r\n");
    // A path is free text of the header: ASCII, and nothing a reader could take for a field.
    EXPECT_TRUE(adif_header("/home/J\xC3\xBCrgen/a<eoh>b.log", {2024, 3, 5})
                    .starts_with("ADIF export from KestLOG /home/Jurgen/a(eoh>b.log\r\n"));
}

TEST(AdifWriter, OutputNameNeverTheLogItself) {
    EXPECT_EQ(adif_export_path("MYLOG.LOG"), "MYLOG.ADI");
    EXPECT_EQ(adif_export_path("/home/op/logs/club.log"), "/home/op/logs/club.adi");
    EXPECT_EQ(adif_export_path("/data.LOG/test.log"), "/data.LOG/test.adi");
    EXPECT_EQ(adif_export_path("radio.log/contest.log"), "radio.log/contest.adi");
    EXPECT_EQ(adif_export_path("radio.log/contest"), "radio.log/contest.ADI");
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

// The export to a file is made and written a block at a time: the file holds what the whole text
// would, and a file that cannot be written is told as such, with any old one left as it was.
TEST(AdifWriter, TheFileIsTheWholeTextWrittenAsItIsMade) {
    kestrel::testing::TempDir dir;
    std::vector<logstore::QsoRecord> contacts;
    for (int i = 0; i < 12000; ++i) { // some 3 MB of text: several blocks
        auto q = contact(i % 2 ? "05-03-24" : "31-02-24", "1432", "1440", "G" + std::to_string(i));
        q.comment = i % 3 ? "Jos\xE9 " + std::to_string(i) : "";
        contacts.push_back(q);
    }
    kestrel::testing::write_file(dir.file("BIG.LOG"), bytes_of(contacts));
    logstore::LogStore log;
    ASSERT_TRUE(log.open_log(dir.file("BIG.LOG")));
    const auto text = adif_text_of_log(log, {2024, 6, 1});
    ASSERT_TRUE(text);
    int told = 0;
    const auto made = export_adif_file(log, dir.file("BIG.ADI"), {2024, 6, 1}, [&told](int) { ++told; });
    ASSERT_TRUE(made);
    EXPECT_EQ(made->entries, 6000);
    EXPECT_EQ(made->without_date, 6000);
    EXPECT_EQ(told, 2) << "after each block of records read";
    EXPECT_EQ(kestrel::testing::read_file(dir.file("BIG.ADI")) == text->text, true);

    const auto nowhere = export_adif_file(log, dir.file("NO/SUCH/DIR.ADI"), {2024, 6, 1});
    ASSERT_FALSE(nowhere);
    EXPECT_FALSE(nowhere.error().reading) << "a file not written, not a log not read";
}

} // namespace
} // namespace kestrel::exchange::testing
