#include "exchange/adif_records.hpp"

#include "common/fixed_text.hpp"
#include "exchange/adif_bands.hpp"
#include "exchange/adif_modes.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <utility>

namespace kestrel::exchange {

namespace {

constexpr std::size_t k_comment_width = 40;
// The QSL byte of an imported contact is the character '0' with the sent and received bits added.
constexpr std::uint8_t k_imported_qsl_base = '0';
// Progress is told after this many fields, often enough for the bar and seldom enough to cost nothing.
constexpr int k_fields_per_report = 4096;

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Line breaks and tabs of a multi-line note become blanks: the comment is one line of the log.
void append_as_one_line(std::string& to, std::string_view text, std::size_t width) {
    for (const char c : text) {
        if (to.size() >= width) return;
        to += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
}

} // namespace

std::int16_t day_number_of_adif_date(std::string_view value) {
    std::string digits;
    for (const char c : value)
        if (c >= '0' && c <= '9') digits += c;
    // Each part as two digits, so that a short value cannot shift the others.
    const auto part = [&](std::size_t at) {
        std::string two = at < digits.size() ? digits.substr(at, 2) : std::string();
        return std::string(2 - two.size(), '0') + two;
    };
    return logstore::day_number_of(part(6) + "-" + part(4) + "-" + part(2));
}

bool adif_date_storable(std::string_view value) {
    std::string digits;
    for (const char c : value)
        if (c >= '0' && c <= '9') digits += c;
    if (digits.size() < 8) return true; // a short date is read as it comes, as before
    const int date = std::stoi(digits.substr(0, 8));
    return date >= 19300101 && date <= 20290722;
}

ContactBuilder::ContactBuilder(ImportOptions options)
    : m_options(std::move(options)), m_power(m_options.power) {}

std::optional<logstore::QsoRecord> ContactBuilder::take(const AdifField& field) {
    const std::string& name = field.name;
    const std::string& value = field.value;
    if (name == "eor") return finish();
    if (name == "qso_date") {
        m_entry.date = day_number_of_adif_date(value);
        m_entry.date_storable = adif_date_storable(value);
    } else if (name == "time_on")
        m_entry.time_on = logstore::minute_of(std::string_view(value).substr(0, 4));
    else if (name == "time_off") {
        m_entry.time_off = logstore::minute_of(std::string_view(value).substr(0, 4));
        m_entry.has_time_off = true;
    } else if (name == "call")
        m_entry.call = upper_case(trimmed(value));
    else if (name == "freq")
        m_entry.frequency = trimmed(value);
    else if (name == "band")
        m_entry.band = trimmed(value);
    else if (name == "mode")
        m_entry.mode = trimmed(value);
    else if (name == "submode")
        m_entry.submode = trimmed(value);
    else if (name == "app_kestrel_mode")
        m_entry.own_mode = trimmed(value);
    else if (name == "rst_rcvd")
        m_entry.rst_received = value;
    else if (name == "rst_sent")
        m_entry.rst_sent = value;
    else if (name == "tx_pwr")
        m_power = value;
    else if (name == "comment" || name == "name" || name == "notes" || name == "iota" || name == "qth")
        append_as_one_line(m_entry.comment, value, k_comment_width);
    else if (name == "qsl_rcvd") {
        // V (verified) is the older way of saying the card came.
        const std::string answer = upper_case(trimmed(value));
        if (answer == "Y" || answer == "V") m_entry.qsl_bits |= 2;
    } else if (name == "qsl_sent") {
        if (upper_case(trimmed(value)) == "Y") m_entry.qsl_bits |= 1;
    } else if (name == "eoh") {
        m_entry = Entry{};
    }
    return std::nullopt;
}

std::optional<logstore::QsoRecord> ContactBuilder::finish() {
    Entry entry = std::exchange(m_entry, Entry{});
    // A call starting with "/" would make the entry a note or station data in the log.
    if (entry.call.empty() || entry.call.front() == '/') {
        ++m_without_call;
        return std::nullopt;
    }
    if (!entry.date_storable) {
        ++m_outside_dates;
        return std::nullopt;
    }
    logstore::QsoRecord contact;
    contact.date = entry.date;
    contact.time_on = entry.time_on;
    // A contact without an end ends when it began; one that ended at midnight keeps 00:00.
    contact.time_off = entry.has_time_off ? entry.time_off : entry.time_on;
    contact.call = std::move(entry.call);
    contact.rst_sent = std::move(entry.rst_sent);
    contact.rst_received = std::move(entry.rst_received);
    contact.band = logstore::coded_band_field(imported_band_index(entry.frequency, entry.band));
    const bool adif_mode = !entry.mode.empty() || !entry.submode.empty();
    contact.mode = adif_mode ? stored_mode_of(entry.mode, entry.submode) : entry.own_mode;
    contact.power = m_power;
    contact.comment = entry.comment + m_options.extra_comment;
    contact.qsl_flags = static_cast<std::uint8_t>(k_imported_qsl_base | entry.qsl_bits);
    return contact;
}

ImportedLog import_adif_text(std::string_view file, const ImportOptions& options,
                             const std::function<void(std::size_t)>& progress) {
    ImportedLog log;
    AdifScanner scanner(file);
    ContactBuilder builder(options);
    AdifField field;
    for (int fields = 1; scanner.next(field); ++fields) {
        if (const auto contact = builder.take(field)) {
            const logstore::RecordBytes record = contact->encode();
            log.records.append(reinterpret_cast<const char*>(record.data()), record.size());
            ++log.entries;
        }
        if (progress && fields % k_fields_per_report == 0) progress(scanner.position());
    }
    log.without_call = builder.without_call();
    log.outside_dates = builder.outside_dates();
    if (progress) progress(file.size());
    return log;
}

} // namespace kestrel::exchange
