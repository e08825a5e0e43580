#include "logstore/band_names.hpp"

#include <string_view>

namespace kestrel::logstore {

namespace {

constexpr std::array<std::string_view, k_band_count> k_names = {
    "1.8MHz", "3.5MHz", "7MHz  ", "10MHz ", "14MHz ", "18MHz ", "21MHz ", "24MHz ", "28MHz ", "50MHz ",
    "70MHz ", "144MHz", "430MHz", "1.2GHz", "2.3GHz", "3.4GHz", "5.6GHz", "10GHz ", "24GHz ", "5MHz  ",
};

} // namespace

const std::string& BandNameTable::name(int band_index) const {
    if (band_index < 0 || band_index >= k_band_count) return m_names[k_fallback_band];
    return m_names[static_cast<std::size_t>(band_index)];
}

const std::string& BandNameTable::name_or_blank(int band_index) const {
    if (band_index < 0 || band_index >= k_band_count) return m_with_blank[k_band_count];
    return m_with_blank[static_cast<std::size_t>(band_index)];
}

BandNameTable load_band_names() {
    BandNameTable table;
    for (std::size_t i = 0; i < k_names.size(); ++i) {
        table.m_names[i] = std::string(k_names[i]);
        table.m_with_blank[i] = std::string(k_names[i]);
    }
    return table;
}

} // namespace kestrel::logstore
