#pragma once

#include "countries/chart_grid.hpp"

#include <string>
#include <vector>

namespace kestrel::printing {
class Printer;
}

namespace kestrel::countries {

inline constexpr const char* k_status_csv_file = "DXSTATUS.CSV";

// DXSTATUS.CSV: the title, the column names, then a line per band and one for all bands.
[[nodiscard]] std::string status_csv(const ChartTotals& totals, const BandLabels& labels);

// The printed chart, a line each: the title, the heading, then the bands in columns of ten.
[[nodiscard]] std::vector<std::string> status_print_lines(const ChartTotals& totals,
                                                          const BandLabels& labels);

// Prints those lines from half an inch in and three quarters of an inch down, in Courier New.
void print_lines(printing::Printer& printer, const std::vector<std::string>& lines);

} // namespace kestrel::countries
