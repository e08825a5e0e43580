#include "countries/country_stats_window.hpp"

#include "common/side_file.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/log_store.hpp"
#include "ui/context.hpp"

#include <cmath>

namespace kestrel::countries {

int CountryStatsWindow::scaled(int value) const {
    return static_cast<int>(std::lround(value * m_env.scale_factor));
}

ui::Form CountryStatsWindow::build() const {
    ui::Form form;
    form.caption = "KESTREL v6    Country Statistics";
    form.frame = {0, 0, scaled(316), scaled(268)};
    form.font = ui::Font{"Courier", 8};
    form.add(ui::label(k_heading, "", {10, 6, 200, 12}));
    form.add(ui::label(k_columns, std::string(k_bands_heading), {2, 18, scaled(310), 12})).visible = false;
    // The list reaches down to just above the buttons, on a small screen as on a large one.
    form.add(ui::list(k_list, {2, 32, scaled(310), scaled(245) - 35}, ui::vertical_scroll));
    const int y = scaled(245);
    form.add(ui::button(k_wanted, "&Countries Wanted", {20, y, 45, 20}, ui::multi_line));
    form.add(ui::button(k_qsls, "&QSLs Needed", {80, y, 45, 20}, ui::multi_line));
    form.add(ui::button(k_bands, "&Bands by Country", {140, y, 45, 20}, ui::multi_line));
    form.add(ui::button(k_file, "&File", {scaled(220), y, 30, 20})).enabled = false;
    form.add(ui::button(ui::k_cancel, "E&xit", {scaled(260), y, 30, 20}));
    return form;
}

void CountryStatsWindow::on_init(ui::Context&) {
    m_countries = sorted_countries(m_env.table);
}

void CountryStatsWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_wanted: {
        std::vector<std::string> lines = countries_wanted(m_countries, m_env.chart);
        const std::string heading = wanted_heading(static_cast<int>(lines.size()));
        show_list(ctx, k_wanted, heading, std::move(lines), k_wanted_file, heading);
        break;
    }
    case k_qsls: show_qsls_needed(ctx); break;
    case k_bands:
        show_list(ctx, k_bands, entities_heading(static_cast<int>(m_countries.size())),
                  bands_by_country(m_countries, m_env.chart), k_bands_file, std::string(k_bands_heading));
        break;
    case k_file: write_file(ctx); break;
    case ui::k_cancel: ctx.close(0); break;
    }
}

void CountryStatsWindow::show_list(ui::Context& ctx, int button, std::string heading,
                                   std::vector<std::string> lines, std::string file, std::string first_line) {
    ctx.show(k_columns, button == k_bands);
    ctx.set_text(k_heading, heading);
    ctx.set_items(k_list, std::move(lines));
    for (int b : {k_wanted, k_qsls, k_bands})
        ctx.enable(b, b != button);
    m_file = std::move(file);
    m_first_line = std::move(first_line);
    ctx.enable(k_file);
}

void CountryStatsWindow::show_qsls_needed(ui::Context& ctx) {
    ctx.host().wait_cursor(true);
    auto lines = qsls_needed(m_env.log, m_env.table, m_countries, m_env.chart);
    ctx.host().wait_cursor(false);
    if (!lines) {
        ctx.show(k_columns, false);
        ctx.set_text(k_heading, "");
        ctx.clear_items(k_list);
        for (int b : {k_wanted, k_qsls, k_bands})
            ctx.enable(b);
        ctx.enable(k_file, false);
        log_windows::tell_log_error(ctx, lines.error(), m_env.log.path());
        return;
    }
    const std::string heading = qsls_heading(static_cast<int>(lines->size()));
    show_list(ctx, k_qsls, heading, std::move(*lines), k_qsls_file, heading);
}

void CountryStatsWindow::write_file(ui::Context& ctx) {
    const std::string text = stats_file_text(m_first_line, ctx.control(k_list).items);
    if (!write_side_file(m_env.directory + m_file, text)) {
        // The button stays enabled, so the operator can try again once the fault is put right.
        ctx.message(m_file + " could not be written.", "Kestrel", ui::Icon::stop);
        return;
    }
    ctx.enable(k_file, false);
}

void show_country_statistics(ui::Context& parent, StatsEnv env) {
    if (!log_windows::log_selected(parent, env.log)) return;
    CountryStatsWindow window(std::move(env));
    parent.run_modal(window);
}

} // namespace kestrel::countries
