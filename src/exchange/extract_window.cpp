#include "exchange/extract_window.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "exchange/extract.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/dates.hpp"
#include "logstore/record.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

#include <cmath>
#include <limits>

namespace kestrel::exchange {

namespace {

// The row of each band check box: 5 MHz sits between 3.5 and 7 MHz.
struct BandRow {
    int id;
    int band_index;
    int row;
};
constexpr BandRow k_band_rows[] = {
    {111, 0, 0}, {112, 1, 1}, {129, 19, 2}, {113, 2, 3},  {114, 3, 4},   {115, 4, 5},   {116, 5, 6},
    {117, 6, 7}, {118, 7, 8}, {119, 8, 9},  {120, 9, 10}, {121, 10, 11}, {122, 11, 12},
};

constexpr std::string_view k_log_error_title = "LOG FILE ERROR";

} // namespace

int ExtractWindow::scaled(double value) const {
    return static_cast<int>(std::lround(value * m_env.scale_factor));
}

ui::Form ExtractWindow::build() const {
    ui::Form form;
    form.caption = "EXTRACT LOG ENTRIES";
    // Heights and vertical spacing grow with the screen; the width stays.
    form.frame = {20, 20, 230, scaled(175)};
    // Pale yellow everywhere: the labels and check boxes let the dialog and the frames show through.
    form.background = ui::colours::pale_yellow;
    const auto frame = [&form](ui::Control c) {
        form.add(std::move(c)).background = ui::colours::pale_yellow;
    };

    frame(ui::group_box(k_dates_frame, "Dates", {100, 90, 80, scaled(45)}));
    frame(ui::group_box(k_bands_frame, "Bands", {15, 7, 60, scaled(160)}));
    frame(ui::group_box(k_modes_frame, "Modes", {100, 7, 80, 75}));
    for (const BandRow& b : k_band_rows) {
        const std::string name(trim_trailing_spaces(m_env.band_names.name(b.band_index)));
        form.add(ui::check_box(b.id, name, {20, 20 + scaled(12 * b.row), 50, 10}));
    }
    form.add(ui::check_box(k_cw, "&CW", {110, 20, 40, 10}));
    form.add(ui::check_box(k_ssb, "&SSB", {110, 35, 40, 10}));
    form.add(ui::check_box(k_fm, "F&M", {110, 50, 40, 10}));
    form.add(ui::label(k_fourth_label, "&4th", {110, 65, 27, 10}, ui::right_aligned));
    // The fourth mode is matched against a whole mode field; "ALL" fits too.
    form.add(ui::edit(k_fourth, {142, 64, 35, 10})).text_limit = logstore::k_mode_width;
    form.add(ui::label(k_from_label, "&From:", {100, 105, 25, 10}));
    form.add(ui::edit(k_from, {130, 104, 45, 10})).text_limit = logstore::k_date_text_width;
    form.add(ui::label(k_to_label, "&To:", {100, 105 + scaled(12), 25, 10}));
    form.add(ui::edit(k_to, {130, 104 + scaled(12), 45, 10})).text_limit = logstore::k_date_text_width;
    // Two-word captions wrap inside the narrow buttons.
    form.add(ui::button(k_new_log, "&New Log", {190, scaled(40), 30, 25}, ui::multi_line));
    form.add(ui::button(k_extract_log, "Ex&tract Log", {190, scaled(70), 30, 25}, ui::multi_line));
    form.add(ui::button(k_write, "&Write Log", {190, scaled(100), 30, 25}, ui::multi_line));
    form.add(ui::button(ui::k_cancel, "E&xit", {190, scaled(140), 30, 25}));
    return form;
}

void ExtractWindow::on_init(ui::Context&) {
    m_remembered = m_env.log.is_open() ? m_env.log.path() : std::string();
    m_env.log.set_second_log_path({});
    m_env.log.close_log();
}

void ExtractWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_new_log: choose_new_log(ctx); break;
    case k_extract_log: choose_extract_log(ctx); break;
    case k_write: write_log(ctx); break;
    case ui::k_cancel: leave(ctx); break;
    }
}

