#include "exchange/cabrillo_reader.hpp"

#include "common/number_text.hpp"
#include "logstore/dates.hpp"
#include "logstore/field_codes.hpp"

#include <cfloat>
#include <charconv>

namespace kestrel::exchange {

namespace {

// Columns every Cabrillo QSO line shares (1-based, as the format describes them).
constexpr int k_frequency_column = 6, k_frequency_length = 5;
constexpr int k_mode_column = 12, k_mode_length = 2;
constexpr int k_date_column = 15, k_date_length = 10; // yyyy-mm-dd
constexpr int k_time_column = 26, k_time_length = 4;  // hhmm

constexpr std::uint8_t k_no_qsl = '0';

std::string_view columns(std::string_view line, int column, int length) {
    const auto start = static_cast<std::size_t>(column - 1);
    if (start >= line.size()) return {};
    return line.substr(start, static_cast<std::size_t>(length));
}

bool all_digits(std::string_view text, std::size_t length) {
    if (text.size() != length) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int value_of(std::string_view digits) {
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

// "dd-mm-yy" of the date columns, when they hold a date the log can keep.
std::optional<std::string> date_text(std::string_view line) {
    const std::string_view date = columns(line, k_date_column, k_date_length);
    if (date.size() != 10) return std::nullopt;
    const std::string_view year = date.substr(0, 4), month = date.substr(5, 2), day = date.substr(8, 2);
    if (!all_digits(year, 4) || !all_digits(month, 2) || !all_digits(day, 2)) return std::nullopt;
    // Two-digit years stand for 1930 to 2029; any other century would come back wrong.
    const int y = value_of(year), m = value_of(month), d = value_of(day);
    if (y < 1930 || y > 2029 || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
    std::string text = std::string(day) + "-" + std::string(month) + "-" + std::string(year.substr(2));
    if (!logstore::is_storable_date(text)) return std::nullopt;
    return text;
}

std::optional<std::string> time_text(std::string_view line) {
    const std::string_view time = columns(line, k_time_column, k_time_length);
    if (!all_digits(time, 4) || value_of(time.substr(0, 2)) > 23 || value_of(time.substr(2)) > 59)
        return std::nullopt;
    return std::string(time);
}

// A frequency in the single precision the band lookup was made for, seven significant digits.
std::string single_precision_text(float value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 7).ptr;
    std::string out = value < 0 ? std::string{} : std::string(" ");
    out.append(digits, end);
    return out;
}

float as_single(double value) {
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

} // namespace

CabrilloLine kind_of_line(std::string_view upper_line) {
    if (upper_line.substr(0, 8) == "CONTEST:") return CabrilloLine::contest;
    if (upper_line.substr(0, 4) == "QSO:") return CabrilloLine::qso;
    return CabrilloLine::other;
}

std::string contest_name_of(std::string_view upper_line) {
    std::string_view name = upper_line.substr(std::min<std::size_t>(8, upper_line.size()));
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!name.empty() && blank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && blank(name.back()))
        name.remove_suffix(1);
    return std::string(name);
}

std::string megahertz_text(std::string_view frequency_columns) {
    const float f = as_single(leading_number(frequency_columns));
    if (f > 1700.0f) return single_precision_text(f / 1000.0f);
    if (f < 6.0f) return single_precision_text(f * 1000.0f);
    return std::string(frequency_columns);
}

std::string mode_text(std::string_view mode_columns) {
    if (mode_columns == "PH") return "SSB";
    if (mode_columns == "RY") return "RTY";
    return std::string(mode_columns);
}

std::optional<logstore::QsoRecord> qso_of_line(std::string_view upper_line, const CabrilloLayout& layout,
                                               const EntryConstants& constants) {
    const auto date = date_text(upper_line);
    const auto time = time_text(upper_line);
    if (!date || !time) return std::nullopt;

    logstore::QsoRecord q;
    q.date = logstore::day_number_of(*date);
    q.time_on = logstore::minute_of(*time);
    q.time_off = q.time_on;
    q.call = field_text(upper_line, layout.call);
    // A call field starting with "/" marks a note or station data in the log, never a contact.
    if (q.call.starts_with('/')) return std::nullopt;
    q.rst_sent = field_text(upper_line, layout.rst_sent);
    q.rst_received = field_text(upper_line, layout.rst_received);
    const std::string frequency = megahertz_text(columns(upper_line, k_frequency_column, k_frequency_length));
    q.band = logstore::coded_band_field(logstore::band_of_frequency(frequency));
    q.mode = mode_text(columns(upper_line, k_mode_column, k_mode_length));
    q.power = constants.power;
    q.comment = constants.comment;
    q.qsl_flags = k_no_qsl;
    return q;
}

void LineSplitter::feed(std::string_view piece, const LineFn& on_line) {
    for (char c : piece) {
        if (c == '\n' && m_after_cr) {
            m_after_cr = false;
            continue;
        }
        m_after_cr = c == '\r';
        if (c == '\r' || c == '\n') {
            on_line(m_line);
            m_line.clear();
            m_has_text = false;
            continue;
        }
        m_has_text = true;
        if (m_line.size() < k_kept_bytes) m_line += c;
    }
}

void LineSplitter::finish(const LineFn& on_line) {
    if (m_has_text) on_line(m_line);
    m_line.clear();
    m_has_text = false;
    m_after_cr = false;
}

} // namespace kestrel::exchange
