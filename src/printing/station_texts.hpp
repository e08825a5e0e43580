#pragma once

#include "logstore/field_codes.hpp"
#include "printing/label_values.hpp"

#include <array>

namespace kestrel::rig {
struct StationSettings;
}

namespace kestrel::printing {

// The operator, transceiver and antenna a label names for each band when the log has no
// station-data entry for it: the station data table's row of the band (5 MHz takes 7 MHz's,
// as on the air).
using StationTable = std::array<StationTexts, logstore::k_band_count>;
[[nodiscard]] StationTable station_table_of(const rig::StationSettings& settings);
[[nodiscard]] const StationTexts& station_of_band(const StationTable& table, int band_index);

} // namespace kestrel::printing
