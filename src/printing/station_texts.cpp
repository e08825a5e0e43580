#include "printing/station_texts.hpp"

#include "rig/station_settings.hpp"

namespace kestrel::printing {

StationTable station_table_of(const rig::StationSettings& settings) {
    StationTable table;
    for (int band = 0; band < logstore::k_band_count; ++band) {
        const rig::StationRow& row = settings.row_for_band(band);
        table[static_cast<std::size_t>(band)] = {row.operator_name, row.transceiver, row.antenna};
    }
    return table;
}

const StationTexts& station_of_band(const StationTable& table, int band_index) {
    if (band_index < 0 || band_index >= logstore::k_band_count) band_index = logstore::k_fallback_band;
    return table[static_cast<std::size_t>(band_index)];
}

} // namespace kestrel::printing
