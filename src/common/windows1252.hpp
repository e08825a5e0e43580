#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// Texts in the log and the side files are Windows-1252 bytes; the display layer speaks UTF-8.
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) pass through
// as the control characters of the same value, so every byte string survives a round trip.
[[nodiscard]] std::string utf8_from_windows1252(std::string_view bytes);

// Characters Windows-1252 cannot hold become '?'. A byte that is not valid UTF-8 becomes '?'
// as well, and reading goes on with the next byte, so a bad byte never costs the rest of the text.
[[nodiscard]] std::string windows1252_from_utf8(std::string_view utf8);

// The bytes of the well-formed UTF-8 character at `at` (1 for ASCII); 0 when the bytes there are
// not one (a Windows-1252 letter, a stray continuation byte, an overlong or surrogate form, a
// sequence cut short by the end of the text).
[[nodiscard]] std::size_t utf8_length_at(std::string_view text, std::size_t at);
// Whether the whole text is well-formed UTF-8.
[[nodiscard]] bool is_valid_utf8(std::string_view text);

// The characters of a UTF-8 text; a byte that is not valid UTF-8 stands for itself.
[[nodiscard]] std::u32string code_points_of_utf8(std::string_view utf8);

// The Windows-1252 byte of a character, or nothing when the code page cannot hold it.
[[nodiscard]] std::optional<char> windows1252_byte_of(char32_t code_point);

// The text in printable ASCII, for files whose readers take nothing else: letters lose their
// accents (é e, ü u, Ø O), ligatures and signs are spelt out (ß ss, Æ AE, € EUR, © (C)), control
// characters become blanks and the five undefined bytes '?'. The exact text has to be kept
// elsewhere when it matters.
[[nodiscard]] std::string ascii_of_windows1252(std::string_view bytes);
// The same written at `out`, which has room for k_longest_ascii_spelling bytes for each byte of
// `bytes`; the end of what was written.
inline constexpr std::size_t k_longest_ascii_spelling = 4;
[[nodiscard]] char* put_ascii_of_windows1252(std::string_view bytes, char* out);
// Whether every byte is printable ASCII (blank to '~'), so the text needs no transliteration.
[[nodiscard]] bool is_printable_ascii(std::string_view bytes);

// A letter of Windows-1252 as a capital, the way the system's upper-case edit boxes do it
// (e, é, š, ÿ become E, É, Š, Ÿ; ß and µ have no capital in the code page and stay).
[[nodiscard]] char windows1252_upper(char byte);

} // namespace kestrel
