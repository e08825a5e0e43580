#pragma once

#include <optional>
#include <string_view>

namespace kestrel::exchange {

// The FREQ written for a band index: a frequency in MHz inside the amateur band the index names,
// so that another program (and the band rule of this one) puts the contact on that band. The
// bands above 1 GHz are written in MHz too (1240 for 1.2GHz); an index outside 0–19 is the
// fallback band's, as everywhere else in the program.
[[nodiscard]] std::string_view adif_frequency_of(int band_index);

// The band index of an ADIF BAND name ("20m", "70CM", "1.25cm", "2190m"): the band its lower
// edge falls in. Nothing for a text that names no ADIF band.
[[nodiscard]] std::optional<int> band_index_of_adif_band(std::string_view band_name);

// The band of a contact read from ADIF: from its FREQ when that holds a frequency, else from its
// BAND name, else from the number a BAND text starts with taken as metres, else the fallback band.
[[nodiscard]] int imported_band_index(std::string_view frequency, std::string_view band_name);

} // namespace kestrel::exchange
