#include "exchange/adif_writer.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"
#include "common/windows1252.hpp"
#include "exchange/adif_bands.hpp"
#include "exchange/adif_modes.hpp"
#include "exchange/adif_text.hpp"
#include "exchange/log_copy.hpp"
#include "exchange/log_limits.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <initializer_list>

namespace kestrel::exchange {

namespace {

constexpr std::string_view k_line_end = "\r\n";
// The version of ADIF whose enumerations the export uses (its modes and submodes).
constexpr std::string_view k_adif_version = "3.1.7";
constexpr std::string_view k_program_id = "Kestrel";
// Records read per block while exporting.
constexpr int k_block_records = 8192;
// About what one contact takes in the file.
constexpr std::size_t k_bytes_per_entry = 240;

void append_digits(std::string& out, int value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    out += text;
}

// Pieces put at the end of a text in one step: the text grows once for all of them.
void append_pieces(std::string& out, std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
        size += piece.size();
    const std::size_t at = out.size();
    out.resize(at + size);
    char* to = out.data() + at;
    for (const std::string_view piece : pieces) {
        std::memcpy(to, piece.data(), piece.size());
        to += piece.size();
    }
}

void append_item(std::string& out, std::string_view tag, std::string_view value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value.size()).ptr;
    append_pieces(
        out, {"  <", tag, ":", std::string_view(digits, static_cast<std::size_t>(end - digits)), ">", value});
}

bool is_blank_byte(char c) {
    return c == ' ' || c == '\0';
}

std::string without_blanks(std::string_view text) {
    std::string out(text.size(), '\0');
    std::size_t kept = 0;
    for (const char c : text)
        if (!is_blank_byte(c)) out[kept++] = c;
    out.resize(kept);
    return out;
}

// The empty-value rule: a value with nothing left after its blanks are gone is written as 0.
std::string value_or_zero(std::string_view text) {
    std::string value = without_blanks(text);
    return value.empty() ? std::string("0") : value;
}

std::string_view without_trailing_blanks(std::string_view text) {
    while (!text.empty() && is_blank_byte(text.back()))
        text.remove_suffix(1);
    return text;
}

// Whether our import, storing `restored` in a field of `width`, gets back the stored text; the
// padding at the end (blanks, or the 0x00 bytes of older logs) does not count.
bool restores(std::string_view restored, std::string_view stored, std::size_t width) {
    return without_trailing_blanks(restored.substr(0, width)) ==
           without_trailing_blanks(stored.substr(0, width));
}

// Our own field beside an ADIF field, with the stored text as it is.
void append_own(std::string& out, std::string_view name, std::string_view stored) {
    append_item(out, std::string(k_app_prefix) + std::string(name),
                escaped_app_text(without_trailing_blanks(stored)));
}

// A text field in ASCII, and our own field beside it when our import would not get the stored
// text back from it.
void append_text(std::string& out, std::string_view tag, std::string_view written, std::string_view restored,
                 std::string_view stored, std::size_t width) {
    append_item(out, tag, written);
    if (!restores(restored, stored, width)) append_own(out, tag, stored);
}

void append_report(std::string& out, std::string_view tag, std::string_view stored) {
    const std::string written = value_or_zero(ascii_of_windows1252(stored));
    append_text(out, tag, written, written, stored, logstore::k_report_width);
}

// YYYYMMDD of a day number.
// Two digits of a number below 100.
void put_two_digits(char* at, int value) {
    at[0] = static_cast<char>('0' + value / 10 % 10);
    at[1] = static_cast<char>('0' + value % 10);
}

// YYYYMMDD of a day number that is a date of the calendar.
std::array<char, 8> adif_date_of(int day_number) {
    const logstore::CalendarDay date = logstore::calendar_day_of(day_number);
    std::array<char, 8> text{};
    put_two_digits(text.data(), date.year / 100);
    put_two_digits(text.data() + 2, date.year % 100);
    put_two_digits(text.data() + 4, date.month);
    put_two_digits(text.data() + 6, date.day);
    return text;
}

// HHMM of a minute of the day; a time no clock shows is written as 0000, so the item keeps its
// length of four.
std::array<char, 4> adif_time_of(std::int16_t minute_of_day) {
    std::array<char, 4> text{'0', '0', '0', '0'};
    if (minute_of_day < 0 || minute_of_day > 1439) return text;
    put_two_digits(text.data(), minute_of_day / 60);
    put_two_digits(text.data() + 2, minute_of_day % 60);
    return text;
}

std::string_view view_of(const auto& characters) {
    return {characters.data(), characters.size()};
}

// How a stored mode is exported: its ADIF mode and submode, and whether our own field must follow.
struct ExportedMode {
    std::string stored;
    AdifMode mode;
    bool restored = false;
};

// A log holds few modes, and finding one among ADIF's names takes a while: the last few found
// are kept (for each thread that exports).
const ExportedMode& exported_mode(std::string_view stored_mode) {
    constexpr std::size_t k_kept = 8;
    thread_local std::array<ExportedMode, k_kept> kept;
    thread_local std::size_t next = 0;
    for (const ExportedMode& found : kept)
        if (!found.stored.empty() && found.stored == stored_mode) return found;
    ExportedMode& found = kept[next];
    next = (next + 1) % k_kept;
    found.stored = stored_mode;
    found.mode = exported_mode_of(stored_mode);
    found.restored =
        restores(stored_mode_of(found.mode.mode, found.mode.submode), stored_mode, logstore::k_mode_width);
    return found;
}

void append_mode(std::string& out, std::string_view stored_mode) {
    const ExportedMode& exported = exported_mode(stored_mode);
    const AdifMode& mode = exported.mode;
    append_item(out, "mode", mode.mode);
    if (!mode.submode.empty()) append_item(out, "submode", mode.submode);
    if (!exported.restored) append_own(out, "mode", stored_mode);
}

// TX_PWR is a number of watts; a power with a unit, or none, also goes in our own field.
void append_power(std::string& out, std::string_view stored_power) {
    const auto watts = adif_power_of(stored_power);
    if (watts) append_item(out, "tx_pwr", *watts);
    if (!watts || !restores(*watts, stored_power, logstore::k_power_width))
        append_own(out, "tx_pwr", stored_power);
}

// The log's path for the header's free text: ASCII, with no '<' that a reader could take for
// the start of a field.
std::string header_text_of(std::string_view path) {
    std::string text =
        ascii_of_windows1252(is_valid_utf8(path) ? windows1252_from_utf8(path) : std::string(path));
    for (char& c : text)
        if (c == '<') c = '(';
    return text;
}

} // namespace

