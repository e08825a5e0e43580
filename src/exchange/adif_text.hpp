#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::exchange {

// ADIF text fields are printable ASCII, and strict readers refuse a file for one byte outside it.
// Our export therefore writes every text in ASCII, and where that loses anything (an accent, a
// blank inside a report, a power's unit, a mode ADIF has no name for) it adds the stored text in
// a field of our own that other programs pass over and our import reads back instead.

// Our own fields: "app_kestrel_" and the name of the ADIF field they stand beside.
inline constexpr std::string_view k_app_prefix = "app_kestrel_";

// The header field that says how our own fields are written, and what our export puts in it:
// Windows-1252 bytes, each byte outside printable ASCII and each '%' written as '%' and two hex
// digits. An import that finds it decodes our fields so; the ADIF fields are ASCII anyway.
inline constexpr std::string_view k_encoding_field = "app_kestrel_encoding";
inline constexpr std::string_view k_escaped_windows1252 = "Windows-1252, %XX";

[[nodiscard]] std::string escaped_app_text(std::string_view bytes);
// The same written at `out`, which has room for escaped_app_size(bytes); the end of what was
// written.
[[nodiscard]] std::size_t escaped_app_size(std::string_view bytes);
[[nodiscard]] char* put_escaped_app_text(std::string_view bytes, char* out);
// The bytes again; a '%' without two hex digits after it stands for itself.
[[nodiscard]] std::string unescaped_app_text(std::string_view text);

// Whether a header's encoding field says our fields are escaped.
[[nodiscard]] bool says_escaped(std::string_view encoding_value);

// TX_PWR of a stored power text: the watts as a plain number ("100W" 100, "1 kW" 1000,
// "1,5kW" 1500, "500mW" 0.5, "5" 5). Nothing for a text without a number ("QRP", blank).
[[nodiscard]] std::optional<std::string> adif_power_of(std::string_view stored_power);

} // namespace kestrel::exchange
