#include "logstore/record.hpp"

#include "common/fixed_text.hpp"

#include <algorithm>
#include <utility>

namespace kestrel::logstore {

namespace {

namespace offset = record_layout;
using record_layout::int16_at;

void put_int16(RecordBytes& record, std::size_t at, std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    record[at] = static_cast<std::uint8_t>(bits & 0xFF);
    record[at + 1] = static_cast<std::uint8_t>(bits >> 8);
}

std::string get_text(const RecordBytes& record, std::size_t at, int width) {
    return std::string(record_layout::text_at(record, at, width));
}

// The text cut to the width and padded with spaces, as fixed_width makes it, written in place.
void put_text(RecordBytes& record, std::size_t at, std::size_t width, std::string_view text) {
    const std::size_t size = std::min(width, text.size());
    std::copy_n(text.data(), size, record.data() + at);
    std::fill_n(record.data() + at + size, width - size, ' ');
}

// A contact's record before its texts are written: every text blank, every other byte 0x00. Its
// texts are then only copied in, not padded one by one, which matters for an import of many.
constexpr RecordBytes k_blank_contact = [] {
    RecordBytes record{};
    const std::pair<std::size_t, int> texts[] = {
        {offset::call, k_call_width},           {offset::rst_sent, k_report_width},
        {offset::rst_received, k_report_width}, {offset::mode, k_mode_width},
        {offset::power, k_power_width},         {offset::comment, k_comment_width},
    };
    for (const auto& [at, width] : texts)
        for (std::size_t i = 0; i < static_cast<std::size_t>(width); ++i)
            record[at + i] = ' ';
    return record;
}();

// The text cut to the width, written over the blanks of k_blank_contact.
void put_blank_padded_text(RecordBytes& record, std::size_t at, std::size_t width, std::string_view text) {
    std::copy_n(text.data(), std::min(width, text.size()), record.data() + at);
}

bool call_field_is(const RecordBytes& record, std::string_view marker) {
    return call_view(record) == fixed_width(marker, k_call_width);
}

} // namespace

RecordKind kind_of(const RecordBytes& record) {
    if (call_field_is(record, k_text_marker)) return RecordKind::text;
    if (call_field_is(record, k_station_data_marker)) return RecordKind::station_data;
    if (call_field_is(record, "CQ")) return RecordKind::cq;
    return RecordKind::qso;
}

std::string call_field(const RecordBytes& record) {
    return std::string(call_view(record));
}

std::string index_text_of(const RecordBytes& record) {
    return fixed_width(base_call(call_field(record)), k_call_width);
}

RecordBytes QsoRecord::encode() const {
    RecordBytes record = k_blank_contact;
    put_int16(record, offset::date, code_of_day(date));
    put_int16(record, offset::time, time_on);
    put_int16(record, offset::time_off, time_off);
    put_blank_padded_text(record, offset::call, k_call_width, call);
    put_blank_padded_text(record, offset::rst_sent, k_report_width, rst_sent);
    put_blank_padded_text(record, offset::rst_received, k_report_width, rst_received);
    for (std::size_t i = 0; i < band.size(); ++i)
        record[offset::band + i] = band[i];
    put_blank_padded_text(record, offset::mode, k_mode_width, mode);
    put_blank_padded_text(record, offset::power, k_power_width, power);
    put_blank_padded_text(record, offset::comment, k_comment_width, comment);
    record[offset::qsl_flags] = qsl_flags;
    return record;
}

QsoRecord QsoRecord::decode(const RecordBytes& record) {
    QsoRecord qso;
    qso.date = record_date(record);
    qso.time_on = int16_at(record, offset::time);
    qso.time_off = int16_at(record, offset::time_off);
    qso.call = get_text(record, offset::call, k_call_width);
    qso.rst_sent = get_text(record, offset::rst_sent, k_report_width);
    qso.rst_received = get_text(record, offset::rst_received, k_report_width);
    for (std::size_t i = 0; i < qso.band.size(); ++i)
        qso.band[i] = record[offset::band + i];
    qso.mode = get_text(record, offset::mode, k_mode_width);
    qso.power = get_text(record, offset::power, k_power_width);
    qso.comment = get_text(record, offset::comment, k_comment_width);
    qso.qsl_flags = record[offset::qsl_flags];
    return qso;
}

RecordBytes StationDataRecord::encode() const {
    RecordBytes record{};
    put_int16(record, offset::date, code_of_day(date));
    put_int16(record, offset::time, time);
    put_text(record, offset::call, k_call_width, k_station_data_marker);
    put_text(record, offset::operator_name, k_station_text_width, operator_name);
    put_text(record, offset::transceiver, k_station_text_width, transceiver);
    put_text(record, offset::antenna, k_station_text_width, antenna);
    put_int16(record, offset::band_index, band_index);
    return record;
}

StationDataRecord StationDataRecord::decode(const RecordBytes& record) {
    StationDataRecord data;
    data.date = record_date(record);
    data.time = int16_at(record, offset::time);
    data.operator_name = get_text(record, offset::operator_name, k_station_text_width);
    data.transceiver = get_text(record, offset::transceiver, k_station_text_width);
    data.antenna = get_text(record, offset::antenna, k_station_text_width);
    data.band_index = int16_at(record, offset::band_index);
    return data;
}

RecordBytes TextRecord::encode() const {
    RecordBytes record{};
    put_int16(record, offset::date, code_of_day(date));
    put_int16(record, offset::time, time);
    put_text(record, offset::call, k_call_width, k_text_marker);
    put_text(record, offset::text, k_note_width, text);
    return record;
}

TextRecord TextRecord::decode(const RecordBytes& record) {
    TextRecord note;
    note.date = record_date(record);
    note.time = int16_at(record, offset::time);
    note.text = get_text(record, offset::text, k_note_width);
    return note;
}

} // namespace kestrel::logstore
