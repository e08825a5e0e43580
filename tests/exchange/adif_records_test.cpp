#include "exchange/adif_import_text.hpp"
#include "exchange/adif_records.hpp"

#include "common/fixed_text.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
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
    } cases[] = {{"19300101", "01-01-30"},  {"20290722", "22-07-29"}, {"20290723", "23-07-29"},
                 {"20610131", "31-01-61"},  {"19991231", "31-12-99"}, {"20240229", "29-02-24"},
                 {"2024-03-05", "05-03-24"}};
    for (const auto& c : cases) {
        const auto q = import(std::string("<call:2>K1<time_on:4>1200<freq:2>14<qso_date:") +
                              std::to_string(std::strlen(c.value)) + ">" + c.value + "<eor>");
        ASSERT_EQ(q.size(), 1u);
        EXPECT_EQ(logstore::date_text_of(q[0].date), c.date) << c.value;
    }
}

TEST(AdifRecords, DatesAndTimesAreReadFromTheirDigits) {
    const struct {
        const char* value;
        std::optional<int> minute;
    } times[] = {{"1432", 14 * 60 + 32},
                 {"143259", 14 * 60 + 32},
                 {"14:32", 14 * 60 + 32},
                 {" 0000 ", 0},
                 {"2359", 23 * 60 + 59},
                 {"143260", {}},
                 {"2400", {}},
                 {"1260", {}},
                 {"143", {}},
                 {"14325", {}},
                 {"1432590", {}},
                 {"14h32", {}},
                 {"", {}}};
    for (const auto& t : times) {
        const auto minute = adif_time_of_day(t.value);
        EXPECT_EQ(minute ? std::optional<int>(*minute) : std::nullopt, t.minute) << t.value;
    }
    const struct {
        const char* value;
        bool storable;
    } dates[] = {{"20240305", true},  {"2024 03 05", true}, {"202403051", false}, {"2024035", false},
                 {"20240230", false}, {"19291231", false},  {"20241305", false},  {"", false}};
    for (const auto& d : dates)
        EXPECT_EQ(storable_adif_date(d.value).has_value(), d.storable) << d.value;
}

TEST(AdifRecords, FieldNamesAreReadInAnyCase) {
    const auto q = import("<Call:5>K1ABC<QSO_date:8>20240305<TIME_ON:4>1432<Freq:6>14.025<MODE:2>CW"
                          "<Comment:2>hi<App_Kestrel_Mode:3>cw!<QSL_SENT:1>Y<EoR>");
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].date, storable_adif_date("20240305"));
    EXPECT_EQ(q[0].time_on, 14 * 60 + 32);
    EXPECT_EQ(q[0].mode, "cw!") << "our own field, named in any case, wins";
    EXPECT_EQ(trimmed(q[0].comment), "hi");
    EXPECT_EQ(q[0].qsl_flags, '0' + 1);
}

// Only the names themselves, in any case, are read as fields: a byte that differs from a letter
// by its case bit alone ('_' and DEL, '@' and '`'), or one byte more or less, makes another name.
TEST(AdifRecords, FieldNamesInAnyCaseButNoOtherName) {
    const struct {
        const char* name;
        bool read;
    } cases[] = {
        {"CALL", true},
        {"cAlL", true},
        {"c@ll", false},
        {"cal", false},
        {"calls", false},
        {"QSO_DATE", true},
        {"QSO\x7F"
         "DATE",
         false},
        {"qso_dat", false},
        {"APP_KESTREL_CALL", true},
        {"App_kestrel_Call", true},
        {"app\x7Fkestrel_call", false},
        {"app_kestrel_cal", false},
        {"app_kestrel_call_", false},
        {"RST_SENT", true},
        {"rst\x7Fsent", false},
        {"`all", false},
        {"Ca\x0CL", false},
    };
    const std::string record = "<call:5>K1ABC<qso_date:8>20240305<time_on:4>1432<freq:2>14<rst_sent:2>59";
    for (const auto& c : cases) {
        const std::string name = c.name;
        const bool date = name.find("DATE") != std::string::npos || name.find("dat") != std::string::npos;
        const bool report = name.find("sent") != std::string::npos || name.find("SENT") != std::string::npos;
        const std::string value = date ? "19990101" : report ? "33" : "W1AW";
        const auto q =
            import(record + "<" + name + ":" + std::to_string(value.size()) + ">" + value + "<eor>");
        ASSERT_EQ(q.size(), 1u) << name;
        const bool changed = date     ? q[0].date != *storable_adif_date("20240305")
                             : report ? trimmed(q[0].rst_sent) != "59"
                                      : trimmed(q[0].call) != "K1ABC";
        EXPECT_EQ(changed, c.read) << name;
    }
}

