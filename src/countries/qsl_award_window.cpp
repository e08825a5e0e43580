#include "countries/qsl_award_window.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"
#include "countries/print_job.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/band_names.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"
#include "ui/context.hpp"

namespace kestrel::countries {

namespace {

constexpr std::string_view k_title = "QSL Award List";
constexpr std::string_view k_file_title = "QSL AWARD LIST";

// The button's caption names what it will do.
std::string run_caption(bool to_printer) {
    return to_printer ? "P&rint" : "F&ile";
}

} // namespace

ui::Form QslAwardWindow::build() const {
    ui::Form form;
    form.caption = "Print Award List QSLs";
    form.frame = {25, 25, 230, 170};
    form.font = ui::Font{"MS Sans Serif", 8};
    form.background = ui::colours::pale_yellow;
    const auto frame = [&form](ui::Control c) {
        form.add(std::move(c)).background = ui::colours::pale_yellow;
    };
    frame(ui::group_box(k_bands_frame, "Bands", {15, 7, 60, 160}));
    frame(ui::group_box(k_modes_frame, "Modes", {100, 7, 80, 75}));
    frame(ui::group_box(k_status_frame, "Status", {100, 82, 80, 40}));
    frame(ui::group_box(k_destination_frame, "Destination", {100, 130, 80, 36}));
    for (int k = 0; k < k_award_bands; ++k) {
        const std::string name(trim_trailing_spaces(m_env.band_names.name(k)));
        form.add(ui::check_box(k_first_band + k, name, {20, 20 + 12 * k, 50, 10})).checked = true;
    }
    form.add(ui::check_box(k_cw, "&CW", {110, 20, 40, 10})).checked = true;
    form.add(ui::check_box(k_ssb, "&SSB", {110, 35, 40, 10})).checked = true;
    form.add(ui::check_box(k_fm, "F&M", {110, 50, 40, 10})).checked = true;
    form.add(ui::label(k_fourth_label, "&4th", {110, 65, 27, 10}));
    ui::Control& fourth = form.add(ui::edit(k_fourth, {142, 64, 35, 10}, ui::upper_case));
    fourth.text = "ALL";
    fourth.text_limit = logstore::k_mode_width; // a whole mode field; "ALL" fits too
    form.add(ui::option(k_worked, "Worked", {120, 92, 50, 10}, 1));
    form.add(ui::option(k_confirmed, "C&onfirmed", {120, 104, 50, 10}, 1)).checked = true;
    form.add(ui::option(k_to_printer, "&Print", {140, 140, 30, 10}, 2));
    form.add(ui::option(k_to_file, "&File", {140, 152, 30, 10}, 2)).checked = true;
    form.add(ui::button(k_run, run_caption(false), {190, 110, 25, 15}));
    form.add(ui::button(ui::k_cancel, "E&xit", {190, 140, 25, 15}));
    return form;
}

void QslAwardWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_to_printer:
    case k_to_file: ctx.set_text(k_run, run_caption(id == k_to_printer)); break;
    case k_run: run(ctx); break;
    case ui::k_cancel: ctx.close(0); break;
    }
}

AwardSelection QslAwardWindow::selection(const ui::Context& ctx) const {
    AwardSelection s;
    for (int k = 0; k < k_award_bands; ++k)
        s.bands[static_cast<std::size_t>(k)] = ctx.checked(k_first_band + k);
    s.cw = ctx.checked(k_cw);
    s.ssb = ctx.checked(k_ssb);
    s.fm = ctx.checked(k_fm);
    s.fourth_mode = ctx.text(k_fourth);
    s.confirmed_only = ctx.checked(k_confirmed);
    return s;
}

void QslAwardWindow::run(ui::Context& ctx) {
    ctx.host().wait_cursor(true);
    auto entries = collect_award_list(m_env.log, m_env.table, m_env.band_names, selection(ctx));
    ctx.host().wait_cursor(false);
    if (!entries) {
        log_windows::tell_log_error(ctx, entries.error(), m_env.log.path(), k_title);
        return;
    }
    if (entries->empty()) {
        ctx.message("No Countries found", "End of QSL check", ui::Icon::exclamation);
        return;
    }
    const std::string summary = award_summary(static_cast<int>(entries->size()));
    if (ctx.checked(k_to_printer))
        print(ctx, *entries, summary);
    else
        write_file(ctx, *entries, summary);
}

void QslAwardWindow::print(ui::Context& ctx, const std::vector<AwardEntry>& entries,
                           const std::string& summary) {
    if (ctx.message("Print?", summary, ui::Icon::question, ui::Buttons::yes_no) != ui::Answer::yes) return;
    auto printer = choose_printer_or_tell(ctx);
    if (!printer) return;
    // Stopping after a page still prints the pages before it.
    (void)print_award_pages(*printer, entries, [&ctx] {
        return ctx.message("Continue?", "End of Page", ui::Icon::question, ui::Buttons::yes_no) ==
               ui::Answer::yes;
    });
    finish_printing(ctx, *printer);
}

void QslAwardWindow::write_file(ui::Context& ctx, const std::vector<AwardEntry>& entries,
                                const std::string& summary) {
    if (ctx.message("Write File?", summary, ui::Icon::question, ui::Buttons::yes_no) != ui::Answer::yes)
        return;
    if (!write_side_file(m_env.directory + k_award_file, award_file_text(entries))) {
        ctx.message(std::string(k_award_file) + " could not be written.", k_file_title, ui::Icon::stop);
        return;
    }
    ctx.message(std::string(k_award_file) + " written", k_file_title, ui::Icon::information);
}

void show_qsl_award_list(ui::Context& parent, AwardEnv env) {
    if (!env.log.is_open()) {
        parent.message(logstore::k_no_log_text, k_title);
        return;
    }
    QslAwardWindow window(std::move(env));
    parent.run_modal(window);
}

} // namespace kestrel::countries
