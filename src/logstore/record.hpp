#pragma once

#include "logstore/field_codes.hpp"

#include <array>
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

// The quicker test readers use to skip non-contacts: a call field starting with "/" or "CQ ".
[[nodiscard]] bool is_contact(const RecordBytes& record);

// Fields every layout shares: the day number, the minute of day (time on for a contact) and the
// 12-character call field with its padding.
[[nodiscard]] std::int16_t record_date(const RecordBytes& record);
[[nodiscard]] std::int16_t record_time(const RecordBytes& record);
[[nodiscard]] std::string call_field(const RecordBytes& record);

// The record index's text for a record: the base call of its call field ("/", "/DATA" and "CQ"
// stay as they are), space padded to 12.
[[nodiscard]] std::string index_text_of(const RecordBytes& record);

// Texts decode at their full width, padding included; trim for display. Encoding cuts a longer
// text to the width and pads a shorter one with spaces (bytes already in the text, 0x00 among
// them, are kept, so a decoded record encodes back to the same bytes).
struct QsoRecord {
    std::int16_t date = 0;
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
    std::int16_t date = 0;
    std::int16_t time = 0;
    std::string operator_name; // k_station_text_width
    std::string transceiver;   // k_station_text_width
    std::string antenna;       // k_station_text_width
    std::int16_t band_index = 0;

    [[nodiscard]] RecordBytes encode() const;
    [[nodiscard]] static StationDataRecord decode(const RecordBytes& record);
};

struct TextRecord {
    std::int16_t date = 0;
    std::int16_t time = 0;
    std::string text; // k_note_width

    [[nodiscard]] RecordBytes encode() const;
    [[nodiscard]] static TextRecord decode(const RecordBytes& record);
};

} // namespace kestrel::logstore
