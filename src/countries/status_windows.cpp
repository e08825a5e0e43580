#include "countries/status_windows.hpp"

#include "common/side_file.hpp"
#include "countries/chart_report.hpp"
#include "countries/print_job.hpp"
#include "ui/context.hpp"

namespace kestrel::countries {

namespace {

ui::Form pale_yellow_form(std::string caption, ui::Rect frame) {
    ui::Form form;
    form.caption = std::move(caption);
    form.frame = frame;
    form.background = ui::colours::pale_yellow;
    return form;
}

void tell_not_a_country(ui::Context& ctx) {
    ctx.message("Not a DXCC country", "Country check");
}

} // namespace

ui::Form StatusChartWindow::build() const {
    ui::Form form =
        pale_yellow_form("CURRENT DXCC STATUS         Countries Worked/Confirmed", {20, 20, 250, 225});
    form.add(ui::button(k_save, "&Save", {15, 200, 35, 15}));
    form.add(ui::button(k_print, "&Print", {105, 200, 35, 15}));
    form.add(ui::button(ui::k_cancel, "E&xit", {200, 200, 35, 15}));
    return form;
}

void StatusChartWindow::on_init(ui::Context& ctx) {
    m_totals = show_chart_grid(ctx, m_env.chart, m_env.labels, 1, m_env.table.highest_country());
}

void StatusChartWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_save:
        if (!write_side_file(k_status_csv_file, status_csv(m_totals, m_env.labels)))
            ctx.message("DXSTATUS.CSV could not be written.", "Kestrel", ui::Icon::stop);
        break;
    case k_print:
        if (auto printer = choose_printer_or_tell(ctx)) {
            print_lines(*printer, status_print_lines(m_totals, m_env.labels));
            finish_printing(ctx, *printer);
        }
        break;
    case ui::k_cancel: ctx.close(0); break;
    }
}

ui::Form CountryStatusWindow::build() const {
    ui::Form form = pale_yellow_form("BANDS Worked", {20, 20, 200, 225});
    form.add(ui::label(k_prefix_label, "Country Prefix:", {5, 5, 60, 8}));
    form.add(ui::edit(k_prefix, {70, 4, 24, 10}, ui::upper_case));
    form.add(ui::button(ui::k_cancel, "E&xit", {150, 200, 30, 15}));
    return form;
}

void CountryStatusWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    if (id == ui::k_cancel) {
        ctx.close(0);
        return;
    }
    if (id != ui::k_ok) return; // Enter
    const Resolution found = m_env.table.resolve_country(ctx.text(k_prefix));
    if (found.country < 1) {
        tell_not_a_country(ctx);
        return;
    }
    const auto prefixes = m_env.table.prefixes_of_country(found.country);
    ctx.set_caption("STATUS for " + prefixes.name + ":  " + prefixes.list);
    show_chart_grid(ctx, m_env.chart, m_env.labels, found.country, found.country);
}

ui::Form CallBandsWindow::build() const {
    ui::Form form = pale_yellow_form("BANDS Worked for " + m_name, {20, 20, 200, 225});
    form.add(ui::button(ui::k_cancel, "E&xit", {150, 200, 30, 15}));
    return form;
}

void CallBandsWindow::on_init(ui::Context& ctx) {
    show_chart_grid(ctx, m_env.chart, m_env.labels, m_country, m_country);
}

void CallBandsWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (id == ui::k_cancel && notify == ui::Notify::clicked) ctx.close(0);
}

void show_status_chart(ui::Context& parent, DxccEnv env) {
    StatusChartWindow window(env);
    parent.run_modal(window);
}

void show_country_status(ui::Context& parent, DxccEnv env) {
    CountryStatusWindow window(env);
    parent.run_modal(window);
}

void show_call_bands(ui::Context& parent, DxccEnv env, const std::string& call) {
    const Resolution found = env.table.resolve_country(call);
    if (found.country < 1) {
        tell_not_a_country(parent);
        return;
    }
    CallBandsWindow window(env, found.country, env.table.row(found.row).name);
    parent.run_modal(window);
}

} // namespace kestrel::countries
