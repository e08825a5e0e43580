#include "offline/entry_record.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "logstore/field_codes.hpp"

namespace kestrel::offline {

namespace {

using logstore::QsoRecord;

bool blank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

// A field as the operator sees it: without its padding, and without the 0x00 bytes of a field
// the record does not use (the reports of a CQ entry).
std::string shown(std::string_view field) {
    const auto last = field.find_last_not_of(std::string_view(" \0", 2));
    return last == std::string_view::npos ? std::string() : std::string(field.substr(0, last + 1));
}

// A box the log can take a time from: a time of day, or nothing, which is midnight.
bool is_time_box(const std::string& text) {
    return blank(text) || logstore::parse_time_of_day(text).has_value();
}

std::string band_name(const logstore::BandNameTable& names, int band_index) {
    return shown(names.name_or_blank(band_index));
}

BuiltEntry contact(const TypedEntry& typed, int day) {
    const EntryTexts& b = typed.boxes;
    QsoRecord q;
    q.date = day;
    q.call = b[box::call];
    q.time_on = logstore::minute_of(b[box::time_on]);
    q.time_off = logstore::minute_of(blank(b[box::time_off]) ? b[box::time_on] : b[box::time_off]);
    q.band = logstore::coded_band_field(logstore::band_of_frequency(b[box::frequency]));
    q.mode = b[box::mode];
    const std::string index_text = logstore::base_call(b[box::call] + " ");
    if (index_text == "CQ ") {
        // A CQ call has nobody to report to: the report fields are left unused.
        q.rst_sent = q.rst_received = std::string(logstore::k_report_width, '\0');
    } else {
        q.rst_sent = blank(b[box::rst_sent]) ? logstore::default_report(b[box::mode]) : b[box::rst_sent];
        q.rst_received = blank(b[box::rst_received]) ? q.rst_sent : b[box::rst_received];
    }
    q.power = b[box::power];
    q.comment = b[box::comment];
    q.qsl_flags = static_cast<std::uint8_t>((typed.qsl_sent ? 1 : 0) | (typed.qsl_received ? 2 : 0));
    return {q.encode(), index_text, {}};
}

} // namespace

EntryKind entry_kind_of(const logstore::RecordBytes& record) {
    switch (logstore::kind_of(record)) {
    case logstore::RecordKind::text: return EntryKind::text;
    case logstore::RecordKind::station_data: return EntryKind::station_data;
    default: return EntryKind::qso;
    }
}

int last_box_of(EntryKind kind) {
    switch (kind) {
    case EntryKind::qso: return box::comment;
    case EntryKind::station_data: return box::band;
    case EntryKind::text: return box::note;
    }
    return box::date;
}

Result<BuiltEntry, EntryProblem> build_entry(const TypedEntry& typed, int this_year) {
    const logstore::NormalisedDate date = logstore::normalise_date_entry(typed.boxes[box::date], this_year);
    if (!date.ok()) return EntryProblem{date.error, 0};
    const int day = date.day_number;
    const EntryTexts& b = typed.boxes;

    BuiltEntry built;
    switch (typed.kind) {
    case EntryKind::qso:
        for (int required : {box::call, box::time_on, box::frequency, box::mode, box::power}) {
            if (blank(b[required])) return EntryProblem{logstore::DateEntryError::none, required};
        }
        for (int time : {box::time_on, box::time_off}) {
            if (!is_time_box(b[time])) return EntryProblem{logstore::DateEntryError::none, time};
        }
        built = contact(typed, day);
        break;
    case EntryKind::station_data: {
        if (!is_time_box(b[box::time])) return EntryProblem{logstore::DateEntryError::none, box::time};
        logstore::StationDataRecord data;
        data.date = day;
        data.time = logstore::minute_of(b[box::time]);
        data.operator_name = b[box::operator_name];
        data.transceiver = b[box::transceiver];
        data.antenna = b[box::antenna];
        data.band_index = static_cast<std::int16_t>(logstore::band_of_frequency(b[box::band]));
        built = {data.encode(), std::string(logstore::k_station_data_marker), {}};
        break;
    }
    case EntryKind::text: {
        if (!is_time_box(b[box::time])) return EntryProblem{logstore::DateEntryError::none, box::time};
        logstore::TextRecord note;
        note.date = day;
        note.time = logstore::minute_of(b[box::time]);
        note.text = b[box::note];
        built = {note.encode(), std::string(logstore::k_text_marker), {}};
        break;
    }
    }
    built.date_text = date.text;
    return built;
}

TypedEntry shown_entry(const logstore::RecordBytes& record, const logstore::BandNameTable& names,
                       int this_year) {
    TypedEntry typed;
    typed.kind = entry_kind_of(record);
    EntryTexts& b = typed.boxes;
    // A date whose two-digit year would now name another year is shown with all four digits, so
    // that saving the entry again keeps it on its day.
    b[box::date] = logstore::date_entry_text_of(logstore::record_date(record), this_year);
    switch (typed.kind) {
    case EntryKind::qso: {
        const QsoRecord q = QsoRecord::decode(record);
        b[box::call] = shown(q.call);
        b[box::time_on] = logstore::time_text_of(q.time_on);
        b[box::time_off] = logstore::time_text_of(q.time_off);
        b[box::rst_sent] = shown(q.rst_sent);
        b[box::rst_received] = shown(q.rst_received);
        b[box::frequency] = band_name(names, logstore::band_of_field(q.band));
        b[box::mode] = shown(q.mode);
        b[box::power] = shown(q.power);
        b[box::comment] = shown(q.comment);
        typed.qsl_sent = (q.qsl_flags & 1) != 0;
        typed.qsl_received = (q.qsl_flags & 2) != 0;
        break;
    }
    case EntryKind::station_data: {
        const auto data = logstore::StationDataRecord::decode(record);
        b[box::time] = logstore::time_text_of(data.time);
        b[box::operator_name] = shown(data.operator_name);
        b[box::transceiver] = shown(data.transceiver);
        b[box::antenna] = shown(data.antenna);
        b[box::band] = band_name(names, data.band_index);
        break;
    }
    case EntryKind::text: {
        const auto note = logstore::TextRecord::decode(record);
        b[box::time] = logstore::time_text_of(note.time);
        b[box::note] = shown(note.text);
        break;
    }
    }
    return typed;
}

bool report_marks_chart(const QsoRecord& qso) {
    return leading_number(qso.rst_received) > 1;
}

void mark_chart(const countries::CountryTable& table, countries::StatusChart& chart, const QsoRecord& qso) {
    const int country = table.resolve_country(qso.call).country;
    chart.update_chart(country, logstore::band_of_field(qso.band), logstore::mode_class_of(qso.mode),
                       qso.qsl_flags);
}

} // namespace kestrel::offline
