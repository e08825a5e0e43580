#include "exchange/adif_reader.hpp"

#include "common/fixed_text.hpp"
#include "common/windows1252.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace kestrel::exchange {

namespace {

constexpr std::size_t k_none = std::string_view::npos;
// Longer names or length texts are not specifiers but text that happens to hold a '<'.
constexpr std::size_t k_longest_name = 100;
constexpr std::size_t k_longest_length_text = 32;
// A header that declares an encoding does so near the top of the file.
constexpr std::size_t k_header_search = 64 * 1024;

unsigned char byte_at(std::string_view s, std::size_t at) {
    return static_cast<unsigned char>(s[at]);
}

// Looked up rather than compared: every byte of every tag name passes here.
constexpr auto k_name_chars = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    return table;
}();
bool is_name_char(char c) {
    return k_name_chars[static_cast<unsigned char>(c)];
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
// How many of the eight bytes at `at` are ASCII before the first that is not.
std::size_t ascii_bytes_of_eight(const char* at) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, at, sizeof eight);
    const std::uint64_t high = eight & 0x8080808080808080ULL;
    if (high == 0) return sizeof eight;
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<std::size_t>(std::countr_zero(high)) / 8;
    else
        return static_cast<std::size_t>(std::countl_zero(high)) / 8;
}

// Eight bytes at a time: values are mostly short, files mostly ASCII.
bool is_ascii(std::string_view text) {
    std::size_t at = 0;
    for (std::uint64_t eight = 0; text.size() - at >= sizeof eight; at += sizeof eight) {
        std::memcpy(&eight, text.data() + at, sizeof eight);
        if ((eight & 0x8080808080808080ULL) != 0) return false;
    }
    for (; at < text.size(); ++at)
        if (static_cast<unsigned char>(text[at]) >= 0x80) return false;
    return true;
}
// Whether the bytes from `start` to `end` of the text are ASCII, eight at a time. Values are
// mostly short: one shorter than eight is checked in one step when eight bytes of the text
// follow its start.
inline bool is_ascii_in(std::string_view text, std::size_t start, std::size_t end) {
    constexpr std::size_t k_eight = sizeof(std::uint64_t);
    if (end - start < k_eight && text.size() - start >= k_eight) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, text.data() + start, k_eight);
        std::uint64_t high = eight & 0x8080808080808080ULL;
        // Only the bytes of the value count.
        const std::size_t bits = 8 * (end - start);
        if constexpr (std::endian::native == std::endian::little)
            high &= (std::uint64_t{1} << bits) - 1;
        else
            high &= ~(~std::uint64_t{0} >> bits);
        return high == 0;
    }
    return is_ascii(text.substr(start, end - start));
}

bool is_continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// utf8_length_at for a byte that is not ASCII, with the two-byte characters of the Latin
// alphabets, nearly all of them in a logbook, told here.
std::size_t multibyte_length_at(std::string_view text, std::size_t at) {
    const unsigned char lead = byte_at(text, at);
    if (lead >= 0xC2 && lead <= 0xDF && at + 1 < text.size() && is_continuation(byte_at(text, at + 1)))
        return 2;
    return utf8_length_at(text, at);
}

