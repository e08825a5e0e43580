#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::exchange {

inline constexpr std::string_view k_layout_file = "CABRILLO.FRM";

// Where one contest's Cabrillo QSO lines keep the worked station's call and the two reports.
// Date, time, frequency and mode stand in the columns every Cabrillo QSO line shares.
//
// CABRILLO.FRM holds one layout a line, seven items parted by commas (the program's usual item
// reading: leading blanks skipped, double quotes removed, numbers read from the start of the item):
//   contest name, call column, call length, RST-sent column, RST-sent length,
//   RST-received column, RST-received length
// Columns count from 1. A report column of 0 makes the item after it a fixed report text given to
// every entry. A line is taken for a contest when the contest name occurs anywhere in it, as it
// stands, so the names are written in capitals.
struct CabrilloLayout {
    struct Field {
        int column = 0; // 0: the text below for every entry
        int length = 0;
        std::string text;
    };
    Field call; // a column and a length: a call is never a fixed text
    Field rst_sent;
    Field rst_received;
};

// The layout of one line of CABRILLO.FRM (its first item, the contest name, is not needed).
[[nodiscard]] CabrilloLayout parse_layout_line(std::string_view line);

// The layout of the first line of the file's bytes that contains the contest name; nothing when
// no line does, or when the name is empty.
[[nodiscard]] std::optional<CabrilloLayout> find_layout(std::string_view file_bytes,
                                                        std::string_view contest);

// The text a layout field takes from a QSO line: the columns it names, as far as the line goes
// (nothing for a column before the line or past its end), or its fixed text.
[[nodiscard]] std::string field_text(std::string_view line, const CabrilloLayout::Field& field);

} // namespace kestrel::exchange
