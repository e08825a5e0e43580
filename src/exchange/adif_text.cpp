#include "exchange/adif_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kestrel::exchange {

namespace {

constexpr char k_hex_digits[] = "0123456789ABCDEF";

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// A power is a few watts to a few kilowatts; three decimals keep milliwatts.
std::string number_text_of(double watts) {
    const double rounded = std::round(watts * 1000.0) / 1000.0;
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, rounded, std::chars_format::fixed, 3).ptr;
    std::string text(digits, end);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

// Bytes an escaped text keeps as they are.
bool is_plain(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 && b < 0x7F && c != '%';
}

} // namespace

std::size_t escaped_app_size(std::string_view bytes) {
    // An escaped byte takes three.
    std::size_t size = bytes.size();
    for (const char c : bytes)
        if (!is_plain(c)) size += 2;
    return size;
}

char* put_escaped_app_text(std::string_view bytes, char* out) {
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (is_plain(c)) {
            *out++ = c;
        } else {
            out[0] = '%';
            out[1] = k_hex_digits[b >> 4];
            out[2] = k_hex_digits[b & 0x0F];
            out += 3;
        }
    }
    return out;
}

std::string escaped_app_text(std::string_view bytes) {
    std::string out(escaped_app_size(bytes), '%');
    (void)put_escaped_app_text(bytes, out.data());
    return out;
}

std::string unescaped_app_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%' && at + 2 < text.size() && hex_value(text[at + 1]) >= 0 &&
            hex_value(text[at + 2]) >= 0) {
            out += static_cast<char>(hex_value(text[at + 1]) * 16 + hex_value(text[at + 2]));
            at += 2;
        } else {
            out += text[at];
        }
    }
    return out;
}

bool says_escaped(std::string_view encoding_value) {
    return encoding_value.find("%XX") != std::string_view::npos;
}

std::optional<std::string> adif_power_of(std::string_view stored_power) {
    std::size_t at = 0;
    const auto decimal_point = [&](std::size_t p) {
        return p + 1 < stored_power.size() && (stored_power[p] == '.' || stored_power[p] == ',') &&
               is_digit(stored_power[p + 1]);
    };
    while (at < stored_power.size() && !is_digit(stored_power[at]) && !decimal_point(at))
        ++at;
    if (at == stored_power.size()) return std::nullopt;

    double watts = 0;
    for (; at < stored_power.size() && is_digit(stored_power[at]); ++at)
        watts = watts * 10 + (stored_power[at] - '0');
    if (decimal_point(at)) {
        double scale = 0.1;
        for (++at; at < stored_power.size() && is_digit(stored_power[at]); ++at, scale /= 10)
            watts += (stored_power[at] - '0') * scale;
    }
    while (at < stored_power.size() && stored_power[at] == ' ')
        ++at;
    if (at < stored_power.size()) {
        const char unit = stored_power[at];
        const bool watt_follows =
            at + 1 < stored_power.size() && (stored_power[at + 1] == 'W' || stored_power[at + 1] == 'w');
        if (unit == 'k' || unit == 'K') watts *= 1000;
        if (unit == 'm' && watt_follows) watts /= 1000;
    }
    return number_text_of(watts);
}

} // namespace kestrel::exchange
