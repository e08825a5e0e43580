#include "exchange/adif_records.hpp"

#include "common/fixed_text.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>
#include <vector>

namespace kestrel::exchange {
namespace {

using logstore::QsoRecord;

std::vector<QsoRecord> contacts_of(const ImportedLog& log) {
    std::vector<QsoRecord> out;
    for (std::size_t at = 0; at < log.records.size(); at += logstore::k_record_size) {
        logstore::RecordBytes r;
        std::copy_n(reinterpret_cast<const std::uint8_t*>(log.records.data()) + at, r.size(), r.begin());
        out.push_back(QsoRecord::decode(r));
    }
    return out;
}

std::vector<QsoRecord> import(std::string_view file, ImportOptions options = {}) {
    return contacts_of(import_adif_text(file, options));
}

std::string trimmed(const std::string& text) {
    return std::string(trim_trailing_spaces(text));
}

TEST(AdifRecords, ReadsTheFieldsOfAContact) {
    const auto q = import("<QSO_DATE:8:D>20240305<time_on:6>143215<time_off:4>1440<call:6>dl1abc"
                          "<rst_rcvd:3>579<rst_sent:9>599 and a half<freq:6>14.025<mode:2>CW<tx_pwr:3>100"
                          "<qsl_rcvd:1>y<qsl_sent:1>N<eor>");
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(logstore::date_text_of(q[0].date), "05-03-24");
    EXPECT_EQ(q[0].time_on, 14 * 60 + 32);
    EXPECT_EQ(q[0].time_off, 14 * 60 + 40);
    EXPECT_EQ(trimmed(q[0].call), "DL1ABC");
    EXPECT_EQ(q[0].rst_received, "579    ");
    EXPECT_EQ(q[0].rst_sent, "599 and");
    EXPECT_EQ(q[0].band, logstore::coded_band_field(4));
    EXPECT_EQ(q[0].mode, "CW ");
    EXPECT_EQ(q[0].power, "100  ");
    EXPECT_EQ(q[0].qsl_flags, '0' + 2);
}

TEST(AdifRecords, DatesOfBothCenturiesAndLooseForms) {
    const struct {
        const char* value;
        const char* date;
    } cases[] = {{"19300101", "01-01-30"},
                 {"20290722", "22-07-29"},
                 {"19991231", "31-12-99"},
                 {"2024-03-05", "05-03-24"},
                 {"2024", "00-00-24"}};
    for (const auto& c : cases) {
        const auto q = import(std::string("<call:2>K1<qso_date:") + std::to_string(std::strlen(c.value)) +
                              ">" + c.value + "<eor>");
        ASSERT_EQ(q.size(), 1u);
        EXPECT_EQ(logstore::date_text_of(q[0].date), c.date) << c.value;
    }
}

TEST(AdifRecords, DatesTheLogCannotHoldAreLeftOutAndCounted) {
    const ImportedLog log = import_adif_text("<call:2>K1<qso_date:8>19291231<eor>"
                                             "<call:2>K2<qso_date:8>20290723<eor>"
                                             "<call:2>K3<qso_date:8>20290722<eor>"
                                             "<call:2>K4<qso_date:8>19250704<eor>",
                                             {});
    const auto q = contacts_of(log);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(trimmed(q[0].call), "K3");
    EXPECT_EQ(log.outside_dates, 3) << "1925 must not come back as 2025";
}

TEST(AdifRecords, PowerCarriesOnButNothingElseDoes) {
    const auto q = import("<call:2>K1<tx_pwr:3>100<comment:5>first<qsl_rcvd:1>Y<eor>"
                          "<time_on:4>0930<eor>" // no call: left out, forgotten
                          "<call:2>K2<eor>"
                          "<call:2>K3<tx_pwr:1>5<eor>",
                          {"10", ""});
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[1].power, "100  ");
    EXPECT_EQ(q[2].power, "5    ");
    EXPECT_EQ(trimmed(q[1].comment), "");
    EXPECT_EQ(q[1].qsl_flags, '0');
    EXPECT_EQ(q[1].time_on, 0);
    EXPECT_EQ(import_adif_text("<call:2>K1<eor><eor><eor>", {}).without_call, 2);
    EXPECT_EQ(import("<call:2>K1<eor>", {"50", ""})[0].power, "50   ") << "the dialog's power first";
}

TEST(AdifRecords, HeaderFieldsStayInTheHeader) {
    const auto q = import("<comment:6>header<qsl_sent:1>Y<eoh><call:2>K1<eor>");
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(trimmed(q[0].comment), "");
    EXPECT_EQ(q[0].qsl_flags, '0');
}

TEST(AdifRecords, CommentGathersNotesUpToFortyThenTheExtraText) {
    const auto q =
        import("<call:2>K1<comment:30>123456789012345678901234567890<name:20>abcdefghijklmnopqrst<eor>"
               "<call:2>K2<name:4>John<qth:6>Boston<notes:10>two\r\nlines<iota:6>EU-005<eor>",
               {"", " via ADIF"});
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].comment, "123456789012345678901234567890abcdefghij");
    EXPECT_EQ(trimmed(q[1].comment), "JohnBostontwo  linesEU-005 via ADIF");
}

