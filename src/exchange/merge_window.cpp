#include "exchange/merge_window.hpp"

#include "common/number_text.hpp"
#include "exchange/merge.hpp"
#include "exchange/merge_list_window.hpp"
#include "log_windows/log_messages.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

namespace kestrel::exchange {

namespace {

constexpr std::string_view k_name_error_title = "Log name error";

} // namespace

ui::Form MergeWindow::build() const {
    ui::Form form;
    form.caption = "MERGE TWO LOGS";
    form.frame = {20, 20, 250, 150};
    form.background = ui::colours::pale_yellow;
    form.add(ui::button(k_extract_log, "&Extract Log", {20, 100, 30, 25}, ui::multi_line));
    form.add(ui::button(k_merge_log, "&Merge Log", {60, 100, 30, 25}, ui::multi_line));
    form.add(ui::button(k_select, "&Select Entries", {100, 100, 30, 25}, ui::multi_line));
    form.add(ui::button(k_write, "&Write Logs", {140, 100, 30, 25}, ui::multi_line));
    form.add(ui::button(ui::k_cancel, "E&xit", {180, 100, 30, 25}));
    form.add(ui::check_box(k_merge_all, "Merge &All entries", {50, 40, 100, 10}));
    form.add(ui::check_box(k_delete, "&Delete extracted entries", {50, 60, 100, 10}));
    return form;
}

void MergeWindow::on_init(ui::Context&) {
    m_remembered = m_env.log.is_open() ? m_env.log.path() : std::string();
    m_merge_log = m_env.log.path();
    m_env.log.close_log();
}

void MergeWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_extract_log: choose_extract_log(ctx); break;
    case k_merge_log: choose_merge_log(ctx); break;
    case k_select: select_entries(ctx); break;
    case k_write: write_logs(ctx); break;
    case ui::k_cancel: leave(ctx); break;
    }
}

void MergeWindow::choose_extract_log(ui::Context& ctx) {
    const auto path = pick_log_file(ctx, LogPick::read);
    if (!path) return;
    m_env.log.set_second_log_path(*path);
    m_extract.close(); // marks made for another log mean nothing now
}

void MergeWindow::choose_merge_log(ui::Context& ctx) {
    if (const auto path = pick_log_file(ctx, LogPick::merge_into)) m_merge_log = *path;
}

bool MergeWindow::open_extract(ui::Context& ctx) {
    const std::string& path = m_env.log.second_log_path();
    m_delete_moved = ctx.checked(k_delete);
    if (const auto status = m_extract.open(path); !status) {
        log_windows::tell_log_error(ctx, status.error(), path);
        return false;
    }
    log_windows::tell_recovery(ctx, m_extract.recovery(), path);
    m_marks.assign(static_cast<std::size_t>(m_extract.record_count()), ctx.checked(k_merge_all));
    return true;
}

void MergeWindow::select_entries(ui::Context& ctx) {
    if (m_env.log.second_log_path().empty()) {
        ctx.message("No extract log selected", k_name_error_title, ui::Icon::exclamation);
        return;
    }
    if (!open_extract(ctx)) return;
    MergeListWindow list(m_extract, m_marks, m_env.band_names, m_env.scale_factor);
    ctx.run_modal(list);
}

void MergeWindow::write_logs(ui::Context& ctx) {
    const std::string extract_path = m_env.log.second_log_path();
    if (m_merge_log.empty() || extract_path.empty() || same_file(m_env.files, m_merge_log, extract_path)) {
        ctx.message("Two logs required", k_name_error_title, ui::Icon::exclamation);
        return;
    }
    if (!m_extract.is_open() && !open_extract(ctx)) return;

    // The merge log may be the program's log, merged into earlier in this window: it closes
    // before it is replaced.
    const std::string open_before = m_env.log.is_open() ? m_env.log.path() : std::string();
    m_env.log.close_log();
    MergeOutcome outcome;
    ui::run_with_progress(ctx, "Merge Logs", [&](ui::Progress& progress) {
        progress.set_total(std::int64_t{m_extract.record_count()} + records_in(m_env.files, m_merge_log));
        outcome = merge_log_files(m_env.files, m_extract, m_marks, m_delete_moved, m_merge_log,
                                  [&progress](std::int64_t done) { progress.advance_to(done); });
    });
    if (outcome.end == MergeEnd::failed) {
        // The marks stay, so the merge can be tried again once the trouble is put right.
        log_windows::tell_log_error(ctx, outcome.error, outcome.path);
        if (!open_before.empty()) open_program_log(ctx, m_env.log, open_before);
        return;
    }
    m_extract.close();
    m_marks.clear();
    m_env.log.set_second_log_path({});
    open_program_log(ctx, m_env.log, m_merge_log);
    const std::string merged = number_text(outcome.tally.merged);
    ctx.message(merged + " Entries merged", merged + "Merge Logs", ui::Icon::information);
}

void MergeWindow::leave(ui::Context& ctx) {
    m_extract.close();
    // Nothing merged, or the merged log could not be opened: the log of before comes back.
    if (!m_env.log.is_open()) open_program_log(ctx, m_env.log, m_remembered);
    ctx.close(0);
}

void merge_logs(ui::Context& parent, ExchangeEnv env) {
    MergeWindow window(env);
    parent.run_modal(window);
}

} // namespace kestrel::exchange
