#include "countries/chart_grid.hpp"

#include "ui/context.hpp"

namespace kestrel::countries {

namespace {

const ui::Font k_grid_font{"Courier", 8};
constexpr int k_first_rule = 590;

ui::Control grid_label(int id, std::string text, ui::Rect rect) {
    ui::Control c = ui::label(id, std::move(text), rect);
    c.font = k_grid_font;
    c.foreground = ui::colours::black;
    return c;
}

ui::Control rule(int id, ui::Rect rect) {
    ui::Control c = ui::label(id, "", rect);
    c.background = ui::colours::black;
    return c;
}

void make_grid(ui::Context& ctx, const BandLabels& labels, bool full) {
    const int down = full ? 0 : 20;
    const int label_rows = full ? 15 : 14;
    for (int r = 0; r < label_rows; ++r) {
        std::string text = labels[static_cast<std::size_t>(r)];
        if (r == 0 && full) text += "    TOTALS";
        const int y = 12 * r + 5 + down + (r == 14 ? 5 : 0);
        ctx.add_control(grid_label(k_first_grid_label + r, text, {10, y, r == 0 ? 220 : 20, 8}));
    }
    const int rows = full ? ChartTotals::rows : k_chart_bands;
    const int columns = full ? ChartTotals::columns : k_mode_classes;
    for (int b = 0; b < rows; ++b) {
        for (int m = 0; m < columns; ++m) {
            const int y = 12 * (b + 1) + 5 + down + (b == 13 ? 5 : 0);
            ctx.add_control(grid_label(k_first_grid_cell + columns * b + m, "", {44 + 40 * m, y, 30, 8}));
        }
    }
    ctx.add_control(rule(k_first_rule, {10, 14 + down, full ? 230 : 185, 1}));
    if (full) {
        ctx.add_control(rule(k_first_rule + 1, {10, 173, 230, 1}));
        ctx.add_control(rule(k_first_rule + 2, {10, 188, 230, 1}));
        ctx.add_control(rule(k_first_rule + 3, {197, 14, 1, 174}));
    }
}

} // namespace

ChartTotals show_chart_grid(ui::Context& ctx, const StatusChart& chart, const BandLabels& labels, int first,
                            int last) {
    const bool full = first != last;
    const ChartTotals totals = tally_chart(chart, first, last);
    if (!ctx.exists(k_first_grid_cell)) make_grid(ctx, labels, full);
    const int rows = full ? ChartTotals::rows : k_chart_bands;
    const int columns = full ? ChartTotals::columns : k_mode_classes;
    for (int b = 0; b < rows; ++b)
        for (int m = 0; m < columns; ++m)
            ctx.set_text(k_first_grid_cell + columns * b + m,
                         cell_text(totals.worked[b][m], totals.confirmed[b][m]));
    return totals;
}

} // namespace kestrel::countries
