#pragma once

#include "countries/status_chart.hpp"

#include <array>
#include <string>

namespace kestrel::ui {
class Context;
}

namespace kestrel::countries {

// The row labels the shell prepares at start-up: the heading, the thirteen bands, " ALL ", blank.
using BandLabels = std::array<std::string, 16>;

// The labels as the program shows them.
[[nodiscard]] inline BandLabels standard_band_labels() {
    return {"Band      CW        SSB       FM       OTHER",
            " 160 ",
            "  80 ",
            "  40 ",
            "  30 ",
            "  20 ",
            "  17 ",
            "  15 ",
            "  12 ",
            "  10 ",
            "   6 ",
            "   4 ",
            "   2 ",
            "70cm ",
            " ALL ",
            "     "};
}

// Control numbers of a grid: labels from 600, cells from 650 (650 + columns × band + mode).
inline constexpr int k_first_grid_label = 600;
inline constexpr int k_first_grid_cell = 650;

// Counts countries first to last and shows the totals as a grid in the window: the full chart
// (all bands and all modes too) when first and last differ, one country's bands otherwise. The
// grid's controls are made the first time; after that only their texts change.
ChartTotals show_chart_grid(ui::Context& ctx, const StatusChart& chart, const BandLabels& labels, int first,
                            int last);

} // namespace kestrel::countries