// The character of a well-formed multibyte UTF-8 sequence (see utf8_length_at).
char32_t code_point_of(std::string_view sequence) {
    constexpr unsigned char k_lead_bits[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t cp = byte_at(sequence, 0) & k_lead_bits[sequence.size()];
    for (std::size_t i = 1; i < sequence.size(); ++i)
        cp = (cp << 6) | (byte_at(sequence, i) & 0x3F);
    return cp;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equals_ignoring_case(std::string_view a, std::string_view lower_case) {
    if (a.size() != lower_case.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower_case[i]) return false;
    return true;
}

using Tag = AdifScanner::Tag;

// Reads the tag of the specifier whose '<' is at `at` (see next_specifier); false when that '<'
// opens none.
bool read_specifier(std::string_view file, std::size_t at, Tag& tag) {
    std::size_t p = at + 1;
    const std::size_t name_start = p;
    // One bound for both limits, so each byte of the name costs one test besides its own.
    const std::size_t name_limit = std::min(file.size(), name_start + k_longest_name + 1);
    while (p < name_limit && is_name_char(file[p]))
        ++p;
    if (p == name_start || p >= file.size() || p - name_start > k_longest_name) return false;
    const std::string_view name = file.substr(name_start, p - name_start);
    tag.at = at;
    tag.name_end = p;
    if (file[p] == '>') {
        tag.length = 0;
        tag.value_start = p + 1;
        tag.has_value = false;
        return equals_ignoring_case(name, "eor") || equals_ignoring_case(name, "eoh");
    }
    if (file[p] != ':') return false;
    ++p;
    const std::size_t length_start = p;
    bool digits = false;
    std::size_t length = 0;
    const std::size_t length_limit = std::min(file.size(), length_start + k_longest_length_text + 1);
    for (; p < length_limit; ++p) {
        const char c = file[p];
        if (is_digit(c)) {
            digits = true;
            length = std::min(length * 10 + static_cast<std::size_t>(c - '0'), file.size() + 1);
        } else if (c != ' ') {
            break;
        }
    }
    if (!digits || p >= file.size()) return false;
    if (file[p] == ':') {
        ++p;
        const std::size_t type_start = p;
        while (p < file.size() && (is_letter(file[p]) || file[p] == ' ') &&
               p - type_start <= k_longest_length_text)
            ++p;
    }
    if (p >= file.size() || file[p] != '>') return false;
    tag.length = length;
    tag.value_start = p + 1;
    tag.has_value = true;
    return true;
}

bool opens_specifier(std::string_view file, std::size_t at) {
    Tag tag;
    return read_specifier(file, at, tag);
}

// The next specifier at or after `from`, its tag read; the size of the text when there is none.
std::size_t find_specifier(std::string_view file, std::size_t from, Tag& tag) {
    for (std::size_t at = from; at < file.size(); ++at) {
        const void* found = std::memchr(file.data() + at, '<', file.size() - at);
        if (found == nullptr) break;
        at = static_cast<std::size_t>(static_cast<const char*>(found) - file.data());
        if (read_specifier(file, at, tag)) return at;
    }
    tag = Tag{};
    return file.size();
}

} // namespace

std::size_t next_specifier(std::string_view file, std::size_t from) {
    Tag tag;
    return find_specifier(file, from, tag);
}

std::size_t end_of_next_eor(std::string_view file, std::size_t from) {
    Tag tag;
    for (std::size_t at = find_specifier(file, from, tag); at < file.size();
         at = find_specifier(file, at + 1, tag)) {
        if (!tag.has_value && equals_ignoring_case(file.substr(at + 1, tag.name_end - at - 1), "eor"))
            return tag.value_start;
    }
    return k_none;
}

TextEncoding detect_encoding(std::string_view file) {
    if (file.starts_with("\xEF\xBB\xBF")) return TextEncoding::utf8;

    AdifScanner header(file.substr(0, std::min(file.size(), k_header_search)), TextEncoding::windows1252);
    for (AdifField field; header.next(field);) {
        if (field.name == "eoh" || field.name == "eor") break;
        if (field.name.find("encoding") == std::string::npos &&
            field.name.find("charset") == std::string::npos)
            continue;
        const std::string value = upper_case(field.value);
        const bool utf8 = value.find("UTF-8") != std::string::npos || value.find("UTF8") != std::string::npos;
        return utf8 ? TextEncoding::utf8 : TextEncoding::windows1252;
    }

    std::size_t multibyte = 0;
    std::size_t invalid = 0;
    for (std::size_t at = 0; at < file.size();) {
        // ASCII, nearly all of most files, is passed over 32 bytes at a time while there is
        // nothing else, then eight at a time up to the first byte that is not.
        std::uint64_t words[4];
        if (file.size() - at >= sizeof words) {
            std::memcpy(words, file.data() + at, sizeof words);
            if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ULL) == 0) {
                at += sizeof words;
                continue;
            }
        }
        if (file.size() - at >= sizeof(std::uint64_t)) {
            const std::size_t ascii = ascii_bytes_of_eight(file.data() + at);
            at += ascii;
            if (ascii == sizeof(std::uint64_t)) continue;
        } else if (byte_at(file, at) < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = multibyte_length_at(file, at);
        if (length == 0) {
            ++invalid;
            ++at;
        } else {
            ++multibyte;
            at += length;
        }
    }
    return multibyte > invalid ? TextEncoding::utf8 : TextEncoding::windows1252;
}

AdifScanner::AdifScanner(std::string_view file) : AdifScanner(file, detect_encoding(file)) {}

AdifScanner::AdifScanner(std::string_view file, TextEncoding encoding) : m_file(file), m_encoding(encoding) {}

