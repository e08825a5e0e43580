#pragma once

#include "common/result.hpp"
#include "logstore/band_names.hpp"
#include "logstore/dates.hpp"
#include "logstore/record.hpp"

#include <array>
#include <string>

namespace kestrel::countries {
class CountryTable;
class StatusChart;
} // namespace kestrel::countries

namespace kestrel::offline {

// What the entry editor is writing: a contact, a change of station data, or a timed note.
enum class EntryKind { qso = 1, station_data = 2, text = 3 };

// By the call field: "/" is a note, "/DATA" station data, anything else (CQ too) a contact.
[[nodiscard]] EntryKind entry_kind_of(const logstore::RecordBytes& record);

// The editor's text boxes in order. Box 0 is the date; then a contact's call, time on, time off,
// report sent, report received, frequency, mode, power and comment; station data's time,
// operator, transceiver, antenna and band; a note's time and text. Boxes a kind does not have
// stay empty.
inline constexpr int k_box_count = 10;
using EntryTexts = std::array<std::string, k_box_count>;

namespace box {
inline constexpr int date = 0;
inline constexpr int call = 1, time_on = 2, time_off = 3, rst_sent = 4, rst_received = 5, frequency = 6,
                     mode = 7, power = 8, comment = 9;
inline constexpr int time = 1;
inline constexpr int operator_name = 2, transceiver = 3, antenna = 4, band = 5;
inline constexpr int note = 2;
} // namespace box

// The last box of each kind's form.
[[nodiscard]] int last_box_of(EntryKind kind);

struct TypedEntry {
    EntryKind kind = EntryKind::qso;
    EntryTexts boxes;
    bool qsl_sent = false;
    bool qsl_received = false;
};

// An entry ready for the log.
struct BuiltEntry {
    logstore::RecordBytes record{};
    std::string index_text;
    std::string date_text; // the date as the check rewrote it
};

// Why an entry cannot be saved: a date the check refused, or a box that must be filled.
struct EntryProblem {
    logstore::DateEntryError date_error = logstore::DateEntryError::none;
    int missing_box = 0; // meaningful when the date was accepted
};

// Checks the boxes and makes the record. A contact needs call, time on, frequency, mode and power;
// empty reports take the mode's default report (received: the report sent). A CQ entry has no
// reports: those bytes stay 0x00. A two-digit year is read as typed in `this_year`.
[[nodiscard]] Result<BuiltEntry, EntryProblem> build_entry(const TypedEntry& typed, int this_year);

// The boxes as the editor shows a record: date and times as text, fields without their padding,
// a contact's band and station data's band by name (empty for a band that has none). The date has
// two digits of year unless they would name another year when saved again in `this_year`.
[[nodiscard]] TypedEntry shown_entry(const logstore::RecordBytes& record,
                                     const logstore::BandNameTable& names, int this_year);

// A stored contact whose received report reads as a number above 1 is marked worked (and
// confirmed when its QSL-received flag is set) in the status chart.
[[nodiscard]] bool report_marks_chart(const logstore::QsoRecord& qso);
// Marks the chart for the contact's country, band and class of mode.
void mark_chart(const countries::CountryTable& table, countries::StatusChart& chart,
                const logstore::QsoRecord& qso);

} // namespace kestrel::offline
