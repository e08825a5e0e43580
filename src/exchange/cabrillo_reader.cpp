#include "exchange/cabrillo_reader.hpp"

#include "common/number_text.hpp"
#include "exchange/adif_bands.hpp"
#include "exchange/log_limits.hpp"
#include "logstore/field_codes.hpp"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <vector>

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

// The fields of a QSO line, wherever in the line they stood.
struct LineFields {
    std::string_view frequency;
    std::string_view mode;
    std::string_view date; // yyyy-mm-dd
    std::string_view time; // hhmm
    std::string call;
    std::string rst_sent;
    std::string rst_received;
};

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool is_date_shaped(std::string_view date) {
    return date.size() == 10 && all_digits(date.substr(0, 4), 4) && date[4] == '-' &&
           all_digits(date.substr(5, 2), 2) && date[7] == '-' && all_digits(date.substr(8, 2), 2);
}

// A field at a layout's columns when it stands there whole: a blank (or the line's start) before
// it, a blank (or the line's end) after it, and no blank inside what it holds.
std::optional<std::string> whole_field(std::string_view line, const CabrilloLayout::Field& field) {
    if (field.column == 0) return field.text;
    if (field.column < 1 || field.length <= 0) return std::nullopt;
    const auto start = static_cast<std::size_t>(field.column - 1);
    const auto end = start + static_cast<std::size_t>(field.length);
    if (start >= line.size()) return std::nullopt;
    if (start > 0 && !is_blank(line[start - 1])) return std::nullopt;
    if (end < line.size() && !is_blank(line[end])) return std::nullopt;
    const std::string_view text = trimmed(line.substr(start, static_cast<std::size_t>(field.length)));
    if (std::find_if(text.begin(), text.end(), is_blank) != text.end()) return std::nullopt;
    return std::string(text);
}

std::optional<LineFields> fields_by_columns(std::string_view line, const CabrilloLayout& layout) {
    LineFields fields;
    fields.frequency = columns(line, k_frequency_column, k_frequency_length);
    fields.mode = columns(line, k_mode_column, k_mode_length);
    fields.date = columns(line, k_date_column, k_date_length);
    fields.time = columns(line, k_time_column, k_time_length);
    if (!is_date_shaped(fields.date) || !all_digits(fields.time, 4)) return std::nullopt;
    auto call = whole_field(line, layout.call);
    auto sent = whole_field(line, layout.rst_sent);
    auto received = whole_field(line, layout.rst_received);
    if (!call || !looks_like_call(*call) || !sent || !received) return std::nullopt;
    fields.call = std::move(*call);
    fields.rst_sent = std::move(*sent);
    fields.rst_received = std::move(*received);
    return fields;
}

std::optional<LineFields> fields_by_order(std::string_view line, const CabrilloLayout& layout) {
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < line.size();) {
        while (at < line.size() && is_blank(line[at]))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && !is_blank(line[at]))
            ++at;
        if (at > start) words.push_back(line.substr(start, at - start));
    }
    // QSO: frequency mode date time our-call ...
    constexpr std::size_t k_our_call = 5;
    if (words.size() <= k_our_call + 1 || words[0] != "QSO:") return std::nullopt;
    LineFields fields;
    fields.frequency = words[1];
    fields.mode = words[2];
    fields.date = words[3];
    fields.time = words[4];
    if (!is_date_shaped(fields.date) || !all_digits(fields.time, 4)) return std::nullopt;

    // Reports before the call's column are ours and follow our call; those after it follow theirs.
    const CabrilloLayout::Field* reports[] = {&layout.rst_sent, &layout.rst_received};
    std::string* texts[] = {&fields.rst_sent, &fields.rst_received};
    std::size_t next = k_our_call + 1;
    for (std::size_t r = 0; r < 2; ++r) {
        if (reports[r]->column == 0 || reports[r]->column > layout.call.column) continue;
        if (next >= words.size()) return std::nullopt;
        *texts[r] = words[next++];
    }
    while (next < words.size() && !looks_like_call(words[next]))
        ++next;
    if (next >= words.size()) return std::nullopt;
    fields.call = words[next++];
    for (std::size_t r = 0; r < 2; ++r) {
        if (reports[r]->column == 0) *texts[r] = reports[r]->text;
        if (reports[r]->column == 0 || reports[r]->column < layout.call.column) continue;
        if (next >= words.size()) return std::nullopt;
        *texts[r] = words[next++];
    }
    return fields;
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

bool looks_like_call(std::string_view text) {
    if (text.size() < 3 || text.front() == '/') return false;
    bool letter = false;
    bool digit = false;
    for (const char c : text) {
        if (c >= 'A' && c <= 'Z')
            letter = true;
        else if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '/')
            return false;
    }
    return letter && digit;
}

QsoLine read_qso_line(std::string_view upper_line, const CabrilloLayout& layout,
                      const EntryConstants& constants) {
    auto fields = fields_by_columns(upper_line, layout);
    if (!fields) fields = fields_by_order(upper_line, layout);
    if (!fields) return {std::nullopt, LeftOut::unreadable};

    const std::string_view date = fields->date;
    const auto day = storable_day_number(value_of(date.substr(0, 4)), value_of(date.substr(5, 2)),
                                         value_of(date.substr(8, 2)));
    if (!day) return {std::nullopt, LeftOut::date};
    const auto minute =
        minute_of_day(value_of(fields->time.substr(0, 2)), value_of(fields->time.substr(2, 2)));
    if (!minute) return {std::nullopt, LeftOut::time};
    const auto band = indexed_band_of_frequency(megahertz_text(fields->frequency));
    if (!band) return {std::nullopt, LeftOut::band};

    logstore::QsoRecord q;
    q.date = *day;
    q.time_on = *minute;
    q.time_off = q.time_on;
    q.call = std::move(fields->call);
    q.rst_sent = std::move(fields->rst_sent);
    q.rst_received = std::move(fields->rst_received);
    q.band = logstore::coded_band_field(*band);
    q.mode = mode_text(fields->mode);
    q.power = constants.power;
    q.comment = constants.comment;
    q.qsl_flags = k_no_qsl;
    return {std::move(q), LeftOut::unreadable};
}

std::optional<logstore::QsoRecord> qso_of_line(std::string_view upper_line, const CabrilloLayout& layout,
                                               const EntryConstants& constants) {
    return read_qso_line(upper_line, layout, constants).entry;
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