AdifScanner::AdifScanner(std::string_view file, TextEncoding encoding, std::size_t start)
    : m_file(file), m_encoding(encoding), m_at(std::min(start, file.size())) {}

AdifScanner::AdifScanner(std::string_view file, TextEncoding encoding, ValueCounts counts)
    : m_file(file), m_encoding(encoding), m_counts(counts) {}

std::size_t AdifScanner::next_specifier_from(std::size_t start) {
    if (start < m_search_from || start > m_search_at) {
        m_search_from = start;
        m_search_at = find_specifier(m_file, start, m_found);
    }
    return m_search_at;
}

inline std::size_t AdifScanner::value_end(std::size_t start, std::size_t length) {
    if (length == 0) return start;
    const std::size_t size = m_file.size();
    // Nearly always the count of bytes leads to the next specifier, perhaps over blanks and line
    // breaks; such a count is taken whatever else holds (see `fit` below), so that is the first
    // thing tried, and the specifier read here is the one the next read starts from.
    if (length <= size - start) {
        std::size_t p = start + length;
        while (p < size && is_blank(m_file[p]))
            ++p;
        if (p == size) return start + length;
        // Read straight into m_found: a copy of a tag just written stalls the processor.
        if (m_file[p] == '<') {
            if (read_specifier(m_file, p, m_found)) {
                m_found_follows = true;
                return start + length;
            }
            m_found = Tag{};
        }
    }
    return weighed_value_end(start, length);
}

std::size_t AdifScanner::exact_value_end(std::size_t start, std::size_t length) const {
    const std::size_t size = m_file.size();
    const std::size_t by_bytes = length <= size - start ? start + length : size;
    if (m_encoding != TextEncoding::utf8 || is_ascii_in(m_file, start, by_bytes)) return by_bytes;
    std::size_t p = start;
    for (std::size_t counted = 0; counted < length && p < size; ++counted)
        p += std::max<std::size_t>(1, utf8_length_at(m_file, p));
    return std::min(p, size);
}

std::size_t AdifScanner::weighed_value_end(std::size_t start, std::size_t length) {
    // Reached only when the count of bytes does not lead to the next specifier, so an exact
    // count costs the file import nothing.
    if (m_counts == ValueCounts::exact) return exact_value_end(start, length);
    const std::size_t size = m_file.size();
    const bool utf8 = m_encoding == TextEncoding::utf8;
    const std::size_t limit = next_specifier_from(start);

    // The end by a count of bytes, none past the end of the file; in UTF-8 text also the end by
    // a count of characters, none past the next specifier (a character never spans its '<', and
    // counting no further keeps hostile lengths from costing a pass over the file each).
    const std::size_t by_bytes = length <= size - start ? start + length : k_none;
    std::size_t by_characters = by_bytes;
    // Over ASCII, characters are bytes: the count is the same either way.
    if (utf8 && !(by_bytes != k_none && by_bytes <= limit && is_ascii_in(m_file, start, start + length))) {
        std::size_t p = start;
        std::size_t counted = 0;
        for (; counted < length && p < limit; ++counted)
            p += std::max<std::size_t>(1, utf8_length_at(m_file, p));
        by_characters = counted == length ? p : k_none;
    }

    // How well an end fits: 2 when the next specifier (or the end of the file) follows, perhaps
    // after blanks and line breaks; 1 when blanks follow; 0 inside a character or a word; -1 for
    // no end at all.
    const auto fit = [&](std::size_t end) {
        if (end == k_none) return -1;
        if (utf8 && end < size && is_continuation(byte_at(m_file, end))) return 0;
        std::size_t p = end;
        while (p < size && is_blank(m_file[p]))
            ++p;
        // No specifier starts between the value and `limit`, the first one after it: only one
        // past it is read here.
        if (p == size || p == limit || (p > limit && m_file[p] == '<' && opens_specifier(m_file, p)))
            return 2;
        return p > end ? 1 : 0;
    };
    const int bytes_fit = fit(by_bytes);
    const int characters_fit = fit(by_characters);
    std::size_t end = characters_fit > bytes_fit ? by_characters : by_bytes;
    // A count that leads to the next field is right, even over text that looks like a specifier.
    if (std::max(bytes_fit, characters_fit) == 2) return end;

    if (end == k_none || end > limit) {
        // A wrong count never takes the next field: the value ends where it starts, without the
        // blanks and line breaks that stand before it.
        end = limit;
        while (end > start && is_blank(m_file[end - 1]))
            --end;
        return end;
    }
    if (utf8) {
        while (end < limit && is_continuation(byte_at(m_file, end)))
            ++end;
    }
    return end;
}

