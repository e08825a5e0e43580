#include "exchange/adif_writer.hpp"

#include "common/fixed_text.hpp"
#include "exchange/adif_bands.hpp"
#include "exchange/adif_modes.hpp"
#include "exchange/log_copy.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"

#include <algorithm>
#include <charconv>

namespace kestrel::exchange {

namespace {

constexpr std::string_view k_line_end = "\r\n";
// Records read per block while exporting.
constexpr int k_block_records = 8192;
// About what one contact takes in the file, to size the text once.
constexpr std::size_t k_bytes_per_entry = 240;

void append_number(std::string& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void append_digits(std::string& out, int value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    out += text;
}

void append_item(std::string& out, std::string_view tag, std::string_view value) {
    out += "  <";
    out += tag;
    out += ':';
    append_number(out, static_cast<long long>(value.size()));
    out += '>';
    out += value;
}

bool is_blank_byte(char c) {
    return c == ' ' || c == '\0';
}

std::string without_blanks(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (!is_blank_byte(c)) out += c;
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

// YYYYMMDD of a day number: two-digit years below 30 are 20xx, the rest 19xx.
std::string adif_date_of(std::int16_t day_number) {
    const std::string text = logstore::date_text_of(day_number); // dd-mm-yy
    const std::string yy = text.substr(6, 2);
    return (yy < "30" ? "20" : "19") + yy + text.substr(3, 2) + text.substr(0, 2);
}

// HHMM of a minute of the day; a time no clock shows is written as 0000, so the item keeps its
// length of four.
std::string adif_time_of(std::int16_t minute_of_day) {
    if (minute_of_day < 0 || minute_of_day > 1439) return "0000";
    std::string text = logstore::time_text_of(minute_of_day);
    text.erase(2, 1);
    return text;
}

void append_mode(std::string& out, std::string_view stored_mode) {
    const AdifMode mode = adif_mode_of(stored_mode);
    if (!mode.mode.empty()) {
        append_item(out, "mode", mode.mode);
        if (!mode.submode.empty()) append_item(out, "submode", mode.submode);
        return;
    }
    const std::string own = without_blanks(stored_mode);
    if (!own.empty()) append_item(out, "app_kestrel_mode", own);
}

} // namespace

std::string adif_export_path(std::string_view log_path) {
    std::string path(log_path);
    replace_all(path, ".LOG", ".ADI");
    replace_all(path, ".log", ".adi");
    if (path == log_path || same_file(logstore::posix_file_system(), path, std::string(log_path)))
        path = std::string(log_path) + ".ADI";
    return path;
}

std::string adif_header(std::string_view log_path, CalendarDate today) {
    std::string out = "ADIF export from KestLOG ";
    out += log_path;
    out += k_line_end;
    out += "Date: ";
    append_digits(out, today.month, 2);
    out += '-';
    append_digits(out, today.day, 2);
    out += '-';
    append_digits(out, today.year, 4);
    out += "<eoh>";
    out += k_line_end;
    return out;
}

void append_adif_entry(std::string& out, const logstore::QsoRecord& contact) {
    out += "<qso_date:8>";
    out += adif_date_of(contact.date);
    out += ' ';
    append_item(out, "call", value_or_zero(contact.call));
    append_item(out, "time_on", adif_time_of(contact.time_on));
    append_item(out, "time_off", adif_time_of(contact.time_off));
    out += k_line_end;

    append_item(out, "rst_sent", value_or_zero(contact.rst_sent));
    append_item(out, "rst_rcvd", value_or_zero(contact.rst_received));
    append_item(out, "freq", adif_frequency_of(logstore::band_of_field(contact.band)));
    append_mode(out, contact.mode);
    append_item(out, "tx_pwr", value_or_zero(contact.power));
    out += k_line_end;

    append_item(out, "comment", without_trailing_blanks(contact.comment));
    out += k_line_end;

    append_item(out, "qsl_sent", (contact.qsl_flags & 1) ? "Y" : "N");
    append_item(out, "qsl_rcvd", (contact.qsl_flags & 2) ? "Y" : "N");
    out += "  <eor>";
    out += k_line_end;
}

bool is_exported(const logstore::RecordBytes& record) {
    if (!logstore::has_contact_fields(record)) return false;
    return trim_trailing_spaces(logstore::call_view(record)) != "CQ";
}

Result<AdifText, logstore::LogError> adif_text_of_log(const logstore::LogStore& log, CalendarDate today,
                                                      const std::function<void(int)>& progress) {
    AdifText out;
    out.text = adif_header(log.path(), today);
    const int count = log.record_count();
    out.text.reserve(out.text.size() + static_cast<std::size_t>(count) * k_bytes_per_entry);
    for (int first = 1; first <= count; first += k_block_records) {
        const int in_block = std::min(k_block_records, count - first + 1);
        const auto records = log.read_records(first, in_block);
        if (!records) return records.error();
        for (const logstore::RecordBytes& record : *records) {
            if (!is_exported(record)) continue;
            append_adif_entry(out.text, logstore::QsoRecord::decode(record));
            ++out.entries;
        }
        if (progress) progress(first + in_block - 1);
    }
    return out;
}

} // namespace kestrel::exchange
