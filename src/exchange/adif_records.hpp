#pragma once

#include "exchange/adif_reader.hpp"
#include "logstore/record.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::exchange {

// What the operator gives an import: a power for contacts that name none, and a text added to
// every comment. Windows-1252, as typed.
struct ImportOptions {
    std::string power;
    std::string extra_comment;
};

// Turns the fields of an ADIF file into contacts of the log, one per "<eor>".
//
// The fields read are qso_date, time_on, time_off, call, freq, band, mode, submode, rst_rcvd,
// rst_sent, tx_pwr, comment, name, notes, iota, qth, qsl_rcvd and qsl_sent (and the mode this
// program writes for modes ADIF does not know); the rest are passed over. The band is stored in
// coded form. A power once read stays for the contacts after it that carry none. What the
// header holds, and what a record without a call held, is dropped at its end and never carried
// into the next contact.
class ContactBuilder {
  public:
    explicit ContactBuilder(ImportOptions options);

    // Takes one field; at "eor" gives the finished contact, or nothing when it had no call.
    [[nodiscard]] std::optional<logstore::QsoRecord> take(const AdifField& field);
    int without_call() const { return m_without_call; }
    int outside_dates() const { return m_outside_dates; }

  private:
    struct Entry {
        std::int16_t date = 0;
        bool date_storable = true;
        std::int16_t time_on = 0;
        std::int16_t time_off = 0;
        bool has_time_off = false;
        std::string call;
        std::string rst_sent;
        std::string rst_received;
        std::string frequency;
        std::string band;
        std::string mode;
        std::string submode;
        std::string own_mode;
        std::string comment;
        std::uint8_t qsl_bits = 0;
    };
    [[nodiscard]] std::optional<logstore::QsoRecord> finish();

    ImportOptions m_options;
    std::string m_power;
    Entry m_entry;
    int m_without_call = 0;
    int m_outside_dates = 0;
};

// The log an ADIF file makes: its records back to back, ready to be written as a log file.
struct ImportedLog {
    std::string records;
    int entries = 0;
    int without_call = 0;
    int outside_dates = 0; // contacts dated before 1930 or after 22 July 2029, left out
};

// Reads a whole ADIF file. `progress` hears, now and then, how many of its bytes are read.
[[nodiscard]] ImportedLog import_adif_text(std::string_view file, const ImportOptions& options,
                                           const std::function<void(std::size_t)>& progress = {});

// The date of an ADIF qso_date value (YYYYMMDD) as a day number.
[[nodiscard]] std::int16_t day_number_of_adif_date(std::string_view value);
// Whether an ADIF date (YYYYMMDD) lies within the dates the log can hold, 1 January 1930 to
// 22 July 2029; the log keeps two-digit years, so 1925 would otherwise come back as 2025.
bool adif_date_storable(std::string_view value);

} // namespace kestrel::exchange
