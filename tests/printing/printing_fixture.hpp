#pragma once

#include "countries/country_table.hpp"
#include "logstore/band_names.hpp"
#include "logstore/log_store.hpp"
#include "logstore/test_log.hpp"
#include "printer/recording_printer.hpp"
#include "printing/label_layout.hpp"
#include "rig/station_settings.hpp"
#include "support/opener.hpp"
#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kestrel::testing {

// A contact with everything a label or the printed log shows.
struct Contact {
    std::string date = "01-02-24";
    std::string time = "1234";
    std::string call = "G4ABC";
    std::string rst_received = "59";
    int band = 4;
    std::uint8_t qsl = 0;
    std::string comment{};
    std::string mode = "SSB";
};

inline logstore::RecordBytes contact(const Contact& c) {
    logstore::QsoRecord r = logstore::QsoRecord::decode(qso(c.date, c.time, c.call, c.rst_received, c.band));
    r.qsl_flags = c.qsl;
    r.comment = c.comment;
    r.mode = c.mode;
    r.rst_sent = "57";
    r.time_off = static_cast<std::int16_t>(r.time_on + 5);
    return r.encode();
}

inline logstore::RecordBytes station_data(const std::string& date, int band, const std::string& op,
                                          const std::string& rig, const std::string& antenna) {
    logstore::StationDataRecord d;
    d.date = logstore::day_number_of(date);
    d.time = 0;
    d.operator_name = op;
    d.transceiver = rig;
    d.antenna = antenna;
    d.band_index = static_cast<std::int16_t>(band);
    return d.encode();
}

inline logstore::RecordBytes note(const std::string& date, const std::string& text) {
    logstore::TextRecord t;
    t.date = logstore::day_number_of(date);
    t.text = text;
    return t.encode();
}

// A station directory of its own: the log, a country list whose first country is home, the
// band names and a station table.
class PrintingTest : public ::testing::Test {
  protected:
    PrintingTest() : m_cwd(m_dir.path()) {
        m_countries = countries::parse_country_list("2E,2E,England,1,52,-1\r\nDL,DL,Germany,230,51,10\r\n"
                                                    "G,G,England,1,52,-1\r\nJA,JA,Japan,339,36,140\r\n"
                                                    "K,K,United States,291,38,-97\r\nM,M,England,1,52,-1\r\n")
                          .table;
        m_station.rows[4] = {"TS-590", "Beam", "100", "SSB", "ANN"};
    }

    std::string log_path() const { return m_dir.file("MYLOG.LOG"); }
    void open_log(const std::vector<logstore::RecordBytes>& records) {
        write_log(log_path(), records);
        ASSERT_TRUE(m_log.open_log(log_path()));
    }
    logstore::QsoRecord record(int n) const { return logstore::QsoRecord::decode(*m_log.read_record(n)); }
    std::vector<int> sent_flags() const {
        std::vector<int> flags;
        for (int n = 1; n <= m_log.record_count(); ++n)
            flags.push_back((*m_log.read_record(n))[logstore::record_layout::qsl_flags] & 1);
        return flags;
    }

    // A template and its ten bytes of settings in the station directory.
    void write_template(const std::string& name, const std::string& text, const std::string& settings) {
        write_file(m_dir.path() / name, text);
        if (!settings.empty()) write_file(m_dir.path() / (name.substr(0, name.size() - 3) + "DAT"), settings);
    }

    const printing::PrintedJob& job(std::size_t n = 0) const { return *m_host.print_jobs().at(n); }

    TempDir m_dir;
    ScopedCurrentDir m_cwd;
    logstore::LogStore m_log;
    logstore::BandNameTable m_names = logstore::load_band_names();
    countries::CountryTable m_countries;
    rig::StationSettings m_station;
    printing::LabelLayout m_layout;
    ui::TestHost m_host;
};

// Settings bytes: down, across, width, per label, height, left, top, pause, received only, type.
inline std::string settings_bytes(int down, int across, int width, int per_label, int height, int left,
                                  int top, char pause = 'N', char received_only = 'N', int type = 0) {
    return {static_cast<char>(down),
            static_cast<char>(across),
            static_cast<char>(width),
            static_cast<char>(per_label),
            static_cast<char>(height),
            static_cast<char>(left),
            static_cast<char>(top),
            pause,
            received_only,
            static_cast<char>(type)};
}

} // namespace kestrel::testing