TEST(AdifRecords, TimeOffDefaultsToTimeOnOnlyWhenAbsent) {
    const auto q = import("<call:2>K1<time_on:4>1432<eor><call:2>K2<time_on:4>2358<time_off:4>0000<eor>");
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].time_off, q[0].time_on);
    EXPECT_EQ(q[1].time_off, 0);
}

TEST(AdifRecords, ModeAndBandOfEveryShape) {
    const struct {
        const char* fields;
        const char* mode;
        int band;
    } cases[] = {
        {"<mode:3>FT8<band:3>20m<freq:9>14.074123", "FT8", 4},
        {"<mode:4>MFSK<submode:3>FT4<freq:8>7.047500", "FT4", 2},
        {"<mode:3>SSB<submode:3>USB<band:2>2m", "SSB", 11},
        {"<mode:4>RTTY<freq:6>1296.2", "RTT", 13},
        {"<mode:4>ssTV<band:4>70CM", "ssT", 12},
        {"<app_kestrel_mode:3>J2B<freq:1>7", "J2B", 2},
        {"<mode:2>CW<app_kestrel_mode:3>J2B", "CW ", 19},
        {"<band:3>17m", "   ", 5},
    };
    for (const auto& c : cases) {
        const auto q = import(std::string("<call:2>K1") + c.fields + "<eor>");
        ASSERT_EQ(q.size(), 1u) << c.fields;
        EXPECT_EQ(q[0].mode, c.mode) << c.fields;
        EXPECT_EQ(q[0].band, logstore::coded_band_field(c.band)) << c.fields;
    }
}

TEST(AdifRecords, TellsProgressUpToTheEnd) {
    std::string file;
    for (int i = 0; i < 3000; ++i)
        file += "<call:4>K1AB<freq:2>14<eor>\r\n";
    std::vector<std::size_t> heard;
    const auto log = import_adif_text(file, {}, [&](std::size_t done) { heard.push_back(done); });
    EXPECT_EQ(log.entries, 3000);
    ASSERT_GE(heard.size(), 2u);
    EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
    EXPECT_EQ(heard.back(), file.size());
}

// Damage of every kind to a file of three records: the import ends, and never makes a contact
// without a record end of its own in the text.
TEST(AdifRecords, DamagedFilesNeverMakeContactsFromNothing) {
    const std::string good = "Log<eoh>\n<call:5>K1ABC <qso_date:8>20240305 <time_on:6>143215 <freq:6>14.074 "
                             "<name:7>J\xC3\xBCrgen <comment:3>tnx <tx_pwr:3>100 <qsl_rcvd:1>Y <eor>\n"
                             "<CALL:4>W1AW<QSO_DATE:8:D>20240306<MODE:4>MFSK<SUBMODE:3>FT4<BAND:3>40m<EOR>\n"
                             "<call:6>G9QQQ/P<rst_sent:3>599<notes:12>two\r\nlines<eor>\n";
    const std::string pieces[] = {"<",    ">",        ":", "99999999", "<eor>", "\xC3",
                                  "\xBC", "<call:3>", " ", "\r\n",     "0"};
    std::mt19937 random(4711);
    for (int round = 0; round < 2000; ++round) {
        std::string file = good;
        for (int damage = 1 + round % 5; damage > 0; --damage) {
            const std::size_t at = random() % (file.size() + 1);
            if (random() % 2)
                file.insert(at, pieces[random() % std::size(pieces)]);
            else
                file.erase(at, random() % 12);
        }
        std::size_t ends = 0;
        const std::string lower = [&] {
            std::string l = file;
            for (char& c : l)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return l;
        }();
        // "<eor" opens every record end, with or without a length after it.
        for (std::size_t at = lower.find("<eor"); at != std::string::npos; at = lower.find("<eor", at + 1))
            ++ends;
        const std::vector<char> bytes(file.begin(), file.end());
        const ImportedLog log = import_adif_text(std::string_view(bytes.data(), bytes.size()), {});
        ASSERT_LE(static_cast<std::size_t>(log.entries + log.without_call), ends) << file;
        ASSERT_EQ(log.records.size(), static_cast<std::size_t>(log.entries) * logstore::k_record_size);
    }
    EXPECT_EQ(import_adif_text(good, {}).entries, 3);
}

} // namespace
} // namespace kestrel::exchange
