// Whole journeys: a log exported and imported back, and files shaped like those other programs
// write, through the two windows as the operator uses them.
#include "exchange/export_window.hpp"
#include "exchange/import_adif.hpp"

#include "adif_fixture.hpp"
#include "common/fixed_text.hpp"
#include "logstore/field_codes.hpp"

#include <cstring>

namespace kestrel::exchange::testing {
namespace {

class AdifJourney : public ExchangeTest {
  protected:
    // Imports a file through the import window; the contacts of the log it made.
    std::vector<logstore::QsoRecord> import_file(const std::string& name, const std::string& bytes) {
        write(name, bytes);
        AdifImportState state;
        auto run = m_host.open(ImportWindow{m_log, state});
        m_host.answer_file(file(name));
        m_host.answer(ui::Answer::ok); // how many were imported: each test counts the contacts itself
        run.click(ImportWindow::k_select).click(ImportWindow::k_import);
        EXPECT_TRUE(m_host.surprises().empty());
        return records_of(import_log_name(name));
    }
    static std::string call_of(const logstore::QsoRecord& q) {
        return std::string(trim_trailing_spaces(q.call));
    }
};

// Stored modes, each of which comes back as it was, whatever ADIF calls it.
const char* const k_modes[] = {
    "A1A", "J3E", "F3E", "RTY", "CW ", "SSB", "FT8", "FT4", "JS8", "PSK", "SST", "J2B",
    "   ", "USB", "Q65", "AM ", "MFS", "RTT", "DG ", "CQC", "OFD", "ft8", "5 9",
};

TEST_F(AdifJourney, EveryContactComesBackFromItsOwnExport) {
    std::vector<logstore::QsoRecord> log;
    // Windows-1252 texts, among them "\xCE\xBA", whose bytes would also read as UTF-8.
    const char* comments[] = {"",
                              "  leading blanks kept",
                              "caf\xE9 in the evening",
                              "<eor> is only text",
                              "a comment that fills all forty characters",
                              "\xCE\xBA and 5 \x80, 100% sure",
                              "Gr\xFC\xDF aus K\xF6ln\ttab"};
    for (int i = 0; i < 400; ++i) {
        logstore::QsoRecord q;
        q.date = static_cast<std::int16_t>(logstore::day_number_of("01-01-30") + 500 * (i % 99) +
                                           35 * (i % 12) + 1 + i % 28);
        q.time_on = static_cast<std::int16_t>(i * 7 % 1440);
        q.time_off = static_cast<std::int16_t>(i * 11 % 1440);
        q.call = (i % 3 == 0 ? "DL" : "G") + std::to_string(i % 10) + "X" + std::string(1, 'A' + i % 26) +
                 (i % 5 == 0 ? "/P" : "") + (i % 7 == 0 ? "\xC4" : "");
        q.rst_sent = i % 4 == 0 ? "-12" : "599";
        q.rst_received = std::to_string(51 + i % 9);
        q.band = logstore::coded_band_field(i % 20);
        q.mode = k_modes[i % std::size(k_modes)];
        const char* powers[] = {"100", "5W", "1 kW", "", "QRP"};
        q.power = powers[i % std::size(powers)];
        q.comment = comments[i % std::size(comments)];
        q.qsl_flags = static_cast<std::uint8_t>(i % 4);
        log.push_back(q);
    }
    open_log("ROUND.LOG", bytes_of(log));
    auto exporter = m_host.open(ExportWindow{m_log});
    m_host.expect_message("      400 Entries exported      ");
    exporter.click(ExportWindow::k_export);

    // Imported under another name: ROUND.LOG is the log in use and would not be replaced.
    const auto back = import_file("BACK.ADI", read("ROUND.ADI"));
    EXPECT_EQ(m_log.path(), "BACK.LOG");
    ASSERT_EQ(back.size(), log.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
        const logstore::QsoRecord& was = log[i];
        const logstore::QsoRecord& is = back[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(is.call, logstore::QsoRecord::decode(was.encode()).call);
        EXPECT_EQ(is.date, was.date);
        EXPECT_EQ(is.time_on, was.time_on);
        EXPECT_EQ(is.time_off, was.time_off);
        EXPECT_EQ(logstore::band_of_field(is.band), static_cast<int>(i % 20));
        EXPECT_EQ(is.rst_sent, fixed_width(was.rst_sent, 7));
        EXPECT_EQ(is.rst_received, fixed_width(was.rst_received, 7));
        EXPECT_EQ(is.comment, fixed_width(was.comment, 40));
        EXPECT_EQ(is.power, fixed_width(was.power, 5));
        EXPECT_EQ(is.qsl_flags & 3, was.qsl_flags);
        EXPECT_EQ(is.mode, was.mode);
    }
}

TEST_F(AdifJourney, DigitalModeProgramFile) {
    const std::string file =
        "WSJT-X ADIF Export<eoh>\n"
        "<call:5>K1ABC <gridsquare:4>FN42 <mode:3>FT8 <rst_sent:3>-10 <rst_rcvd:3>-15 <qso_date:8>20240305 "
        "<time_on:6>143215 <qso_date_off:8>20240305 <time_off:6>143330 <band:3>20m <freq:9>14.074123 "
        "<station_callsign:5>G9QQQ <my_gridsquare:6>IO91WM <tx_pwr:2>50 <comment:13>tnx for the Q <eor>\n"
        "<call:4>W1AW <gridsquare:4>FN31 <mode:4>MFSK <submode:3>FT4 <rst_sent:3>+02 <rst_rcvd:3>-01 "
        "<qso_date:8>20240306 <time_on:6>020000 <qso_date_off:8>20240306 <time_off:6>020100 <band:3>40m "
        "<freq:8>7.047500 <station_callsign:5>G9QQQ <my_gridsquare:6>IO91WM <eor>\n"
        "<call:6>JA1XYZ <gridsquare:4>PM95 <mode:4>JT65 <rst_sent:3>-20 <rst_rcvd:3>-18 <qso_date:8>20240307 "
        "<time_on:6>235930 <qso_date_off:8>20240308 <time_off:6>000130 <band:4>23cm <freq:10>1296.20000 "
        "<station_callsign:5>G9QQQ <name:7>J\xC3\xBCrgen <eor>\n";
    const auto q = import_file("wsjtx_log.adi", file);
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(call_of(q[0]), "K1ABC");
    EXPECT_EQ(q[0].mode, "FT8");
    EXPECT_EQ(q[0].rst_sent, "-10    ");
    EXPECT_EQ(logstore::band_of_field(q[0].band), 4);
    EXPECT_EQ(std::string(trim_trailing_spaces(q[0].comment)), "tnx for the Q");
    EXPECT_EQ(q[0].time_off, 14 * 60 + 33);
    EXPECT_EQ(q[1].mode, "FT4");
    EXPECT_EQ(logstore::band_of_field(q[1].band), 2);
    EXPECT_EQ(q[1].power, "50   ");
    EXPECT_EQ(logstore::band_of_field(q[2].band), 13)
        << "the frequency, not the band text or its first digits";
    EXPECT_EQ(q[2].time_off, 1);
    EXPECT_EQ(std::string(trim_trailing_spaces(q[2].comment)), "J\xFCrgen");
}

TEST_F(AdifJourney, WebLogbookFile) {
    // Upper-case tags, fields of the site's own, UTF-8 names with a length in bytes and, in the
    // second record, one in characters and a call whose length counts its line break; the third
    // record has only a band.
    const std::string file =
        "QRZ Logbook download for g9qqq\r\nDate: Wed Mar 6 10:00:00 2024\r\nBookid: 123456\r\nRecords: 3\r\n"
        "<ADIF_VER:5>3.1.1\r\n<PROGRAMID:10>QRZLogbook\r\n<programversion:3>2.0\r\n<EOH>\r\n"
        "<APP_QRZLOG_LOGID:9>100000001\r\n<BAND:3>20M\r\n<CALL:6>DL1ABC\r\n<COUNTRY:7>Germany\r\n"
        "<FREQ:6>14.205\r\n<MODE:3>SSB\r\n<NAME:13>J\xC3\xBCrgen Gro\xC3\x9F\r\n<QSO_DATE:8:D>20240305\r\n"
        "<TIME_ON:4>1432\r\n<QSL_RCVD:1>N\r\n<QSL_SENT:1>Y\r\n<Qth:6>Berlin\r\n<RST_RCVD:2>59\r\n"
        "<RST_SENT:2>57\r\n<eor>\r\n"
        "<app_qrzlog_logid:9>100000002\r\n<band:3>15m\r\n<call:6>F5XYZ\r\n<name:11>Ren\xC3\xA9 "
        "M\xC3\xBCller\r\n"
        "<comment:5>merci\r\n<Mode:2>CW\r\n<qso_date:8>20240306\r\n<time_on:6>091500\r\n<Freq:8>21.02500\r\n"
        "<EOR>\r\n"
        "<APP_QRZLOG_LOGID:9>100000003\r\n<BAND:4>70cm\r\n<CALL:5>G4DEF\r\n<MODE:2>FM\r\n"
        "<QSO_DATE:8>20240307\r\n<TIME_ON:4>1900\r\n<QSL_RCVD:1>Y\r\n<Eor>\r\n";
    const auto q = import_file("qrz_export.adi", file);
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(call_of(q[0]), "DL1ABC");
    EXPECT_EQ(std::string(trim_trailing_spaces(q[0].comment)), "J\xFCrgen Gro\xDF"
                                                               "Berlin");
    EXPECT_EQ(q[0].qsl_flags & 3, 1);
    EXPECT_EQ(q[0].rst_received, "59     ");
    EXPECT_EQ(call_of(q[1]), "F5XYZ");
    EXPECT_EQ(std::string(trim_trailing_spaces(q[1].comment)), "Ren\xE9 M\xFCllermerci");
    EXPECT_EQ(q[1].mode, "CW ");
    EXPECT_EQ(logstore::band_of_field(q[1].band), 6);
    EXPECT_EQ(logstore::date_text_of(q[1].date), "06-03-24");
    EXPECT_EQ(logstore::band_of_field(q[2].band), 12);
    EXPECT_EQ(q[2].qsl_flags & 3, 2);
}

TEST_F(AdifJourney, AwardServiceReport) {
    std::string file =
        "ARRL Logbook of the World Status Report\nGenerated at 2024-03-06 10:00:00\nfor g9qqq\n"
        "Query:\n    QSL ONLY: YES\nQSL RX SINCE: 2024-01-01 00:00:00 (user supplied value)\n\n"
        "<PROGRAMID:4>LoTW\n<APP_LoTW_LASTQSL:19>2024-03-06 09:00:00\n\n<APP_LoTW_NUMREC:1>3\n\n<eoh>\n";
    const char* calls[] = {"K1ABC", "VK2XYZ", "JA1AA"};
    const char* freqs[] = {"14.07400", "7.00500", "50.31300"};
    const char* modes[] = {"<MODE:3>FT8", "<MODE:2>CW", "<MODE:4>MFSK\n<SUBMODE:3>FT4"};
    for (int i = 0; i < 3; ++i) {
        file +=
            std::string("\n<APP_LoTW_OWNCALL:5>G9QQQ\n<STATION_CALLSIGN:5>G9QQQ\n<CALL:") +
            std::to_string(std::strlen(calls[i])) + ">" + calls[i] +
            "\n<BAND:3>20M\n<FREQ:" + std::to_string(std::strlen(freqs[i])) + ">" + freqs[i] + "\n" +
            modes[i] + "\n<APP_LoTW_MODEGROUP:4>DATA\n<QSO_DATE:8>2024030" + std::to_string(i + 1) +
            "\n<APP_LoTW_RXQSO:19>2024-03-05 15:00:00 // QSO record inserted/modified at LoTW\n"
            "<TIME_ON:6>143215\n"
            "<APP_LoTW_QSO_TIMESTAMP:20>2024-03-05T14:32:15Z // QSO Date & Time; ISO-8601\n"
            "<QSL_RCVD:1>Y\n<QSLRDATE:8>20240306\n<DXCC:3>291\n<COUNTRY:24>UNITED STATES OF AMERICA\n"
            "<STATE:2>CT // Connecticut\n<CNTY:12>CT,HARTFORD // Hartford\n<CQZ:2>05\n<ITUZ:2>08\n<eor>\n";
    }
    const auto q = import_file("lotwreport.adi", file);
    ASSERT_EQ(q.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(call_of(q[i]), calls[i]);
        EXPECT_EQ(q[i].qsl_flags & 3, 2) << "confirmed";
        EXPECT_EQ(q[i].time_on, 14 * 60 + 32);
        EXPECT_EQ(logstore::date_text_of(q[i].date), "0" + std::to_string(i + 1) + "-03-24");
    }
    EXPECT_EQ(logstore::band_of_field(q[1].band), 2) << "the frequency decides over the band";
    EXPECT_EQ(logstore::band_of_field(q[2].band), 9);
    EXPECT_EQ(q[2].mode, "FT4");
}

} // namespace
} // namespace kestrel::exchange::testing