std::string adif_export_path(std::string_view log_path) {
    // Only the file's own name changes: a folder named radio.log stays where it is.
    const std::size_t slash = log_path.find_last_of('/');
    const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view folder = log_path.substr(0, name_start);
    std::string name(log_path.substr(name_start));
    replace_all(name, ".LOG", ".ADI");
    replace_all(name, ".log", ".adi");
    std::string path = std::string(folder) + name;
    if (path == log_path || same_file(logstore::posix_file_system(), path, std::string(log_path)))
        path = std::string(log_path) + ".ADI";
    return path;
}

namespace {

// The items every header of ours ends with: the ADIF version, the program, how our own fields
// are encoded.
std::string end_of_header(std::string& out, std::string_view encoding) {
    append_item(out, "adif_ver", k_adif_version);
    append_item(out, "programid", k_program_id);
    append_item(out, k_encoding_field, encoding);
    out += "<eoh>";
    out += k_line_end;
    return std::move(out);
}

} // namespace

std::string adif_header(std::string_view log_path, CalendarDate today) {
    std::string out = "ADIF export from KestLOG ";
    out += header_text_of(log_path);
    out += k_line_end;
    out += "Date: ";
    append_digits(out, today.month, 2);
    out += '-';
    append_digits(out, today.day, 2);
    out += '-';
    append_digits(out, today.year, 4);
    return end_of_header(out, k_escaped_windows1252);
}

std::string adif_rejected_header(std::string_view adif_path, std::string_view encoding) {
    std::string out = "Records of ";
    out += header_text_of(adif_path);
    out += " that the log cannot hold, as they stood there";
    out += k_line_end;
    return end_of_header(out, encoding);
}

