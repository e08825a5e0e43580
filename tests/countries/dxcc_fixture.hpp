#pragma once

#include "countries/chart_grid.hpp"
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/faulty_file_system.hpp"
#include "logstore/log_store.hpp"
#include "logstore/test_log.hpp"
#include "support/opener.hpp"
#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kestrel::countries::testing {

using kestrel::testing::Opener;

using kestrel::testing::FaultyFileSystem;
using kestrel::testing::ScopedCurrentDir;
using kestrel::testing::TempDir;

enum Band { m160 = 0, m80 = 1, m40 = 2, m20 = 4, m15 = 6, m10 = 8, m2 = 11, cm70 = 12, cm23 = 13 };
enum Flags : std::uint8_t { none = 0, sent = 1, received = 2, both = 3 };

// A contact as the loggers store it.
inline logstore::RecordBytes contact(const std::string& call, int band = m20, const std::string& mode = "CW",
                                     std::uint8_t flags = none, const std::string& date = "01-02-03") {
    logstore::QsoRecord q;
    q.date = logstore::day_number_of(date);
    q.time_on = q.time_off = 600;
    q.call = call;
    q.rst_sent = q.rst_received = "599";
    q.band = logstore::coded_band_field(band);
    q.mode = mode;
    q.power = "100";
    q.qsl_flags = flags;
    return q.encode();
}

inline logstore::RecordBytes note(const std::string& text = "Band open") {
    return logstore::TextRecord{0, 0, text}.encode();
}

inline logstore::RecordBytes cq_call() {
    logstore::QsoRecord q;
    q.call = "CQ";
    q.band = logstore::coded_band_field(m20);
    q.mode = "CW";
    return q.encode();
}

// A station directory of its own with a log (whose file system can be made to fail), a small
// country list with gaps in its numbers and a block of no country, and an empty chart.
class DxccTest : public ::testing::Test {
  protected:
    DxccTest() : m_cwd(m_dir.path()) {
        m_table = parse_country_list("KH7K,KH7K,Kure Island,7,28,-178\r\n"
                                     "KH6,KH7,Hawaii,7,21,-158\r\n"
                                     "4U1UN,4U1UN,United Nations HQ,0,40,-74\r\n"
                                     "K,K,United States,9,38,-97\r\n"
                                     "G,G,England,1,52,-1\r\n"
                                     "CQ,CT,Portugal,3,39,-8\r\n"
                                     "DL,DL,Germany,5,51,10\r\n")
                      .table;
    }

    std::string log_path() const { return m_dir.file("MYLOG.LOG"); }
    void open_log(const std::vector<logstore::RecordBytes>& records) {
        kestrel::testing::write_log(log_path(), records);
        ASSERT_TRUE(m_log.open_log(log_path()));
    }
    std::vector<std::string> calls() const { return kestrel::testing::calls_in(log_path()); }
    std::string file(const std::string& name) const {
        return kestrel::testing::read_file(m_dir.path() / name);
    }

    TempDir m_dir;
    ScopedCurrentDir m_cwd;
    FaultyFileSystem m_files;
    logstore::LogStore m_log{m_files};
    logstore::BandNameTable m_names = logstore::load_band_names();
    CountryTable m_table;
    StatusChart m_chart;
    BandLabels m_labels = standard_band_labels();
    ui::TestHost m_host;
};

} // namespace kestrel::countries::testing