// Records the log cannot hold exactly are left out whole, counted by reason and kept as they
// stood in the file; the records around them are read as ever.
TEST(AdifRecords, LeftOutContactsAreCountedAndKeptAsTheyWere) {
    const struct {
        const char* record;
        LeftOut why; // no_call standing for "stored"
        bool stored;
    } cases[] = {
        {"<call:2>K1<qso_date:8>20240305<time_on:4>1200<freq:2>14<eor>", LeftOut::no_call, true},
        {"<call:2>K2<qso_date:8>19291231<time_on:4>1200<freq:2>14<eor>", LeftOut::date, false},
        {"<call:2>K3<qso_date:8>20610201<time_on:4>1200<freq:2>14<eor>", LeftOut::date, false},
        {"<call:2>K4<qso_date:8>19250704<time_on:4>1200<freq:2>14<eor>", LeftOut::date, false},
        {"<call:2>K5<qso_date:8>20230229<time_on:4>1200<freq:2>14<eor>", LeftOut::date, false},
        {"<call:2>K6<qso_date:4>2024<time_on:4>1200<freq:2>14<eor>", LeftOut::date, false},
        {"<call:2>K7<time_on:4>1200<freq:2>14<eor>", LeftOut::date, false},
        {"<call:2>K8<qso_date:8>20240305<time_on:4>2561<freq:2>14<eor>", LeftOut::time, false},
        {"<call:2>K9<qso_date:8>20240305<time_on:4>2400<freq:2>14<eor>", LeftOut::time, false},
        {"<call:3>K10<qso_date:8>20240305<freq:2>14<eor>", LeftOut::time, false},
        {"<call:3>K11<qso_date:8>20240305<time_on:4>2359<time_off:6>240000<freq:2>14<eor>", LeftOut::time,
         false},
        {"<call:3>K12<qso_date:8>20240305<time_on:6>235959<freq:7>222.100<band:5>1.25m<eor>", LeftOut::band,
         false},
        {"<call:3>K13<qso_date:8>20240305<time_on:4>1200<freq:7>903.100<eor>", LeftOut::band, false},
        {"<call:3>K14<qso_date:8>20240305<time_on:4>1200<band:2>8m<eor>", LeftOut::band, false},
        {"<call:3>K15<qso_date:8>20240305<time_on:4>1200<freq:6>0.4755<band:4>630m<eor>", LeftOut::band,
         false},
        {"<call:3>K16<qso_date:8>20240305<time_on:4>1200<band:5>2190m<eor>", LeftOut::band, false},
        {"<call:3>K17<qso_date:8>20240305<time_on:4>1200<freq:5>47088<eor>", LeftOut::band, false},
        {"<call:3>K18<qso_date:8>20240305<time_on:4>1200<eor>", LeftOut::band, false},
        {"<qso_date:8>20240305<time_on:4>1200<freq:2>14<eor>", LeftOut::no_call, false},
        {"<call:5>/DATA<qso_date:8>20240305<time_on:4>1200<freq:2>14<eor>", LeftOut::no_call, false},
        {"<call:3>K19<qso_date:8>20290722<time_on:4>2359<time_off:4>0000<freq:3>1.8<eor>", LeftOut::no_call,
         true},
    };
    std::string file = "Log from another program<eoh>\r\n";
    std::string rejected;
    std::vector<std::string> stored;
    LeftOutTally expected;
    for (const auto& c : cases) {
        file += std::string(c.record) + "\r\n";
        if (c.stored) {
            const std::string_view record(c.record);
            stored.emplace_back(record.substr(8, record.find('<', 8) - 8));
        } else {
            rejected += std::string(c.record) + "\r\n";
            expected.add(c.why);
        }
    }
    file += "<eor>\r\n"; // nothing at all: counted, but nothing to keep
    expected.add(LeftOut::no_call);

    const ImportedLog log = import_adif_text(file, {});
    std::vector<std::string> calls;
    for (const auto& q : contacts_of(log))
        calls.push_back(trimmed(q.call));
    EXPECT_EQ(calls, stored);
    for (const LeftOut why : {LeftOut::no_call, LeftOut::date, LeftOut::time, LeftOut::band})
        EXPECT_EQ(log.left_out.count(why), expected.count(why)) << static_cast<int>(why);
    EXPECT_EQ(log.rejected, rejected);
    EXPECT_EQ(log.rejected_encoding, "Windows-1252");
    EXPECT_EQ(log.outside_dates, expected.count(LeftOut::date));

    // The file of those records reads as they did: a UTF-8 name stays UTF-8 there.
    const ImportedLog utf8 = import_adif_text("<call:2>K1<name:7>J\xC3\xBCrgen<qso_date:8>19250101<eor>", {});
    EXPECT_EQ(utf8.rejected_encoding, "UTF-8");
    EXPECT_EQ(import_adif_text("<app_kestrel_encoding:17>Windows-1252, %XX<eoh>", {}).rejected_encoding,
              "Windows-1252, %XX");
}

