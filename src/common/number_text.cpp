#include "common/number_text.hpp"

#include <cmath>
#include <limits>
#include <string>

namespace kestrel {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skip_digits(std::string_view text, std::size_t at) {
    while (at < text.size() && is_digit(text[at]))
        ++at;
    return at;
}

} // namespace

std::string number_text(double value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::string out = std::signbit(value) ? std::string{} : std::string(" ");
    out.append(digits, end);
    return out;
}

std::int64_t round_half_even(double value) {
    if (std::isnan(value)) return 0;
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit) return std::numeric_limits<std::int64_t>::max();
    if (value < -limit) return std::numeric_limits<std::int64_t>::min();
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double rounded = lower;
    if (fraction > 0.5) {
        rounded = lower + 1.0;
    } else if (fraction == 0.5) {
        rounded = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    }
    if (rounded >= limit) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(rounded);
}

double leading_number(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;

    std::size_t at = start;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::size_t mantissa = at;
    std::size_t end = skip_digits(text, at);
    bool any_digit = end > at;
    if (end < text.size() && text[end] == '.') {
        const std::size_t after_point = skip_digits(text, end + 1);
        any_digit = any_digit || after_point > end + 1;
        end = after_point;
    }
    if (!any_digit) return 0.0;

    // An exponent counts only when digits follow it: "2E" is 2, "2E3" is 2000.
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        const std::size_t exponent_end = skip_digits(text, exponent);
        if (exponent_end > exponent) end = exponent_end;
    }

    double magnitude = 0.0;
    const auto [ptr, error] =
        std::from_chars(text.data() + mantissa, text.data() + end, magnitude, std::chars_format::general);
    (void)ptr;
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: keep the direction the text meant.
        const bool tiny = text.substr(mantissa, end - mantissa).find("e-") != std::string_view::npos ||
                          text.substr(mantissa, end - mantissa).find("E-") != std::string_view::npos;
        magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc{}) {
        return 0.0;
    }
    return negative ? -magnitude : magnitude;
}

} // namespace kestrel
