#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

// Record fields and many side-file columns are fixed width: the text is cut to the width and
// padded on the right with spaces. Displays and comparisons drop the padding again.
[[nodiscard]] std::string fixed_width(std::string_view text, std::size_t width);
[[nodiscard]] std::string_view trim_trailing_spaces(std::string_view text);
// The text without the blanks, tabs and line ends at either end.
[[nodiscard]] std::string_view trim_blanks(std::string_view text);

// Every occurrence of `from` in the text replaced by `to`, left to right.
void replace_all(std::string& text, std::string_view from, std::string_view to);

// Upper case for the ASCII letters only; other bytes (Windows-1252 accents among them) are kept.
[[nodiscard]] std::string upper_case(std::string_view text);

} // namespace kestrel
