#include "exchange/adif_writer.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"
#include "common/windows1252.hpp"
#include "exchange/adif_bands.hpp"
#include "exchange/adif_modes.hpp"
#include "exchange/adif_output.hpp"
#include "exchange/adif_text.hpp"
#include "exchange/log_copy.hpp"
#include "exchange/log_limits.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"
#include "logstore/log_store.hpp"

#include <algorithm>
#include <array>
#include <limits>

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

// Whether our import, storing `restored` in a field of `width`, gets back the stored text; the
// padding at the end (blanks, or the 0x00 bytes of older logs) does not count. Compared byte by
// byte: the texts are short, and a call to memcmp for each would cost more.
bool restores(std::string_view restored, std::string_view stored, std::size_t width) {
    restored = without_trailing_blanks(restored.substr(0, width));
    stored = without_trailing_blanks(stored.substr(0, width));
    if (restored.size() != stored.size()) return false;
    for (std::size_t at = 0; at < stored.size(); ++at)
        if (restored[at] != stored[at]) return false;
    return true;
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

// Text gathered before it goes to the file: large enough that writing costs little per contact,
// small enough that an export holds the same memory whatever the size of the log.
constexpr std::size_t k_flush_bytes = std::size_t{1} << 20;

// How a stored mode is exported: its ADIF mode and submode, and whether our own field must follow.
struct ExportedMode {
    AdifMode mode;
    bool restored = false;
};

ExportedMode exported_mode(std::string_view stored_mode) {
    ExportedMode exported;
    exported.mode = exported_mode_of(stored_mode);
    exported.restored = restores(stored_mode_of(exported.mode.mode, exported.mode.submode), stored_mode,
                                 logstore::k_mode_width);
    return exported;
}

void put_mode(AdifOutput& out, const ExportedMode& exported, std::string_view stored_mode) {
    const AdifMode& mode = exported.mode;
    out.item("mode", mode.mode);
    if (!mode.submode.empty()) out.item("submode", mode.submode);
    if (!exported.restored) out.own("mode", stored_mode);
}

// How a stored power is exported: TX_PWR, a number of watts, when it holds a number, and whether
// our own field must follow (a power with a unit, or none).
struct ExportedPower {
    std::optional<std::string> watts;
    bool restored = false;
};

ExportedPower exported_power(std::string_view stored_power) {
    ExportedPower exported;
    exported.watts = adif_power_of(stored_power);
    exported.restored = exported.watts && restores(*exported.watts, stored_power, logstore::k_power_width);
    return exported;
}

void put_power(AdifOutput& out, const ExportedPower& exported, std::string_view stored_power) {
    if (exported.watts) out.item("tx_pwr", *exported.watts);
    if (!exported.restored) out.own("tx_pwr", stored_power);
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
std::string end_of_header(std::string text, std::string_view encoding) {
    AdifOutput out = AdifOutput::onto(text, k_bytes_per_entry);
    out.item("adif_ver", k_adif_version);
    out.item("programid", k_program_id);
    out.item(k_encoding_field, encoding);
    out.put("<eoh>");
    out.put(k_line_end);
    (void)out.flush();
    return text;
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
    return end_of_header(std::move(out), k_escaped_windows1252);
}

std::string adif_rejected_header(std::string_view adif_path, std::string_view encoding) {
    std::string out = "Records of ";
    out += header_text_of(adif_path);
    out += " that the log cannot hold, as they stood there";
    out += k_line_end;
    return end_of_header(std::move(out), encoding);
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

// A stored text without its padding, and what it holds that ADIF could not carry as it stands.
// Most texts hold none of it, and are written from the record with no more work.
struct StoredText {
    std::string_view text;
    bool unprintable = false; // a byte outside printable ASCII (an accent, a control byte)
    bool blank = false;
    bool lower_case = false;

    explicit StoredText(std::string_view stored) : text(without_trailing_blanks(stored)) {
        for (const char c : text) {
            unprintable |= c < ' ' || c > '~';
            blank |= c == ' ';
            lower_case |= c >= 'a' && c <= 'z';
        }
    }
};

// Writes the contacts of an export, keeping what it can from one contact to the next.
class EntryWriter {
  public:
    // The four lines of a contact (see append_adif_entry), from a QsoRecord or a ContactView.
    template <class Contact> void put(AdifOutput& out, const Contact& contact);

    // Whether a day is a date of the calendar, which every contact written must have.
    bool is_calendar(int day_number) {
        // Contacts come in runs of the same day.
        if (day_number != m_day) {
            m_day = day_number;
            m_is_calendar = is_calendar_date(day_number);
            m_date = adif_date_of(day_number);
        }
        return m_is_calendar;
    }

  private:
    template <std::size_t N> void put_report(AdifOutput& out, const char (&tag)[N], std::string_view stored) {
        const StoredText plain(stored);
        if (!plain.unprintable && !plain.blank && !plain.text.empty()) return out.item(tag, plain.text);
        const std::string_view written = m_ascii.of_without_blanks(stored);
        out.item(tag, written);
        if (!restores(written, stored, logstore::k_report_width)) out.own(tag, stored);
    }

    void put_call(AdifOutput& out, std::string_view stored) {
        const StoredText plain(stored);
        if (!plain.unprintable && !plain.blank && !plain.lower_case && !plain.text.empty())
            return out.item("call", plain.text);
        out.item("call", m_ascii.of_without_blanks(stored));
        if (!restores(m_ascii.upper_case(), stored, logstore::k_call_width)) out.own("call", stored);
    }
    // Leading and inner blanks of a comment are kept; an empty one is written as such.
    void put_comment(AdifOutput& out, std::string_view stored) {
        const StoredText plain(stored);
        if (!plain.unprintable) return out.item("comment", plain.text);
        const std::string_view comment = without_trailing_blanks(m_ascii.of(stored));
        out.item("comment", comment);
        if (!restores(comment, stored, logstore::k_comment_width)) out.own("comment", stored);
    }

    AsciiText m_ascii;
    LastFound<ExportedMode> m_modes;
    LastFound<ExportedPower> m_powers;
    int m_day = std::numeric_limits<int>::min();
    bool m_is_calendar = false;
    std::array<char, 8> m_date{};
};

template <class Contact> void EntryWriter::put(AdifOutput& out, const Contact& contact) {
    (void)is_calendar(contact.date);
    out.put("<qso_date:8>");
    out.put(view_of(m_date));
    out.put(" ");
    put_call(out, contact.call);
    // Items of a fixed length are written with their tags as they stand.
    out.put("  <time_on:4>");
    out.put(view_of(adif_time_of(contact.time_on)));
    out.put("  <time_off:4>");
    out.put(view_of(adif_time_of(contact.time_off)));
    out.put(k_line_end);

    put_report(out, "rst_sent", contact.rst_sent);
    put_report(out, "rst_rcvd", contact.rst_received);
    out.item("freq", adif_frequency_of(logstore::band_of_field(contact.band)));
    put_mode(out, m_modes.find(contact.mode, exported_mode), contact.mode);
    put_power(out, m_powers.find(contact.power, exported_power), contact.power);
    out.put(k_line_end);

    put_comment(out, contact.comment);
    out.put(k_line_end);

    out.put((contact.qsl_flags & 1) ? "  <qsl_sent:1>Y" : "  <qsl_sent:1>N");
    out.put((contact.qsl_flags & 2) ? "  <qsl_rcvd:1>Y" : "  <qsl_rcvd:1>N");
    out.put("  <eor>");
    out.put(k_line_end);
}

} // namespace

void append_adif_entry(std::string& text, const logstore::QsoRecord& contact) {
    AdifOutput out = AdifOutput::onto(text, k_bytes_per_entry);
    EntryWriter().put(out, contact);
    (void)out.flush();
}

bool is_exported(const logstore::RecordBytes& record) {
    if (!logstore::has_contact_fields(record)) return false;
    return trim_trailing_spaces(logstore::call_view(record)) != "CQ";
}

namespace {

// The header and every contact of the log in log order, handed to `put` a block of text at a
// time; false when `put` failed, which ends the export.
Result<AdifCounts, ExportFailure> put_adif_of_log(const logstore::LogStore& log, CalendarDate today,
                                                  AdifOutput::Put put,
                                                  const std::function<void(int)>& progress) {
    AdifCounts counts;
    AdifOutput out(std::move(put), k_flush_bytes);
    EntryWriter entries;
    out.put(adif_header(log.path(), today));
    const int count = log.record_count();
    for (int first = 1; first <= count; first += k_block_records) {
        const int in_block = std::min(k_block_records, count - first + 1);
        const auto records = log.read_records(first, in_block);
        if (!records) return ExportFailure{records.error()};
        for (const logstore::RecordBytes& record : *records) {
            if (!is_exported(record)) continue;
            const ContactView contact = contact_view_of(record);
            if (!entries.is_calendar(contact.date)) {
                ++counts.without_date;
                continue;
            }
            entries.put(out, contact);
            ++counts.entries;
            if (out.is_full() && !out.flush()) return ExportFailure{};
        }
        if (progress) progress(first + in_block - 1);
    }
    if (!out.flush()) return ExportFailure{};
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
