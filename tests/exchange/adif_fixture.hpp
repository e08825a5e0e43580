#pragma once

#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"
#include "support/temp_dir.hpp"
#include "ui/context.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel::exchange::testing {

// A contact on a date dd-mm-yy from HH:MM to HH:MM, 20 m SSB unless a test says otherwise.
inline logstore::QsoRecord contact(const std::string& date, const std::string& on, const std::string& off,
                                   const std::string& call) {
    logstore::QsoRecord q;
    q.date = logstore::day_number_of(date);
    q.time_on = logstore::minute_of(on);
    q.time_off = logstore::minute_of(off);
    q.call = call;
    q.rst_sent = "59";
    q.rst_received = "57";
    q.band = logstore::coded_band_field(4);
    q.mode = "SSB";
    return q;
}

inline std::string bytes_of(const std::vector<logstore::QsoRecord>& records) {
    std::string out;
    for (const auto& r : records) {
        const auto bytes = r.encode();
        out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    return out;
}

inline std::string bytes_of(const logstore::RecordBytes& record) {
    return std::string(reinterpret_cast<const char*>(record.data()), record.size());
}

// A window to stand for the main window when an entry function needs a parent.
class ParentWindow final : public ui::Window {
  public:
    ui::Form build() const override {
        ui::Form form;
        form.caption = "Kestrel";
        return form;
    }
    void on_command(ui::Context&, int, ui::Notify) override {}
};

// A station directory of its own, made current, with a test host and a log store.
class ExchangeTest : public ::testing::Test {
  protected:
    ExchangeTest() : m_cwd(m_dir.path()) {}

    std::string file(const std::string& name) const { return m_dir.file(name); }
    std::string read(const std::string& name) const {
        return kestrel::testing::read_file(m_dir.path() / name);
    }
    void write(const std::string& name, const std::string& bytes) const {
        kestrel::testing::write_file(m_dir.path() / name, bytes);
    }
    void open_log(const std::string& name, const std::string& bytes) {
        write(name, bytes);
        ASSERT_TRUE(m_log.open_log(name));
    }
    std::vector<logstore::QsoRecord> records_of(const std::string& name) const {
        const std::string bytes = read(name);
        std::vector<logstore::QsoRecord> out;
        for (std::size_t at = 0; at + logstore::k_record_size <= bytes.size();
             at += logstore::k_record_size) {
            logstore::RecordBytes r;
            std::copy_n(reinterpret_cast<const std::uint8_t*>(bytes.data()) + at, r.size(), r.begin());
            out.push_back(logstore::QsoRecord::decode(r));
        }
        return out;
    }

    kestrel::testing::TempDir m_dir;
    kestrel::testing::ScopedCurrentDir m_cwd;
    ui::TestHost m_host;
    logstore::LogStore m_log;
};

} // namespace kestrel::exchange::testing
