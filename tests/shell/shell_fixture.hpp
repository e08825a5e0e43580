#pragma once

#include "logstore/record.hpp"
#include "shell/application.hpp"
#include "support/temp_dir.hpp"
#include "ui/test_host.hpp"

#include <gtest/gtest.h>

#include <string>

namespace kestrel::shell::testing {

// A station directory of its own, made current, with a test host and the program's state.
class ShellTest : public ::testing::Test {
  protected:
    ShellTest() : m_cwd(m_dir.path()) {}

    std::string file(const std::string& name) const { return m_dir.file(name); }
    std::string read(const std::string& name) const {
        return kestrel::testing::read_file(m_dir.path() / name);
    }
    void write(const std::string& name, const std::string& bytes) const {
        kestrel::testing::write_file(m_dir.path() / name, bytes);
    }

    // A log of n contacts, one a day, as bytes.
    static std::string log_of(int n) {
        std::string bytes;
        for (int i = 0; i < n; ++i) {
            logstore::QsoRecord q;
            q.date = static_cast<std::int16_t>(18036 + i % 28 + 35 * (i / 28 % 12) + 500 * (i / 336));
            q.time_on = q.time_off = static_cast<std::int16_t>(600 + i % 60);
            q.call = "G" + std::to_string(i % 10) + "ABC";
            q.rst_sent = q.rst_received = "59";
            q.band = logstore::coded_band_field(4);
            q.mode = "SSB";
            const auto r = q.encode();
            bytes.append(reinterpret_cast<const char*>(r.data()), r.size());
        }
        return bytes;
    }

    kestrel::testing::TempDir m_dir;
    kestrel::testing::ScopedCurrentDir m_cwd;
    ui::TestHost m_host;
    Application m_app;
};

} // namespace kestrel::shell::testing
