#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::notepad {

inline constexpr const char* k_notepad_file = "NOTEPAD.TXT";

// The line that heads each saved note: the UTC date as the log shows it, three blanks and the
// time, "24-12-25   18:05", ended by CR LF.
[[nodiscard]] std::string stamp_line(std::chrono::system_clock::time_point utc);

// A note as the file keeps it: every line ended by CR LF, whatever line ends the box gave, and
// the last one too, so that the next note's stamp starts a line of its own. Empty stays empty.
[[nodiscard]] std::string note_text(std::string_view box_text);

enum class SaveMode {
    append,  // after the notes already there (the file is made when absent)
    replace, // the file becomes this note alone, in one go
};

// Writes a stamp line and a note. Appending to a file whose last line has no line end (a note
// written by another program) starts a new line first. False when it could not be written; the
// file is then as it was, or at worst longer by part of this note.
[[nodiscard]] bool save_note(const std::string& path, std::string_view stamp, std::string_view note,
                             SaveMode mode);

} // namespace kestrel::notepad
