#pragma once

#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::logstore {

// One entry of the log file: 84 bytes, integers 16-bit little-endian, texts fixed width and
// space padded, unused bytes 0x00. The call field at offset 6 tells the layout.
inline constexpr int k_record_size = 84;
using RecordBytes = std::array<std::uint8_t, k_record_size>;
static_assert(sizeof(RecordBytes) == k_record_size);

// Widths of the text fields, in characters (one byte each).
inline constexpr int k_call_width = 12;
inline constexpr int k_report_width = 7;
inline constexpr int k_mode_width = 3;
inline constexpr int k_power_width = 5;
inline constexpr int k_comment_width = 40;
inline constexpr int k_station_text_width = 12; // operator, transceiver, antenna
inline constexpr int k_note_width = 64;
inline constexpr std::string_view k_text_marker = "/";
inline constexpr std::string_view k_station_data_marker = "/DATA";

enum class RecordKind { qso, cq, station_data, text };

// By the whole 12-character call field: "/", "/DATA" and "CQ" (space padded) mark the special
// kinds; everything else is a contact.
[[nodiscard]] RecordKind kind_of(const RecordBytes& record);

// Where each field lies. Only the record code reads these: everything else asks for a field by
// name, below or through the decoded records.
namespace record_layout {
inline constexpr std::size_t date = 0, time = 2, time_off = 4, call = 6;
inline constexpr std::size_t rst_sent = 18, rst_received = 25, band = 32, mode = 35, power = 38, comment = 43,
                             qsl_flags = 83;
inline constexpr std::size_t operator_name = 18, transceiver = 30, antenna = 42, band_index = 54;
inline constexpr std::size_t text = 18;

inline std::int16_t int16_at(const RecordBytes& record, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(record[at] | (record[at + 1] << 8)));
}
inline std::string_view text_at(const RecordBytes& record, std::size_t at, int width) {
    return {reinterpret_cast<const char*>(record.data()) + at, static_cast<std::size_t>(width)};
}
} // namespace record_layout

// Fields every layout shares: the day number (decoded from its field, see day_of_code), the minute
// of day (time on for a contact) and the 12-character call field with its padding.
[[nodiscard]] inline int record_date(const RecordBytes& record) {
    return day_of_code(record_layout::int16_at(record, record_layout::date));
}
[[nodiscard]] inline std::int16_t record_time(const RecordBytes& record) {
    return record_layout::int16_at(record, record_layout::time);
}
[[nodiscard]] std::string call_field(const RecordBytes& record);

// The fields whole-log passes read, in place: no copy is made, and the view lasts as long as the
// record does. Texts keep their padding.
[[nodiscard]] inline std::string_view call_view(const RecordBytes& record) {
    return record_layout::text_at(record, record_layout::call, k_call_width);
}

// A call field starting with "/" marks a note or a station-data change; every other record
// (contacts and CQs) has a contact's fields: reports, band, mode, power, comment, QSL flags.
[[nodiscard]] inline bool has_contact_fields(const RecordBytes& record) {
    return record[record_layout::call] != '/';
}

// The quicker test readers use to skip non-contacts: a call field starting with "/" or "CQ ".
[[nodiscard]] inline bool is_contact(const RecordBytes& record) {
    return has_contact_fields(record) && !call_view(record).starts_with("CQ ");
}

// Fields of a record with a contact's fields (see has_contact_fields), in place.
[[nodiscard]] inline std::string_view received_report_view(const RecordBytes& record) {
    return record_layout::text_at(record, record_layout::rst_received, k_report_width);
}
[[nodiscard]] inline BandField band_field(const RecordBytes& record) {
    const std::size_t at = record_layout::band;
    return {record[at], record[at + 1], record[at + 2]};
}
[[nodiscard]] inline std::string_view mode_view(const RecordBytes& record) {
    return record_layout::text_at(record, record_layout::mode, k_mode_width);
}
[[nodiscard]] inline std::string_view comment_view(const RecordBytes& record) {
    return record_layout::text_at(record, record_layout::comment, k_comment_width);
}
// Flips QSL flags of such a record in place: bit 1 card sent, bit 2 card received.
inline void flip_qsl_flags(RecordBytes& record, std::uint8_t bits) {
    record[record_layout::qsl_flags] ^= bits;
}

// The record index's text for a record: the base call of its call field ("/", "/DATA" and "CQ"
// stay as they are), space padded to 12.
[[nodiscard]] std::string index_text_of(const RecordBytes& record);

// Texts decode at their full width, padding included; trim for display. The date is the day
// number, decoded from the field and encoded back (see day_of_code); it must be a storable day. Encoding cuts
// a longer text to the width and pads a shorter one with spaces (bytes already in the text, 0x00 among them,
// are kept, so a decoded record encodes back to the same bytes).
struct QsoRecord {
    int date = 0;
    std::int16_t time_on = 0;
    std::int16_t time_off = 0;
    std::string call;         // k_call_width
    std::string rst_sent;     // k_report_width
    std::string rst_received; // k_report_width
    BandField band{};
    std::string mode;    // k_mode_width
    std::string power;   // k_power_width
    std::string comment; // k_comment_width
    std::uint8_t qsl_flags = 0;

    [[nodiscard]] RecordBytes encode() const;
    [[nodiscard]] static QsoRecord decode(const RecordBytes& record);
};

struct StationDataRecord {
    int date = 0;
    std::int16_t time = 0;
    std::string operator_name; // k_station_text_width
    std::string transceiver;   // k_station_text_width
    std::string antenna;       // k_station_text_width
    std::int16_t band_index = 0;

    [[nodiscard]] RecordBytes encode() const;
    [[nodiscard]] static StationDataRecord decode(const RecordBytes& record);
};

struct TextRecord {
    int date = 0;
    std::int16_t time = 0;
    std::string text; // k_note_width

    [[nodiscard]] RecordBytes encode() const;
    [[nodiscard]] static TextRecord decode(const RecordBytes& record);
};

} // namespace kestrel::logstore
