#include "countries/log_check_window.hpp"

#include "common/number_text.hpp"
#include "countries/call_correction_window.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/log_store.hpp"
#include "ui/context.hpp"

namespace kestrel::countries {

namespace {
const ui::Font k_courier{"Courier", 8};
}

ui::Form LogCheckWindow::build() const {
    ui::Form form;
    form.caption = "DXCC Log Check";
    form.frame = {20, 20, 250, 230};
    form.font = k_courier;
    form.background = ui::colours::pale_yellow;
    form.add(ui::button(k_check, "Check", {50, 195, 30, 25}));
    form.add(ui::button(k_save, "&Save  + Exit", {114, 195, 30, 25}, ui::multi_line)).enabled = false;
    form.add(ui::button(ui::k_cancel, "E&xit", {200, 195, 30, 25}));
    return form;
}

void LogCheckWindow::on_init(ui::Context&) {
    m_rebuilt = m_env.chart;
}

void LogCheckWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_check: check(ctx); break;
    case k_save:
        m_env.chart = m_rebuilt;
        ctx.close(k_save);
        break;
    case ui::k_cancel: ctx.close(0); break; // the program's chart was never touched
    }
}

void LogCheckWindow::check(ui::Context& ctx) {
    ctx.enable(k_save, false);
    LogCheckResult result;
    CheckingLogWindow progress(m_env, m_rebuilt, result);
    ctx.run_modal(progress);
    if (result.error) {
        // Part of the log was not checked: that chart is not one to keep.
        log_windows::tell_log_error(ctx, *result.error, m_env.log.path());
        return;
    }
    if (result.stopped_asking)
        ctx.message(number_text(result.left_unrecognised) +
                        " entries with an unrecognised prefix were left as they are and not counted.",
                    "Unrecognised prefix", ui::Icon::information);
    show_chart_grid(ctx, m_rebuilt, m_env.labels, 1, m_env.table.highest_country());
    ctx.enable(k_save);
}

ui::Form CheckingLogWindow::build() const {
    ui::Form form;
    form.caption = "Checking Log";
    form.frame = {50, 100, 200, 40};
    form.font = k_courier;
    ui::Control& bar = form.add(ui::progress(k_bar, {5, 12, 190, 12}));
    bar.maximum = k_bar_width;
    bar.foreground = ui::colours::blue;
    bar.background = ui::colours::white;
    return form;
}

void CheckingLogWindow::on_init(ui::Context& ctx) {
    // The check starts once the window is on screen.
    ctx.post(k_start);
}

void CheckingLogWindow::on_command(ui::Context& ctx, int id, ui::Notify) {
    if (id != k_start) return;
    LogCheckHooks hooks;
    hooks.progress = [&](int done, int total) {
        const int width =
            total > 0 ? static_cast<int>(round_half_even(k_bar_width * (done / double(total)))) : 0;
        if (width == m_shown) return;
        m_shown = width;
        ctx.set_progress(k_bar, width);
    };
    hooks.correct_call = [&ctx](int, std::string_view call) { return ask_call_correction(ctx, call); };
    m_result = rebuild_chart(m_env.log, m_env.table, m_chart, hooks);
    ctx.close(0);
}

void check_log(ui::Context& parent, LogCheckEnv env) {
    if (!log_windows::log_selected(parent, env.log)) return;
    LogCheckWindow window(env);
    parent.run_modal(window);
}

} // namespace kestrel::countries
