#pragma once

#include "logstore/band_names.hpp"
#include "logstore/record.hpp"

#include <string>
#include <string_view>

namespace kestrel::browse {

// Every page line starts with this character, which is never drawn.
inline constexpr char k_line_mark = '\xFF';

// The column heading, laid over the lines in the same fixed-pitch font.
inline constexpr std::string_view k_page_heading =
    "  Date    Call Sign   Time on/off  Freq  Mde Power  RST rx  RST tx QSL  Comments";

// One record as a page line, fields at their stored width: a contact (CQ calls too) as date,
// call, times, band, mode, power, reports, QSL tag and comment; a note or station-data change as
// its date, "@", its time and its text.
[[nodiscard]] std::string page_line(const logstore::RecordBytes& record,
                                    const logstore::BandNameTable& names);

// The text a line shows: without its mark.
[[nodiscard]] std::string_view visible_text(std::string_view line);

// A contact's line, told by the character where the others have their "@".
[[nodiscard]] bool is_contact_line(std::string_view visible);

} // namespace kestrel::browse
