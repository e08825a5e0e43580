#pragma once

#include <QImage>

namespace kestrel::draw_bitmaps {

// The on-line window's UTC clock is built from these tiles, side by side on a
// black panel: four digits and a colon that blinks by swapping in a blank.
inline constexpr int k_digit_width = 15;
inline constexpr int k_digit_height = 28;
inline constexpr int k_colon_width = 3;

// A seven-segment digit 0 to 9.
[[nodiscard]] QImage draw_clock_digit(int digit);
// The colon between hours and minutes.
[[nodiscard]] QImage draw_clock_colon();
// The colon's place with nothing lit, for the off half of the blink.
[[nodiscard]] QImage draw_clock_blank();

} // namespace kestrel::draw_bitmaps
