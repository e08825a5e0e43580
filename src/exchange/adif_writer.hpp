#pragma once

#include "common/result.hpp"
#include "logstore/log_error.hpp"
#include "logstore/record.hpp"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::exchange {

// The ADIF file a log is exported to: beside the log, its file name with ".LOG" made ".ADI" and
// ".log" made ".adi"; the folders of the path stay as they are. A name holding neither (club.Log)
// would name the log itself, so ".ADI" is added to it instead.
[[nodiscard]] std::string adif_export_path(std::string_view log_path);

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The two header lines: where the file comes from, the day it was written (MM-DD-YYYY), the ADIF
// version, the program, and how our own fields are written.
[[nodiscard]] std::string adif_header(std::string_view log_path, CalendarDate today);

// The header of a file that keeps the records an import of `adif_path` left out, as they stood
// there: where they come from, and the encoding of their bytes (see ImportedLog).
[[nodiscard]] std::string adif_rejected_header(std::string_view adif_path, std::string_view encoding);

// Appends the four lines of one contact, every value printable ASCII as strict readers want it.
// Call and reports lose their blanks, and an empty one is written as 0; the power is written as a
// number of watts (none when it holds no number); every contact carries a MODE, a data mode for
// one ADIF has no name for. Where what is written would not read back as the stored text (an
// accent, a blank, a unit, the mode's own spelling), the stored text follows in a field of our
// own (app_kestrel_ and the ADIF name), which other programs pass over and our import reads
// back instead. The contact's date must be a date of the calendar (see is_calendar_date).
void append_adif_entry(std::string& out, const logstore::QsoRecord& contact);

// Whether a record is exported: contacts, not notes, station data or CQ calls.
[[nodiscard]] bool is_exported(const logstore::RecordBytes& record);

struct AdifText {
    std::string text;
    int entries = 0;
    int without_date = 0; // contacts left out: their date is no date of the calendar (31-02-24)
};

// What an export wrote.
struct AdifCounts {
    int entries = 0;
    int without_date = 0; // contacts left out: their date is no date of the calendar (31-02-24)
};

// Why an export failed: the log could not be read (the reason), or the file could not be
// written (no reason).
struct ExportFailure {
    std::optional<logstore::LogError> reading;
};

// Exports the log to the ADIF file at `path`, written as it is made, a block at a time, so the
// memory it takes does not grow with the log; the file replaces any old one only once it is
// whole (see SideFileWriter), so a failure leaves the old one as it was. `progress` hears the
// number of records read after each block.
[[nodiscard]] Result<AdifCounts, ExportFailure>
export_adif_file(const logstore::LogStore& log, const std::string& path, CalendarDate today,
                 const std::function<void(int)>& progress = {});

// The whole file for a log as one text: the header, then every contact in log order. `progress`
// hears the number of records read after each block.
[[nodiscard]] Result<AdifText, logstore::LogError>
adif_text_of_log(const logstore::LogStore& log, CalendarDate today,
                 const std::function<void(int)>& progress = {});

} // namespace kestrel::exchange
