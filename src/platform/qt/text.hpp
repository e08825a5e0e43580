#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::platform {

// Texts of the program are Windows-1252 bytes; paths chosen in dialogs are the system's
// bytes (UTF-8). A text that is valid UTF-8 is shown as such, anything else as Windows-1252,
// so both a path and a record text from an old log read right on screen.
QString to_qt(std::string_view text);
// A text box's text: always Windows-1252, byte for character, so what the operator edits goes
// back byte for byte (a record text that happens to look like UTF-8 stays as it was).
QString box_text(std::string_view windows1252);
// What the operator typed, as Windows-1252 (characters it cannot hold become '?').
std::string from_qt(const QString& text);
// The operator's text as Windows-1252, or nothing when a character has no place in it.
std::optional<std::string> exact_windows1252(const QString& text);
// A path as the system's bytes.
std::string path_from_qt(const QString& path);

} // namespace kestrel::platform
