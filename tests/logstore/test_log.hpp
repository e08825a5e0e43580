#pragma once

#include "common/fixed_text.hpp"
#include "logstore/dates.hpp"
#include "logstore/record.hpp"
#include "support/temp_dir.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace kestrel::testing {

// A contact on a date ("dd-mm-yy") and time ("hhmm"), with optional received report and band.
inline logstore::RecordBytes qso(const std::string& date, const std::string& time, const std::string& call,
                                 const std::string& rst_received = "59", int band = 4) {
    logstore::QsoRecord record;
    record.date = logstore::day_number_of(date);
    record.time_on = logstore::minute_of(time);
    record.time_off = record.time_on;
    record.call = call;
    record.rst_sent = "59";
    record.rst_received = rst_received;
    record.band = logstore::coded_band_field(band);
    record.mode = "SSB";
    record.power = "100";
    return record.encode();
}

inline std::string bytes_of(const std::vector<logstore::RecordBytes>& records) {
    std::string bytes;
    for (const auto& record : records)
        bytes.append(record.begin(), record.end());
    return bytes;
}

inline void write_log(const std::string& path, const std::vector<logstore::RecordBytes>& records,
                      const std::string& trailing = {}) {
    write_file(path, bytes_of(records) + trailing);
}

// The trimmed call field of every whole record in the file.
inline std::vector<std::string> calls_in(const std::string& path) {
    const std::string bytes = read_file(path);
    std::vector<std::string> calls;
    for (std::size_t at = 0; at + logstore::k_record_size <= bytes.size(); at += logstore::k_record_size) {
        logstore::RecordBytes record;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), record.size(), record.begin());
        calls.emplace_back(trim_trailing_spaces(logstore::call_view(record)));
    }
    return calls;
}

} // namespace kestrel::testing
