#include "exchange/export_window.hpp"

#include "common/number_text.hpp"
#include "exchange/adif_writer.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/log_store.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

#include <ctime>

namespace kestrel::exchange {

namespace {

constexpr std::string_view k_empty_title = "LOG EXPORT";
constexpr std::string_view k_done_title = "EXPORT COMPLETE";
// Logs up to this size are written before the operator could read a progress window.
constexpr int k_quiet_records = 10000;

CalendarDate local_date(ui::Clock::time_point now) {
    const std::time_t t = ui::Clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

} // namespace

ui::Form ExportWindow::build() const {
    ui::Form form;
    form.caption = "EXPORT A LOG IN ADIF FORMAT";
    form.frame = {20, 20, 250, 90};
    form.background = ui::colours::pale_yellow;
    ui::Control& name = form.add(ui::label(k_log_label, "ExportLog: " + m_log.path(), {20, 20, 230, 8}));
    name.background = ui::colours::pale_yellow;
    form.add(ui::button(k_export, "&Export  Log", {25, 50, 30, 25}, ui::multi_line));
    form.add(ui::button(ui::k_cancel, "E&xit", {200, 50, 30, 25}));
    return form;
}

void ExportWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    if (id == k_export) export_log(ctx);
    if (id == ui::k_cancel) ctx.close(0);
}

void ExportWindow::export_log(ui::Context& ctx) {
    const std::string output = adif_export_path(m_log.path());
    if (m_log.record_count() == 0) {
        ctx.message(m_log.path() + " is Empty", k_empty_title, ui::Icon::exclamation);
        return;
    }

    const CalendarDate today = local_date(ctx.host().now());
    std::optional<Result<AdifCounts, ExportFailure>> made;
    ctx.host().wait_cursor(true);
    if (m_log.record_count() <= k_quiet_records) {
        made = export_adif_file(m_log, output, today);
    } else {
        ui::run_with_progress(ctx, "Export Log", [&](ui::Progress& progress) {
            progress.set_total(m_log.record_count());
            made = export_adif_file(m_log, output, today, [&](int done) { progress.advance_to(done); });
        });
    }
    ctx.host().wait_cursor(false);

    if (!made || (!*made && made->error().reading)) {
        const auto error = made ? *made->error().reading : logstore::LogError::read_failed;
        log_windows::tell_log_error(ctx, error, m_log.path(), k_empty_title);
        return;
    }
    if (!*made) {
        ctx.message(output + " could not be written; nothing was exported.", k_empty_title, ui::Icon::stop);
        return;
    }
    std::string text = "     " + number_text((*made)->entries) + " Entries exported      ";
    if ((*made)->without_date > 0)
        text += "\r\n" + number_text((*made)->without_date) +
                " entries were left out: their date is no date of the calendar (correct it in the log)";
    ctx.message(text, k_done_title);
}

void export_adif(ui::Context& parent, logstore::LogStore& log) {
    if (!log_windows::log_selected(parent, log)) return;
    ExportWindow window(log);
    parent.run_modal(window);
}

} // namespace kestrel::exchange
