#include "exchange/adif_records.hpp"

#include "common/fixed_text.hpp"
#include "exchange/adif_bands.hpp"
#include "exchange/adif_modes.hpp"
#include "exchange/adif_text.hpp"
#include "exchange/log_limits.hpp"
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

std::string digits_of(std::string_view value) {
    std::string digits;
    for (const char c : value)
        if (c >= '0' && c <= '9') digits += c;
    return digits;
}

int number_of(std::string_view digits) {
    int n = 0;
    for (const char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

} // namespace

std::optional<int> storable_adif_date(std::string_view value) {
    const std::string digits = digits_of(value);
    if (digits.size() != 8) return std::nullopt;
    return storable_day_number(number_of(digits.substr(0, 4)), number_of(digits.substr(4, 2)),
                               number_of(digits.substr(6, 2)));
}

std::optional<std::int16_t> adif_time_of_day(std::string_view value) {
    const std::string_view text = trimmed(value);
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c != ':') // 14:32 is read too, but nothing else
            return std::nullopt;
    }
    if (digits.size() != 4 && digits.size() != 6) return std::nullopt;
    if (digits.size() == 6 && number_of(digits.substr(4, 2)) > 59) return std::nullopt;
    return minute_of_day(number_of(digits.substr(0, 2)), number_of(digits.substr(2, 2)));
}

ContactBuilder::ContactBuilder(ImportOptions options)
    : m_options(std::move(options)), m_power(m_options.power) {}

void ContactBuilder::take_own(std::string_view name, std::string value) {
    if (m_own_fields_escaped) value = unescaped_app_text(value);
    if (name == "call")
        m_entry.own_call = std::move(value);
    else if (name == "rst_sent")
        m_entry.own_rst_sent = std::move(value);
    else if (name == "rst_rcvd")
        m_entry.own_rst_received = std::move(value);
    else if (name == "tx_pwr")
        m_entry.own_power = std::move(value);
    else if (name == "mode")
        m_entry.own_mode = std::move(value);
    else if (name == "comment")
        m_entry.own_comment = std::move(value);
}

std::optional<FinishedEntry> ContactBuilder::take(const AdifField& field) {
    const std::string& name = field.name;
    const std::string& value = field.value;
    if (name == "eor") return finish();
    if (name == "eoh") {
        m_entry = Entry{};
        return std::nullopt;
    }
    m_entry.any_field = true;
    if (name == "qso_date")
        m_entry.date = storable_adif_date(value);
    else if (name == "time_on")
        m_entry.time_on = adif_time_of_day(value);
    else if (name == "time_off") {
        m_entry.time_off = adif_time_of_day(value);
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
    } else if (name == k_encoding_field) {
        m_declared_encoding = value;
        m_own_fields_escaped = says_escaped(value);
    } else if (name.starts_with(k_app_prefix)) {
        take_own(std::string_view(name).substr(k_app_prefix.size()), value);
    }
    return std::nullopt;
}

FinishedEntry ContactBuilder::finish() {
    Entry entry = std::exchange(m_entry, Entry{});
    const auto leave_out = [&](LeftOut why) {
        m_left_out.add(why);
        return FinishedEntry{std::nullopt, why, entry.any_field};
    };
    std::string call = entry.own_call ? std::move(*entry.own_call) : std::move(entry.call);
    // A call starting with "/" would make the entry a note or station data in the log.
    if (trimmed(call).empty() || call.front() == '/') return leave_out(LeftOut::no_call);
    if (!entry.date) return leave_out(LeftOut::date);
    if (!entry.time_on || (entry.has_time_off && !entry.time_off)) return leave_out(LeftOut::time);
    const auto band = imported_band_index(entry.frequency, entry.band);
    if (!band) return leave_out(LeftOut::band);

    logstore::QsoRecord contact;
    contact.date = *entry.date;
    contact.time_on = *entry.time_on;
    // A contact without an end ends when it began; one that ended at midnight keeps 00:00.
    contact.time_off = entry.has_time_off ? *entry.time_off : *entry.time_on;
    contact.call = std::move(call);
    contact.rst_sent = entry.own_rst_sent ? std::move(*entry.own_rst_sent) : std::move(entry.rst_sent);
    contact.rst_received =
        entry.own_rst_received ? std::move(*entry.own_rst_received) : std::move(entry.rst_received);
    contact.band = logstore::coded_band_field(*band);
    if (entry.own_mode)
        contact.mode = std::move(*entry.own_mode);
    else if (!entry.mode.empty() || !entry.submode.empty())
        contact.mode = stored_mode_of(entry.mode, entry.submode);
    if (entry.own_power) m_power = std::move(*entry.own_power);
    contact.power = m_power;
    contact.comment = (entry.own_comment ? *entry.own_comment : entry.comment) + m_options.extra_comment;
    contact.qsl_flags = static_cast<std::uint8_t>(k_imported_qsl_base | entry.qsl_bits);
    return {std::move(contact), LeftOut::no_call, true};
}

ImportedLog import_adif_text(std::string_view file, const ImportOptions& options,
                             const std::function<void(std::size_t)>& progress) {
    ImportedLog log;
    AdifScanner scanner(file);
    ContactBuilder builder(options);
    // Where the record being read began: after the last record's "<eor>" or the header's "<eoh>".
    std::size_t record_start = 0;
    AdifField field;
    for (int fields = 1; scanner.next(field); ++fields) {
        if (const auto finished = builder.take(field)) {
            if (finished->contact) {
                const logstore::RecordBytes record = finished->contact->encode();
                log.records.append(reinterpret_cast<const char*>(record.data()), record.size());
                ++log.entries;
            } else if (finished->had_fields) {
                log.rejected += trimmed(file.substr(record_start, scanner.position() - record_start));
                log.rejected += "\r\n";
            }
            record_start = scanner.position();
        } else if (field.name == "eoh") {
            record_start = scanner.position();
        }
        if (progress && fields % k_fields_per_report == 0) progress(scanner.position());
    }
    log.left_out = builder.left_out();
    log.without_call = log.left_out.count(LeftOut::no_call);
    log.outside_dates = log.left_out.count(LeftOut::date);
    // The records left out keep their bytes, so a file of them says what those bytes are.
    if (!builder.declared_encoding().empty())
        log.rejected_encoding = builder.declared_encoding();
    else
        log.rejected_encoding = scanner.encoding() == TextEncoding::utf8 ? "UTF-8" : "Windows-1252";
    if (progress) progress(file.size());
    return log;
}

} // namespace kestrel::exchange
