#include "exchange/adif_bands.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "logstore/field_codes.hpp"

#include <array>
#include <cstdint>
#include <string>

namespace kestrel::exchange {

namespace {

// Index by index, a frequency inside the band: the band's lower edge where the edge itself is in
// the band, else a frequency well inside it (5 MHz band: 5.06 to 5.45; 5.6 GHz band: 5650 up).
constexpr std::array<std::string_view, logstore::k_band_count> k_frequencies = {
    "1.8", "3.5", "7",   "10.1", "14",   "18.068", "21",   "24.890", "28",    "50",
    "70",  "144", "430", "1240", "2300", "3400",   "5650", "10000",  "24000", "5.3",
};

constexpr int k_no_index = -1;

struct AdifBand {
    std::string_view name;
    double lower; // MHz
    double upper;
    int index; // the log's band index, k_no_index for a band it has no place for
};

// The Band enumeration of ADIF 3.1.7 with its edges, and where each lies in the log.
constexpr AdifBand k_adif_bands[] = {
    {"2190m", 0.1357, 0.1378, k_no_index},
    {"630m", 0.472, 0.479, k_no_index},
    {"560m", 0.501, 0.504, k_no_index},
    {"160m", 1.8, 2.0, 0},
    {"80m", 3.5, 4.0, 1},
    {"60m", 5.06, 5.45, 19},
    {"40m", 7.0, 7.3, 2},
    {"30m", 10.1, 10.15, 3},
    {"20m", 14.0, 14.35, 4},
    {"17m", 18.068, 18.168, 5},
    {"15m", 21.0, 21.45, 6},
    {"12m", 24.89, 24.99, 7},
    {"10m", 28.0, 29.7, 8},
    {"8m", 40, 45, k_no_index},
    {"6m", 50, 54, 9},
    {"5m", 54.000001, 69.9, k_no_index},
    {"4m", 70, 71, 10},
    {"2m", 144, 148, 11},
    {"1.25m", 222, 225, k_no_index},
    {"70cm", 420, 450, 12},
    {"33cm", 902, 928, k_no_index},
    {"23cm", 1240, 1300, 13},
    {"13cm", 2300, 2450, 14},
    {"9cm", 3300, 3500, 15},
    {"6cm", 5650, 5925, 16},
    {"3cm", 10000, 10500, 17},
    {"1.25cm", 24000, 24250, 18},
    {"6mm", 47000, 47200, k_no_index},
    {"4mm", 75500, 81000, k_no_index},
    {"2.5mm", 119980, 123000, k_no_index},
    {"2mm", 134000, 149000, k_no_index},
    {"1mm", 241000, 250000, k_no_index},
    {"submm", 300000, 7500000, k_no_index},
};

// The log's own names of two microwave bands start below the ADIF edges ("1.2GHz", "5.6GHz"), and
// files this program once wrote give those frequencies: they stay on their bands.
struct Stretch {
    double lower;
    double upper;
    int index;
};
constexpr Stretch k_own_band_names[] = {{1200, 1240, 13}, {5600, 5650, 16}};

std::string compact_lower_case(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '\t') continue;
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

// The value of a text of digits with at most one '.' after the first of them ("14.074"), as
// nearly every frequency is written, when it has at most 15 digits; nothing for any other text.
// Such digits make an integer a double holds exactly, and so does the power of ten that scales
// it: one division, rounded as every division is, gives the double nearest the text, as the
// general reading of numbers does.
std::optional<double> plain_decimal(std::string_view text) {
    constexpr std::size_t k_most_digits = 15;
    constexpr double k_powers_of_ten[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (text.empty() || text.size() > k_most_digits + 1 || text[0] < '0' || text[0] > '9')
        return std::nullopt;
    std::int64_t digits = 0;
    std::size_t point = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digits = digits * 10 + (c - '0');
        else if (c == '.' && point == text.size())
            point = i;
        else
            return std::nullopt;
    }
    if (point == text.size() && text.size() > k_most_digits) return std::nullopt;
    const std::size_t decimals = point == text.size() ? 0 : text.size() - point - 1;
    return static_cast<double>(digits) / k_powers_of_ten[decimals];
}

} // namespace

std::string_view adif_frequency_of(int band_index) {
    if (band_index < 0 || band_index >= logstore::k_band_count) band_index = logstore::k_fallback_band;
    return k_frequencies[static_cast<std::size_t>(band_index)];
}

std::optional<int> indexed_band_of_mhz(double mhz) {
    for (const AdifBand& band : k_adif_bands)
        if (mhz >= band.lower && mhz <= band.upper && band.index != k_no_index) return band.index;
    for (const Stretch& stretch : k_own_band_names)
        if (mhz >= stretch.lower && mhz < stretch.upper) return stretch.index;
    return std::nullopt;
}

std::optional<int> indexed_band_of_frequency(std::string_view frequency_text) {
    double mhz = 0;
    if (const auto plain = plain_decimal(frequency_text)) {
        mhz = *plain;
    } else {
        mhz = leading_number(frequency_text);
        if (frequency_text.find_first_of("Gg") != std::string_view::npos) mhz *= 1000;
    }
    if (!(mhz > 0)) return std::nullopt;
    return indexed_band_of_mhz(mhz);
}

std::optional<int> band_index_of_adif_band(std::string_view band_name) {
    const std::string name = compact_lower_case(band_name);
    for (const AdifBand& band : k_adif_bands)
        if (band.name == name) return band.index;
    return std::nullopt;
}

std::optional<int> imported_band_index(std::string_view frequency, std::string_view band_name) {
    // The whole frequency decides, not its first characters: 1296.2 is 23 cm, not 2 m.
    if (const auto index = indexed_band_of_frequency(frequency)) return index;
    auto named = band_index_of_adif_band(band_name);
    if (!named && !band_name.empty()) named = band_index_of_adif_band(std::string(band_name) + "m");
    if (named && *named != k_no_index) return named;
    return std::nullopt;
}

} // namespace kestrel::exchange