namespace {

// A contact's fields in place in its record, as QsoRecord::decode would give them (full width,
// padding and all), so an export need not copy each record's texts first.
struct ContactView {
    int date = 0;
    std::int16_t time_on = 0;
    std::int16_t time_off = 0;
    std::string_view call, rst_sent, rst_received;
    logstore::BandField band{};
    std::string_view mode, power, comment;
    std::uint8_t qsl_flags = 0;
};

ContactView contact_view_of(const logstore::RecordBytes& record) {
    namespace at = logstore::record_layout;
    ContactView view;
    view.date = logstore::record_date(record);
    view.time_on = at::int16_at(record, at::time);
    view.time_off = at::int16_at(record, at::time_off);
    view.call = at::text_at(record, at::call, logstore::k_call_width);
    view.rst_sent = at::text_at(record, at::rst_sent, logstore::k_report_width);
    view.rst_received = at::text_at(record, at::rst_received, logstore::k_report_width);
    view.band = logstore::band_field(record);
    view.mode = at::text_at(record, at::mode, logstore::k_mode_width);
    view.power = at::text_at(record, at::power, logstore::k_power_width);
    view.comment = at::text_at(record, at::comment, logstore::k_comment_width);
    view.qsl_flags = record[at::qsl_flags];
    return view;
}

// The four lines of a contact (see append_adif_entry), from a QsoRecord or a ContactView.
template <class Contact> void append_entry(std::string& out, const Contact& contact) {
    append_pieces(out, {"<qso_date:8>", view_of(adif_date_of(contact.date)), " "});
    const std::string call = value_or_zero(ascii_of_windows1252(contact.call));
    append_text(out, "call", call, upper_case(call), contact.call, logstore::k_call_width);
    // Items of a fixed length are written with their tags as they stand.
    append_pieces(out, {"  <time_on:4>", view_of(adif_time_of(contact.time_on)), "  <time_off:4>",
                        view_of(adif_time_of(contact.time_off)), k_line_end});

    append_report(out, "rst_sent", contact.rst_sent);
    append_report(out, "rst_rcvd", contact.rst_received);
    append_item(out, "freq", adif_frequency_of(logstore::band_of_field(contact.band)));
    append_mode(out, contact.mode);
    append_power(out, contact.power);
    out += k_line_end;

    // Leading and inner blanks of a comment are kept; an empty one is written as such.
    const std::string comment(without_trailing_blanks(ascii_of_windows1252(contact.comment)));
    append_text(out, "comment", comment, comment, contact.comment, logstore::k_comment_width);
    out += k_line_end;

    append_pieces(out,
                  {(contact.qsl_flags & 1) ? "  <qsl_sent:1>Y" : "  <qsl_sent:1>N",
                   (contact.qsl_flags & 2) ? "  <qsl_rcvd:1>Y" : "  <qsl_rcvd:1>N", "  <eor>", k_line_end});
}

} // namespace

void append_adif_entry(std::string& out, const logstore::QsoRecord& contact) {
    append_entry(out, contact);
}

bool is_exported(const logstore::RecordBytes& record) {
    if (!logstore::has_contact_fields(record)) return false;
    return trim_trailing_spaces(logstore::call_view(record)) != "CQ";
}

namespace {

// Text gathered before it goes to the file: large enough that writing costs little per contact,
// small enough that an export holds the same memory whatever the size of the log.
constexpr std::size_t k_flush_bytes = std::size_t{1} << 20;

// The header and every contact of the log in log order, handed to `put` a block of text at a
// time; false when `put` failed, which ends the export.
Result<AdifCounts, ExportFailure> put_adif_of_log(const logstore::LogStore& log, CalendarDate today,
                                                  const std::function<bool(std::string_view)>& put,
                                                  const std::function<void(int)>& progress) {
    AdifCounts counts;
    std::string text = adif_header(log.path(), today);
    text.reserve(k_flush_bytes + k_bytes_per_entry * 4);
    const int count = log.record_count();
    for (int first = 1; first <= count; first += k_block_records) {
        const int in_block = std::min(k_block_records, count - first + 1);
        const auto records = log.read_records(first, in_block);
        if (!records) return ExportFailure{records.error()};
        for (const logstore::RecordBytes& record : *records) {
            if (!is_exported(record)) continue;
            const ContactView contact = contact_view_of(record);
            if (!is_calendar_date(contact.date)) {
                ++counts.without_date;
                continue;
            }
            append_entry(text, contact);
            ++counts.entries;
            if (text.size() >= k_flush_bytes) {
                if (!put(text)) return ExportFailure{};
                text.clear();
            }
        }
        if (progress) progress(first + in_block - 1);
    }
    if (!text.empty() && !put(text)) return ExportFailure{};
    return counts;
}

} // namespace

Result<AdifText, logstore::LogError> adif_text_of_log(const logstore::LogStore& log, CalendarDate today,
                                                      const std::function<void(int)>& progress) {
    AdifText out;
    const auto made = put_adif_of_log(
        log, today,
        [&out](std::string_view text) {
            out.text += text;
            return true;
        },
        progress);
    if (!made) return made.error().reading.value_or(logstore::LogError::read_failed);
    out.entries = made->entries;
    out.without_date = made->without_date;
    return out;
}

Result<AdifCounts, ExportFailure> export_adif_file(const logstore::LogStore& log, const std::string& path,
                                                   CalendarDate today,
                                                   const std::function<void(int)>& progress) {
    SideFileWriter file(path);
    if (!file.ok()) return ExportFailure{};
    const auto made = put_adif_of_log(
        log, today, [&file](std::string_view text) { return file.write(text); }, progress);
    if (!made) return made.error();
    if (!file.commit()) return ExportFailure{};
    return made;
}

} // namespace kestrel::exchange
