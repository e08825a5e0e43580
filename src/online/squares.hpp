#pragma once

#include <string>
#include <string_view>

namespace kestrel::online {

inline constexpr const char* k_squares_file = "SQUARES.EDB";
// The first line of SQUARES.EDB: the names of its fields, which the database search needs to
// open it. The file that comes with the program holds this line alone.
inline constexpr const char* k_squares_header = "SQUARE:CALL        :DATE    :";

// What Enter on a locator found in SQUARES.EDB, for the Log On that follows.
struct SquareCheck {
    enum class Status {
        none,     // no square to record
        got,      // worked before: nothing is recorded
        new_line, // not in the file: Log On adds a line
        fill_in,  // listed with no call yet: Log On fills that line in
    };
    Status status = Status::none;
    long line_start = 0; // fill_in: the byte at which that line starts (0 the first)
    std::string square;  // the square the line is about
    std::string label;   // "New", "Got" or nothing
    // What the check was made for, so that it is never credited to another contact: the call in
    // the box at the time (empty: the call typed next) and the band.
    std::string call;
    int band = -1;
};

// The square of a locator as the file keeps it: its first four characters.
[[nodiscard]] std::string_view square_of(std::string_view locator);

// Looks the square up. An empty square, or a file that is there but cannot be read, is no check
// at all; a missing file is one with no square in it yet, so the first square worked makes it. A
// line is about the square when its square field (the text before the first blank or ":") is
// exactly the square; a line with a call after its first ":" has been worked.
[[nodiscard]] SquareCheck check_square(const std::string& path, std::string_view square);

// The line that records the first contact in a square: square, two blanks, ":", the call in
// twelve places, ":", the date, ":".
[[nodiscard]] std::string square_line(std::string_view square, std::string_view call,
                                      std::string_view date_text);

// Records the contact as the check said. A listed line gets the new text over its start (the rest
// of the file kept), a new one is added at the end with CR LF; a file missing or empty is begun
// with the line of field names. False when it could not be written.
[[nodiscard]] bool record_square(const std::string& path, const SquareCheck& check, std::string_view call,
                                 std::string_view date_text);

} // namespace kestrel::online