TEST(AdifRecords, PowerCarriesOnButNothingElseDoes) {
    const std::string when = "<qso_date:8>20240305<time_on:4>1200<freq:2>14";
    const auto q = import("<call:2>K1<tx_pwr:3>100<comment:5>first<qsl_rcvd:1>Y" + when +
                              "<eor>"
                              "<time_on:4>0930<eor>" // no call: left out, forgotten
                              "<call:2>K2<qso_date:8>20240305<band:3>20m<time_on:4>1201<eor>"
                              "<call:2>K3<tx_pwr:1>5" +
                              when + "<eor>",
                          {"10", ""});
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[1].power, "100  ");
    EXPECT_EQ(q[2].power, "5    ");
    EXPECT_EQ(trimmed(q[1].comment), "");
    EXPECT_EQ(q[1].qsl_flags, '0');
    EXPECT_EQ(q[1].time_on, 12 * 60 + 1);
    EXPECT_EQ(import_adif_text("<call:2>K1" + when + "<eor><eor><eor>", {}).without_call, 2);
    EXPECT_EQ(import("<call:2>K1" + when + "<eor>", {"50", ""})[0].power, "50   ")
        << "the dialog's power first";
}

TEST(AdifRecords, HeaderFieldsStayInTheHeader) {
    const auto q = import(
        "<comment:6>header<qsl_sent:1>Y<eoh><call:2>K1<qso_date:8>20240305<time_on:4>1200<freq:2>14<eor>");
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(trimmed(q[0].comment), "");
    EXPECT_EQ(q[0].qsl_flags, '0');
}

TEST(AdifRecords, CommentGathersNotesUpToFortyThenTheExtraText) {
    const std::string when = "<qso_date:8>20240305<time_on:4>1200<freq:2>14";
    const auto q =
        import("<call:2>K1<comment:30>123456789012345678901234567890<name:20>abcdefghijklmnopqrst" + when +
                   "<eor>"
                   "<call:2>K2<name:4>John<qth:6>Boston<notes:10>two\r\nlines<iota:6>EU-005" +
                   when + "<eor>",
               {"", " via ADIF"});
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].comment, "123456789012345678901234567890abcdefghij");
    EXPECT_EQ(trimmed(q[1].comment), "JohnBostontwo  linesEU-005 via ADIF");
}

TEST(AdifRecords, TimeOffDefaultsToTimeOnOnlyWhenAbsent) {
    const auto q = import("<call:2>K1<qso_date:8>20240305<freq:2>14<time_on:4>1432<eor>"
                          "<call:2>K2<qso_date:8>20240305<freq:2>14<time_on:4>2358<time_off:4>0000<eor>");
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
        {"<mode:4>RTTY<freq:6>1296.2", "RTY", 13},
        {"<mode:4>OFDM<submode:10>RIBBIT_PIX<band:3>20m", "RIB", 4},
        {"<mode:4>ssTV<band:4>70CM", "ssT", 12},
        {"<app_kestrel_mode:3>J2B<freq:1>7", "J2B", 2},
        {"<mode:3>PSK<app_kestrel_mode:3>J2B<freq:1>7", "J2B", 2},
        {"<app_kestrel_mode:0><mode:3>PSK<freq:1>7", "   ", 2},
        {"<band:3>17m", "   ", 5},
    };
    for (const auto& c : cases) {
        const auto q =
            import(std::string("<call:2>K1<qso_date:8>20240305<time_on:4>1200") + c.fields + "<eor>");
        ASSERT_EQ(q.size(), 1u) << c.fields;
        EXPECT_EQ(q[0].mode, c.mode) << c.fields;
        EXPECT_EQ(q[0].band, logstore::coded_band_field(c.band)) << c.fields;
    }
}

TEST(AdifRecords, TellsProgressUpToTheEnd) {
    std::string file;
    for (int i = 0; i < 3000; ++i)
        file += "<call:4>K1AB<freq:2>14<qso_date:8>20240305<time_on:4>1200<eor>\r\n";
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
                             "<CALL:4>W1AW<QSO_DATE:8:D>20240306<TIME_ON:4>0101<MODE:4>MFSK<SUBMODE:3>FT4"
                             "<BAND:3>40m<EOR>\n"
                             "<call:6>G9QQQ/P<rst_sent:3>599<notes:12>two\r\nlines<qso_date:8>20240307"
                             "<time_on:4>0202<band:3>20m<eor>\n";
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
        ASSERT_LE(static_cast<std::size_t>(log.entries + log.left_out.total()), ends) << file;
        ASSERT_EQ(log.records.size(), static_cast<std::size_t>(log.entries) * logstore::k_record_size);
    }
    EXPECT_EQ(import_adif_text(good, {}).entries, 3);
}

} // namespace
} // namespace kestrel::exchange