void ExtractWindow::choose_new_log(ui::Context& ctx) {
    const auto path = pick_log_file(ctx, LogPick::write);
    if (!path || !may_replace_log(ctx, m_env.files, *path, m_remembered, "extracted")) return;
    m_new_log = *path;
}

void ExtractWindow::choose_extract_log(ui::Context& ctx) {
    if (const auto path = pick_log_file(ctx, LogPick::read)) m_env.log.set_second_log_path(*path);
}

std::optional<int> ExtractWindow::date_of_box(ui::Context& ctx, int id, int if_empty) {
    const std::string typed = ctx.text(id);
    if (typed.empty()) return if_empty;
    const logstore::NormalisedDate date =
        logstore::normalise_date_entry(typed, logstore::utc_year_of(ctx.host().now()));
    if (!date.ok()) {
        ctx.message(logstore::message_of(date.error), logstore::k_date_error_title, ui::Icon::exclamation);
        ctx.set_text(id, "");
        ctx.focus(id);
        ctx.beep();
        return std::nullopt;
    }
    ctx.set_text(id, date.text);
    return date.day_number;
}

std::optional<ExtractChoice> ExtractWindow::choice_of_boxes(ui::Context& ctx) {
    ExtractChoice choice;
    const auto from = date_of_box(ctx, k_from, ExtractChoice{}.from);
    if (!from) return std::nullopt;
    const auto to = date_of_box(ctx, k_to, ExtractChoice{}.to);
    if (!to) return std::nullopt;
    choice.from = *from;
    choice.to = *to;
    // The fourth mode's flag stays set from the opening of the window whatever the box holds.
    choice.modes = {ctx.checked(k_cw), ctx.checked(k_ssb), ctx.checked(k_fm), true};
    choice.fourth_mode = ctx.text(k_fourth);
    for (const BandRow& b : k_band_rows) {
        const int flag =
            b.band_index == logstore::k_fallback_band ? ExtractChoice::k_five_mhz_flag : b.band_index;
        choice.bands[static_cast<std::size_t>(flag)] = ctx.checked(b.id);
    }
    return choice;
}

void ExtractWindow::write_log(ui::Context& ctx) {
    const std::string source = m_env.log.second_log_path();
    if (m_new_log.empty() || source.empty() || same_file(m_env.files, m_new_log, source)) {
        ctx.message("Two logs needed", k_log_error_title);
        return;
    }
    const auto choice = choice_of_boxes(ctx);
    if (!choice) return;

    LogReader in(m_env.files);
    WorkLog out(m_env.files);
    if (const auto status = in.open(source); !status) {
        log_windows::tell_log_error(ctx, status.error(), source);
        return;
    }
    log_windows::tell_recovery(ctx, in.recovery(), source);
    if (const auto status = out.create(m_new_log); !status) {
        log_windows::tell_log_error(ctx, status.error(), m_new_log);
        return;
    }
    Result<int, logstore::LogError> written = 0;
    ui::run_with_progress(ctx, "Extract Log", [&](ui::Progress& progress) {
        progress.set_total(in.record_count());
        written =
            extract_entries(in, *choice, out, [&progress](std::int64_t done) { progress.advance_to(done); });
    });
    if (!written) {
        log_windows::tell_log_error(ctx, written.error(), in.status() ? m_new_log : source);
        return;
    }
    in.close();

    // A log written earlier in this window may be the one being replaced: it closes first.
    const std::string open_before = m_env.log.is_open() ? m_env.log.path() : std::string();
    m_env.log.close_log();
    if (const auto status = out.commit(); !status) {
        log_windows::tell_log_error(ctx, status.error(), m_new_log);
        if (!open_before.empty()) open_program_log(ctx, m_env.log, open_before);
        return;
    }
    open_program_log(ctx, m_env.log, m_new_log);
    ctx.message(number_text(*written) + " Entries written", "EXTRACT COMPLETE");
}

void ExtractWindow::leave(ui::Context& ctx) {
    // Nothing written, or the log written could not be opened: the log of before comes back.
    if (!m_env.log.is_open()) open_program_log(ctx, m_env.log, m_remembered);
    ctx.close(0);
}

void extract_log(ui::Context& parent, ExchangeEnv env) {
    ExtractWindow window(env);
    parent.run_modal(window);
}

} // namespace kestrel::exchange
