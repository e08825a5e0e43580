#include "exchange/adif_bands.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "logstore/field_codes.hpp"

#include <array>
#include <string>

namespace kestrel::exchange {

namespace {

// Index by index, a frequency inside the band: the band's lower edge where the edge itself is in
// the band, else a frequency well inside it (5 MHz band: 5.06 to 5.45; 5.6 GHz band: 5650 up).
constexpr std::array<std::string_view, logstore::k_band_count> k_frequencies = {
    "1.8", "3.5", "7",   "10.1", "14",   "18.068", "21",   "24.890", "28",    "50",
    "70",  "144", "430", "1240", "2300", "3400",   "5650", "10000",  "24000", "5.3",
};

struct AdifBand {
    std::string_view name;
    std::string_view lower_edge; // MHz
};

// The Band enumeration of ADIF 3.1.6 with the lower edge of each band.
constexpr AdifBand k_adif_bands[] = {
    {"2190m", "0.1357"}, {"630m", "0.472"},   {"560m", "0.501"},   {"160m", "1.8"},  {"80m", "3.5"},
    {"60m", "5.06"},     {"40m", "7.0"},      {"30m", "10.1"},     {"20m", "14.0"},  {"17m", "18.068"},
    {"15m", "21.0"},     {"12m", "24.89"},    {"10m", "28.0"},     {"8m", "40"},     {"6m", "50"},
    {"5m", "54.000001"}, {"4m", "70"},        {"2m", "144"},       {"1.25m", "222"}, {"70cm", "420"},
    {"33cm", "902"},     {"23cm", "1240"},    {"13cm", "2300"},    {"9cm", "3300"},  {"6cm", "5650"},
    {"3cm", "10000"},    {"1.25cm", "24000"}, {"6mm", "47000"},    {"4mm", "75500"}, {"2.5mm", "119980"},
    {"2mm", "134000"},   {"1mm", "241000"},   {"submm", "300000"},
};

std::string compact_lower_case(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '\t') continue;
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

} // namespace

std::string_view adif_frequency_of(int band_index) {
    if (band_index < 0 || band_index >= logstore::k_band_count) band_index = logstore::k_fallback_band;
    return k_frequencies[static_cast<std::size_t>(band_index)];
}

std::optional<int> band_index_of_adif_band(std::string_view band_name) {
    const std::string name = compact_lower_case(band_name);
    for (const AdifBand& band : k_adif_bands)
        if (band.name == name) return logstore::band_of_frequency(band.lower_edge);
    return std::nullopt;
}

int imported_band_index(std::string_view frequency, std::string_view band_name) {
    // The whole frequency decides, not its first characters: 1296.2 is 23 cm, not 2 m.
    if (leading_number(frequency) > 0) return logstore::band_of_frequency(frequency);
    if (const auto index = band_index_of_adif_band(band_name)) return *index;
    const double metres = leading_number(band_name);
    if (metres > 0) return logstore::band_of_frequency(number_text(300.0 / metres));
    return logstore::k_fallback_band;
}

} // namespace kestrel::exchange
