#pragma once

#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "logstore/band_names.hpp"
#include "logstore/faulty_file_system.hpp"
#include "logstore/log_store.hpp"
#include "logstore/test_log.hpp"
#include "offline/entry_editor.hpp"
#include "support/opener.hpp"
#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kestrel::testing {

// A station directory of its own with a log, the band names, a small country list and an empty
// status chart; the log's file system can be made to fail.
class LogbookTest : public ::testing::Test {
  protected:
    LogbookTest() : m_cwd(m_dir.path()) {
        m_countries = countries::parse_country_list("CQ,CQ,Portugal,272,39,-8\r\nG,G,England,223,52,-1\r\n"
                                                    "K,K,United States,291,38,-97\r\n")
                          .table;
    }

    std::string log_path() const { return m_dir.file("MYLOG.LOG"); }
    void open_log(const std::vector<logstore::RecordBytes>& records) {
        write_log(log_path(), records);
        ASSERT_TRUE(m_log.open_log(log_path()));
    }
    std::string log_bytes() const { return read_file(log_path()); }
    logstore::RecordBytes record(int n) const { return *m_log.read_record(n); }
    logstore::QsoRecord contact(int n) const { return logstore::QsoRecord::decode(record(n)); }

    offline::EditorEnv env() { return {m_log, m_names, m_countries, m_chart, m_state, m_links}; }

    TempDir m_dir;
    ScopedCurrentDir m_cwd;
    FaultyFileSystem m_files;
    logstore::LogStore m_log{m_files};
    logstore::BandNameTable m_names = logstore::load_band_names();
    countries::CountryTable m_countries;
    countries::StatusChart m_chart;
    offline::EditorState m_state;
    offline::EditorLinks m_links;
    ui::TestHost m_host;
};

} // namespace kestrel::testing
