#pragma once

#include "common/result.hpp"
#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "logstore/log_error.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::countries {

// A country of the list by the name of its first line.
struct ListedCountry {
    std::string name;
    int number = 0;
};

// Every country number from 1 to the highest that a line of the list carries, sorted by name
// (then number). Numbers no line carries are no countries and are left out.
[[nodiscard]] std::vector<ListedCountry> sorted_countries(const CountryTable& table);

// The names of the countries not worked on any band in any mode.
[[nodiscard]] std::vector<std::string> countries_wanted(const std::vector<ListedCountry>& countries,
                                                        const StatusChart& chart);

// A line for each country worked but confirmed nowhere: the first contact with it in the log
// (its call field, whether a card was sent, the name of the line its call fell in), or
// "NONE FOUND  " for a country marked by hand with no contact in the log.
[[nodiscard]] Result<std::vector<std::string>, logstore::LogError>
qsls_needed(const logstore::LogStore& log, const CountryTable& table,
            const std::vector<ListedCountry>& countries, const StatusChart& chart);

// A line for each country: its name in 35 characters, then "-", "W" or "C" for each band.
[[nodiscard]] std::vector<std::string> bands_by_country(const std::vector<ListedCountry>& countries,
                                                        const StatusChart& chart);

inline constexpr std::string_view k_bands_heading =
    " Country                          160  80  40  30  20  17  15  12  10  6   4   2  70cm";
inline constexpr const char* k_wanted_file = "DXNEEDS.TXT";
inline constexpr const char* k_qsls_file = "QSLNEEDS.CSV";
inline constexpr const char* k_bands_file = "COUNTRY.TXT";

[[nodiscard]] std::string wanted_heading(int count);
[[nodiscard]] std::string qsls_heading(int count);
[[nodiscard]] std::string entities_heading(int entities);

// A statistics file: its first line, then the lines of the list, each ended by CR LF.
[[nodiscard]] std::string stats_file_text(std::string_view first_line, const std::vector<std::string>& lines);

} // namespace kestrel::countries
