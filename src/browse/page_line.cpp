#include "browse/page_line.hpp"

#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <algorithm>

namespace kestrel::browse {

namespace {

// Fields a record does not use hold 0x00 bytes (the reports of a CQ call); they show as blanks.
std::string blanked(std::string field) {
    std::replace(field.begin(), field.end(), '\0', ' ');
    return field;
}

std::string contact_line(const logstore::RecordBytes& record, const logstore::BandNameTable& names) {
    const auto q = logstore::QsoRecord::decode(record);
    std::string line;
    line += logstore::date_text_of(q.date) + ' ';
    line += q.call + ' ';
    line += logstore::time_text_of(q.time_on) + ' ';
    line += logstore::time_text_of(q.time_off) + ' ';
    line += names.name(logstore::band_of_field(q.band)) + ' ';
    line += q.mode + ' ';
    line += q.power + ' ';
    line += q.rst_received + ' ';
    line += q.rst_sent + ' ';
    line += logstore::qsl_tag_of(q.qsl_flags) + ' ';
    line += q.comment;
    return line;
}

std::string timed_line(int date, std::int16_t time, const std::string& text) {
    return logstore::date_text_of(date) + "  @ " + logstore::time_text_of(time) + ' ' + text;
}

} // namespace

std::string page_line(const logstore::RecordBytes& record, const logstore::BandNameTable& names) {
    std::string text;
    switch (logstore::kind_of(record)) {
    case logstore::RecordKind::text: {
        const auto note = logstore::TextRecord::decode(record);
        text = timed_line(note.date, note.time, note.text);
        break;
    }
    case logstore::RecordKind::station_data: {
        const auto data = logstore::StationDataRecord::decode(record);
        text = timed_line(data.date, data.time,
                          " Op: " + data.operator_name + " Tcvr: " + data.transceiver +
                              " Ant: " + data.antenna + " B:" + names.name(data.band_index));
        break;
    }
    default: text = contact_line(record, names); break;
    }
    return k_line_mark + blanked(std::move(text));
}

std::string_view visible_text(std::string_view line) {
    return !line.empty() && line.front() == k_line_mark ? line.substr(1) : line;
}

bool is_contact_line(std::string_view visible) {
    return visible.size() > 10 && visible[10] != '@';
}

} // namespace kestrel::browse
