#include "printing/log_print_window.hpp"

#include "common/side_file.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"
#include "printing/log_print.hpp"
#include "printing/printer_choice.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

#include <filesystem>
#include <system_error>

namespace kestrel::printing {

namespace {

constexpr std::string_view k_title = "Log Print";
constexpr std::string_view k_print_text = "&Print";
constexpr std::string_view k_save_text = "Sa&ve";

// Whether two names lead to the same file (a file that does not exist yet is no other's).
bool same_file(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

} // namespace

ui::Form PrintLogWindow::build() const {
    ui::Form form;
    form.caption = "PRINT LOG ";
    form.frame = {20, 20, 280, 140};
    form.background = ui::colours::pale_yellow;
    auto row = [&](int label_id, const char* text, int box_id, int y, int width,
                   unsigned style) -> ui::Control& {
        form.add(ui::label(label_id, text, {10, y + 2, 60, 8}));
        return form.add(ui::edit(box_id, {75, y, width, 12}, style));
    };
    row(k_start_date_label, "&Start Date:", k_start_date, 6, 40, ui::plain).text_limit =
        logstore::k_date_text_width;
    row(k_from_call_label, "&From Call:", k_from_call, 22, 60, ui::upper_case).text_limit =
        logstore::k_call_width;
    row(k_prefix_label, "&Prefix:", k_prefix, 38, 60, ui::upper_case).text_limit = logstore::k_call_width;
    row(k_band_label, "&Band:", k_band, 54, 40, ui::plain);
    form.add(ui::label(k_mhz_label, "MHz", {119, 56, 20, 8}));
    row(k_comment_key_label, "Comment &Key:", k_comment_key, 70, 120, ui::plain).text_limit =
        logstore::k_comment_width;
    form.add(ui::check_box(k_to_file, "File to &Disc:", {10, 88, 62, 10}, ui::text_on_left));
    ui::Control file = ui::edit(k_file_name, {75, 87, 195, 12});
    file.text = listing_file_name(m_env.log.path());
    form.add(file);
    form.add(ui::check_box(k_pause, "P&ause between Pages:", {10, 104, 95, 10}, ui::text_on_left));
    form.add(ui::check_box(k_landscape, "Print Landscape:", {140, 104, 80, 10}, ui::text_on_left));
    form.add(ui::button(k_print, std::string(k_print_text), {75, 120, 45, 14}));
    form.add(ui::button(k_exit, "E&xit", {175, 120, 45, 14}));
    return form;
}

void PrintLogWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case ui::k_ok: ctx.focus_next(); break; // Enter goes on to the next field
    case k_to_file: file_mode_changed(ctx); break;
    case k_print: print(ctx); break;
    case k_exit: ctx.close(0); break;
    }
}

void PrintLogWindow::file_mode_changed(ui::Context& ctx) {
    const bool to_file = ctx.checked(k_to_file);
    ctx.set_text(k_print, to_file ? k_save_text : k_print_text);
    ctx.enable(k_pause, !to_file);
    ctx.enable(k_landscape, !to_file);
}

std::optional<LogFilter> PrintLogWindow::read_filter(ui::Context& ctx) {
    LogFilter filter;
    const std::string date = ctx.text(k_start_date);
    if (!date.empty()) {
        const logstore::NormalisedDate checked =
            logstore::normalise_date_entry(date, logstore::utc_year_of(ctx.host().now()));
        if (!checked.ok()) {
            ctx.message(logstore::message_of(checked.error), logstore::k_date_error_title,
                        ui::Icon::exclamation);
            ctx.set_text(k_start_date, "");
            ctx.focus(k_start_date);
            return std::nullopt;
        }
        ctx.set_text(k_start_date, checked.text);
        filter.start_date = checked.day_number;
    }
    filter.from_call = ctx.text(k_from_call);
    filter.prefix = ctx.text(k_prefix);
    filter.band = band_filter_of(ctx.text(k_band));
    filter.comment_key = ctx.text(k_comment_key);
    return filter;
}

void PrintLogWindow::print(ui::Context& ctx) {
    const auto filter = read_filter(ctx);
    if (!filter) return;
    const bool done = ctx.checked(k_to_file) ? write_file(ctx, *filter) : print_pages(ctx, *filter);
    if (done) ctx.close(0);
}

bool PrintLogWindow::write_file(ui::Context& ctx, const LogFilter& filter) {
    const std::string name = ctx.text(k_file_name);
    if (name.empty()) {
        ctx.beep();
        ctx.focus(k_file_name);
        return false;
    }
    if (same_file(name, m_env.log.path())) {
        ctx.message(name + " is the log itself: the listing needs a file of its own.", k_title,
                    ui::Icon::stop);
        ctx.focus(k_file_name);
        return false;
    }
    std::optional<Result<std::string, logstore::LogError>> text;
    ui::run_with_progress(ctx, "Print Log", [&](ui::Progress& progress) {
        progress.set_total(m_env.log.record_count());
        text = listing_file_text(m_env.log, filter, m_env.band_names,
                                 [&](int read) { progress.advance_to(read); });
    });
    if (!text || !*text) {
        log_windows::tell_log_error(ctx, text ? text->error() : logstore::LogError::read_failed,
                                    m_env.log.path());
        return false;
    }
    if (!write_side_file(name, text->value())) {
        ctx.message(name + " could not be written: the listing is not saved.", k_title, ui::Icon::stop);
        return false;
    }
    ctx.message(name, "");
    return true;
}

bool PrintLogWindow::print_pages(ui::Context& ctx, const LogFilter& filter) {
    auto printer = choose_printer_for(ctx, k_title);
    if (!printer) return false;
    const Orientation orientation = ctx.checked(k_landscape) ? Orientation::landscape : Orientation::portrait;
    const bool pause = ctx.checked(k_pause);
    std::optional<Result<LogPrintEnd, logstore::LogError>> printed;
    ui::run_with_progress(ctx, "Print Log", [&](ui::Progress& progress) {
        progress.set_total(m_env.log.record_count());
        const auto next_page = [&] {
            return ctx.message("Print next page?", "End of Page", ui::Icon::question, ui::Buttons::yes_no) ==
                   ui::Answer::yes;
        };
        printed = print_log_pages(*printer, orientation, m_env.log, filter, m_env.band_names,
                                  pause ? std::function<bool()>(next_page) : std::function<bool()>{},
                                  [&](int read) { progress.advance_to(read); });
    });
    if (printed && !*printed) log_windows::tell_log_error(ctx, printed->error(), m_env.log.path());
    // What was laid out goes to the printer, a listing cut short by a read failure too.
    return end_job_or_tell(ctx, *printer, k_title);
}

void print_log(ui::Context& parent, LogPrintEnv env) {
    if (!log_windows::log_selected(parent, env.log)) return;
    PrintLogWindow window(env);
    parent.run_modal(window);
}

} // namespace kestrel::printing
