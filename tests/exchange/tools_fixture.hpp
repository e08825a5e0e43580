#pragma once

#include "exchange/log_choice.hpp"
#include "exchange/log_copy.hpp"
#include "logstore/band_names.hpp"
#include "logstore/faulty_file_system.hpp"
#include "logstore/log_store.hpp"
#include "logstore/test_log.hpp"
#include "support/temp_dir.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::exchange::tools_testing {

using kestrel::testing::qso;
using kestrel::testing::read_file;
using kestrel::testing::write_file;
using kestrel::testing::write_log;

// A contact on a band and in a mode, for the extract and merge tests.
inline logstore::RecordBytes contact(const std::string& date, const std::string& time,
                                     const std::string& call, int band = 4, const std::string& mode = "SSB") {
    logstore::QsoRecord q = logstore::QsoRecord::decode(qso(date, time, call, "59", band));
    q.mode = mode;
    return q.encode();
}

inline logstore::RecordBytes note(const std::string& date, const std::string& time, const std::string& text) {
    logstore::TextRecord t;
    t.date = logstore::day_number_of(date);
    t.time = logstore::minute_of(time);
    t.text = text;
    return t.encode();
}

// Records in memory, for the passes over whole logs.
class VectorSource final : public RecordSource {
  public:
    explicit VectorSource(std::vector<logstore::RecordBytes> records) : m_records(std::move(records)) {}
    bool next(logstore::RecordBytes& record) override {
        if (m_at >= m_records.size()) return false;
        record = m_records[m_at++];
        return true;
    }
    logstore::LogStatus status() const override { return {}; }

  private:
    std::vector<logstore::RecordBytes> m_records;
    std::size_t m_at = 0;
};

class VectorSink final : public RecordSink {
  public:
    // Takes records until it holds `room` of them; then the disk is full.
    explicit VectorSink(std::size_t room = SIZE_MAX) : m_room(room) {}
    logstore::LogStatus append(const logstore::RecordBytes& record) override {
        if (records.size() >= m_room) return logstore::LogError::disk_full;
        records.push_back(record);
        return {};
    }
    std::vector<logstore::RecordBytes> records;

  private:
    std::size_t m_room;
};

// A station directory of its own, made current, with a test host and the program's log.
class ToolsTest : public ::testing::Test {
  protected:
    ToolsTest() : m_cwd(m_dir.path()) {}

    std::string file(const std::string& name) const { return m_dir.file(name); }
    bool exists(const std::string& name) const { return std::filesystem::exists(m_dir.path() / name); }
    std::vector<std::string> files_in_dir() const {
        std::vector<std::string> names;
        // A hidden file is the lock of a log in use, there only while it is open.
        for (const auto& e : std::filesystem::directory_iterator(m_dir.path()))
            if (!e.path().filename().string().starts_with(".")) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The whole records of a log file, as the log store would read them.
    std::vector<logstore::RecordBytes> records_of(const std::string& name) const {
        const std::string bytes = read_file(m_dir.path() / name);
        std::vector<logstore::RecordBytes> out;
        for (std::size_t at = 0; at + logstore::k_record_size <= bytes.size();
             at += logstore::k_record_size) {
            logstore::RecordBytes r;
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), logstore::k_record_size, r.begin());
            out.push_back(r);
        }
        return out;
    }
    std::vector<std::string> calls_of(const std::string& name) const {
        return kestrel::testing::calls_in(file(name));
    }
    void open_program_log(const std::string& name) { ASSERT_TRUE(m_log.open_log(file(name))); }

    ExchangeEnv env(double scale = 1.0) { return ExchangeEnv{m_log, m_bands, scale, m_files}; }

    kestrel::testing::TempDir m_dir;
    kestrel::testing::ScopedCurrentDir m_cwd;
    ui::TestHost m_host;
    logstore::LogStore m_log;
    logstore::BandNameTable m_bands = logstore::load_band_names();
    // The real file system, until a test makes it fail.
    kestrel::testing::FaultyFileSystem m_files;
};

} // namespace kestrel::exchange::tools_testing