inline std::string_view AdifScanner::decode_value(std::size_t start, std::size_t end) {
    const std::string_view raw(m_file.data() + start, end - start);
    if (m_encoding != TextEncoding::utf8 || is_ascii_in(m_file, start, end)) return raw;
    return converted_value(raw);
}

std::string_view AdifScanner::converted_value(std::string_view raw) {
    // Checked and converted in one pass, into a buffer kept from value to value. In a UTF-8 file
    // a value that is not UTF-8 was written by an older program in its own code page, which is
    // ours: its bytes are kept.
    // Every character becomes one byte, so the value's size is room enough.
    m_converted.resize(raw.size());
    char* out = m_converted.data();
    for (std::size_t at = 0; at < raw.size();) {
        if (byte_at(raw, at) < 0x80) {
            *out++ = raw[at++];
            continue;
        }
        const std::size_t length = multibyte_length_at(raw, at);
        if (length == 0) return raw;
        const char32_t cp = code_point_of(raw.substr(at, length));
        // Latin-1 letters and signs are the same bytes in Windows-1252.
        *out++ = cp >= 0xA0 && cp <= 0xFF ? static_cast<char>(cp) : windows1252_byte_of(cp).value_or('?');
        at += length;
    }
    m_converted.resize(static_cast<std::size_t>(out - m_converted.data()));
    return m_converted;
}

bool AdifScanner::next(AdifField& field) {
    AdifFieldView view;
    if (!next(view)) return false;
    field.name.resize(view.name.size());
    std::transform(view.name.begin(), view.name.end(), field.name.begin(), lower);
    field.value.assign(view.value);
    return true;
}

bool AdifScanner::next(AdifFieldView& field) {
    const std::size_t size = m_file.size();
    while (m_at < size) {
        const std::size_t open = m_found_follows ? m_found.at : m_file.find('<', m_at);
        m_found_follows = false;
        if (open == k_none) break;

        // The specifier the last value's end was found by, read then: its tag is taken as read,
        // when it fits the limits below too.
        // What is needed of it is taken before the value's end is looked for, which reads the
        // next one into its place.
        const std::size_t name_end = m_found.name_end;
        const std::size_t value_start = m_found.value_start;
        const std::size_t found_length = m_found.length;
        const bool has_value = m_found.has_value;
        if (open == m_found.at && name_end - open <= k_longest_name &&
            (!has_value || value_start - 1 - (name_end + 1) <= k_longest_length_text)) {
            field.name = std::string_view(m_file.data() + open + 1, name_end - open - 1);
            if (!has_value) {
                field.value = {};
                m_at = value_start;
                return true;
            }
            const std::size_t end = value_end(value_start, found_length);
            field.value = decode_value(value_start, end);
            m_at = end;
            return true;
        }

        // The name runs to ':' or '>'; a '<' first means the earlier one was only text.
        std::size_t p = open + 1;
        while (p < size && m_file[p] != ':' && m_file[p] != '>' && m_file[p] != '<' &&
               p - open <= k_longest_name)
            ++p;
        if (p >= size) break;
        if (m_file[p] == '<' || p - open > k_longest_name) {
            m_at = m_file[p] == '<' ? p : open + 1;
            continue;
        }
        field.name = m_file.substr(open + 1, p - open - 1);
        if (m_file[p] == '>') {
            field.value = {};
            m_at = p + 1;
            return true;
        }

        // The length: the digits before an optional second ':' and the type indicator after it.
        const std::size_t length_start = ++p;
        std::size_t length = 0;
        bool in_type = false;
        while (p < size && m_file[p] != '>' && m_file[p] != '<' &&
               p - length_start <= k_longest_length_text) {
            if (m_file[p] == ':')
                in_type = true;
            else if (!in_type && is_digit(m_file[p]))
                length = std::min(length * 10 + static_cast<std::size_t>(m_file[p] - '0'), size + 1);
            ++p;
        }
        if (p >= size) break;
        if (m_file[p] == '<' || p - length_start > k_longest_length_text) {
            m_at = m_file[p] == '<' ? p : open + 1;
            continue;
        }
        const std::size_t start = p + 1;
        const std::size_t end = value_end(start, length);
        field.value = decode_value(start, end);
        m_at = end;
        return true;
    }
    m_at = size;
    return false;
}

} // namespace kestrel::exchange
