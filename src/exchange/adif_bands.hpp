#pragma once

#include <optional>
#include <string_view>

namespace kestrel::exchange {

// The FREQ written for a band index: a frequency in MHz inside the amateur band the index names,
// so that another program (and the band rule of this one) puts the contact on that band. The
// bands above 1 GHz are written in MHz too (1240 for 1.2GHz); an index outside 0–19 is the
// fallback band's, as everywhere else in the program.
[[nodiscard]] std::string_view adif_frequency_of(int band_index);

// The band index of a frequency in MHz, when it lies in a band the log has an index for; nothing
// for one outside them (2190 m, 630 m, 8 m, 222 MHz, 902 MHz, 6 mm, or no amateur band at all),
// which the log could only put on a wrong band.
[[nodiscard]] std::optional<int> indexed_band_of_mhz(double mhz);
// The same for a frequency text in MHz, where a "G" anywhere means GHz ("10G", "1.2GHz"); nothing
// for a text that holds no frequency.
[[nodiscard]] std::optional<int> indexed_band_of_frequency(std::string_view frequency_text);

// The ADIF band a BAND name ("20m", "70CM", "1.25cm", "2190m") names, as a band index of the log,
// or -1 for an ADIF band the log has no index for. Nothing for a text that names no ADIF band.
[[nodiscard]] std::optional<int> band_index_of_adif_band(std::string_view band_name);

// The band of a contact read from ADIF: from its FREQ when that lies in a band of the log, else
// from its BAND name (a bare number taken as metres: "20" is 20m). Nothing when neither names a
// band the log has an index for, or when the contact names no band at all.
[[nodiscard]] std::optional<int> imported_band_index(std::string_view frequency, std::string_view band_name);

} // namespace kestrel::exchange
