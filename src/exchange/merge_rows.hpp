#pragma once

#include "logstore/band_names.hpp"
#include "logstore/record.hpp"

#include <string>
#include <string_view>

namespace kestrel::exchange {

// The column heading over the rows, in the same fixed-pitch font.
inline constexpr std::string_view k_merge_heading =
    "  Date   M  Call Sign   Time on/off  Freq  Mde Power QSL  Comments";

// One entry of the extract log as a row of the merge list, fields at their stored width, with
// "* " after the date when the entry is marked to move: a contact as date, call, times, band,
// mode, power, QSL tag and comment; a station-data change or a note as date, "@", time and text.
[[nodiscard]] std::string merge_row(const logstore::RecordBytes& record, bool marked,
                                    const logstore::BandNameTable& names);

// A contact's row, told by the character where the others have their "@".
[[nodiscard]] bool is_contact_row(std::string_view row);

} // namespace kestrel::exchange
