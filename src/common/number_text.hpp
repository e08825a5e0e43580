#pragma once

#include <charconv>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// A number written as text carries one leading blank when it is not negative, so that columns
// of signed and unsigned figures line up: number_text(12) is " 12", number_text(-3) is "-3".
template <std::integral T> [[nodiscard]] std::string number_text(T value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::string out = value < 0 ? std::string{} : std::string(" ");
    out.append(digits, end);
    return out;
}

// The shortest text that reads back as the same value (" 1.5", " 12", "-0.25").
[[nodiscard]] std::string number_text(double value);

// Integer results of divisions and conversions: to the nearest integer, halves to the even
// neighbour (2.5 gives 2, 3.5 gives 4, -2.5 gives -2). NaN gives 0; values beyond the range of
// int64 are clamped.
[[nodiscard]] std::int64_t round_half_even(double value);

// The number at the start of a text, after any leading blanks: an optional sign, digits with an
// optional decimal point and an optional exponent ("12:34" gives 12, "-1.5e2x" gives -150,
// ".5" gives 0.5). A text that does not start with a number gives 0.
[[nodiscard]] double leading_number(std::string_view text);

} // namespace kestrel
