#pragma once

#include "common/result.hpp"
#include "logstore/log_error.hpp"
#include "logstore/record.hpp"

#include <functional>
#include <string>
#include <string_view>

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::exchange {

// The ADIF file a log is exported to: its path with ".LOG" made ".ADI" and ".log" made ".adi".
// A path holding neither (club.Log) would name the log itself, so ".ADI" is added to it instead.
[[nodiscard]] std::string adif_export_path(std::string_view log_path);

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The two header lines: where the file comes from, and the day it was written (MM-DD-YYYY).
[[nodiscard]] std::string adif_header(std::string_view log_path, CalendarDate today);

// Appends the four lines of one contact. Reports, power, frequency and mode lose their blanks and
// an empty one is written as 0, except the mode: a mode ADIF does not know is not written as a
// MODE at all but kept in a field of this program's own (app_kestrel_mode), which other
// programs pass over and our import reads back.
void append_adif_entry(std::string& out, const logstore::QsoRecord& contact);

// Whether a record is exported: contacts, not notes, station data or CQ calls.
[[nodiscard]] bool is_exported(const logstore::RecordBytes& record);

struct AdifText {
    std::string text;
    int entries = 0;
};

// The whole file for a log: the header, then every contact in log order. `progress` hears the
// number of records read after each block.
[[nodiscard]] Result<AdifText, logstore::LogError>
adif_text_of_log(const logstore::LogStore& log, CalendarDate today,
                 const std::function<void(int)>& progress = {});

} // namespace kestrel::exchange
