#include "common/windows1252.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kestrel {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> k_high_controls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t code_point_of(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return k_high_controls[byte - 0x80];
    return byte;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char byte_of(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < k_high_controls.size(); ++i) {
        if (k_high_controls[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes one UTF-8 sequence at `at`; returns its length, or 0 when the bytes there are not a
// valid, shortest-form sequence of a scalar value.
std::size_t decode_one(std::string_view text, std::size_t at, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

// ASCII spellings of the bytes 0x80 to 0xFF, in order, sixteen to a line; none is longer than
// k_longest_ascii_spelling.
// clang-format off
constexpr std::array<std::string_view, 128> k_ascii_spellings = {
    "EUR", "?", ",", "f", ",,", "...", "+", "++", "^", "o/oo", "S", "<", "OE", "?", "Z", "?",
    "?", "'", "'", "\"", "\"", "*", "-", "-", "~", "TM", "s", ">", "oe", "?", "z", "Y",
    " ", "!", "c", "GBP", "$", "JPY", "|", "S", "\"", "(C)", "a", "<<", "-", "-", "(R)", "-",
    "deg", "+/-", "2", "3", "'", "u", "P", ".", ",", "1", "o", ">>", "1/4", "1/2", "3/4", "?",
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "x", "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "/", "o", "u", "u", "u", "u", "y", "th", "y",
};
// clang-format on
static_assert(std::ranges::all_of(k_ascii_spellings, [](std::string_view spelling) {
    return spelling.size() <= k_longest_ascii_spelling;
}));

bool is_printable(unsigned char b) {
    return b >= 0x20 && b < 0x7F;
}

} // namespace

bool is_printable_ascii(std::string_view bytes) {
    for (const char c : bytes)
        if (!is_printable(static_cast<unsigned char>(c))) return false;
    return true;
}

char* put_ascii_of_windows1252(std::string_view bytes, char* out) {
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (is_printable(b)) {
            *out++ = c;
        } else if (b < 0x80) {
            *out++ = ' '; // a control character
        } else {
            const std::string_view spelling = k_ascii_spellings[b - 0x80];
            for (const char s : spelling)
                *out++ = s;
        }
    }
    return out;
}

std::string ascii_of_windows1252(std::string_view bytes) {
    if (is_printable_ascii(bytes)) return std::string(bytes);
    std::string out(bytes.size() * k_longest_ascii_spelling, '\0');
    out.resize(static_cast<std::size_t>(put_ascii_of_windows1252(bytes, out.data()) - out.data()));
    return out;
}

std::size_t utf8_length_at(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    char32_t cp = 0;
    return decode_one(text, at, cp);
}

bool is_valid_utf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8_length_at(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::u32string code_points_of_utf8(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = decode_one(utf8, at, cp);
        out += length == 0 ? static_cast<char32_t>(static_cast<unsigned char>(utf8[at])) : cp;
        at += length == 0 ? 1 : length;
    }
    return out;
}

std::optional<char> windows1252_byte_of(char32_t code_point) {
    const char byte = byte_of(code_point);
    if (byte == '?' && code_point != U'?') return std::nullopt;
    return byte;
}

char windows1252_upper(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);
    switch (b) {
    case 0x9A: return '\x8A'; // š
    case 0x9C: return '\x8C'; // œ
    case 0x9E: return '\x8E'; // ž
    case 0xFF: return '\x9F'; // ÿ
    default: return byte;
    }
}

std::string utf8_from_windows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
    return out;
}

std::string windows1252_from_utf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        char32_t cp = 0;
        const std::size_t length = decode_one(utf8, at, cp);
        if (length == 0) {
            out += '?';
            ++at;
        } else {
            out += byte_of(cp);
            at += length;
        }
    }
    return out;
}

} // namespace kestrel
