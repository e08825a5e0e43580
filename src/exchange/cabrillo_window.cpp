#include "exchange/cabrillo_window.hpp"

#include "common/file_names.hpp"
#include "common/number_text.hpp"
#include "common/side_file.hpp"
#include "exchange/cabrillo_import.hpp"
#include "exchange/left_out.hpp"
#include "exchange/log_copy.hpp"
#include "log_windows/load_log.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/record.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

#include <filesystem>
#include <fstream>

namespace kestrel::exchange {

namespace {

constexpr std::string_view k_cabrillo_prefix = "Import Log: ";
constexpr std::string_view k_new_log_prefix = "   New Log: ";

// The closing message, once the lines left out are kept beside the new log (never in the file
// just read, should that be an earlier one of them).
std::string completion_text(const ImportTally& tally, const std::string& new_log, const std::string& cabrillo,
                            logstore::FileSystem& files) {
    std::string kept_in;
    bool kept = true;
    if (!tally.rejected.empty()) {
        kept_in = rejected_file_name(new_log, "CBR");
        if (same_file(files, kept_in, cabrillo)) kept_in = rejected_file_name(new_log, "REJECTED.CBR");
        kept = write_side_file(kept_in, tally.rejected);
    }
    return number_text(tally.imported) + " Entries imported" +
           left_out_text(tally.left_out, "QSO lines", kept_in, kept);
}

void tell_import_stopped(ui::Context& ctx, const ImportTally& tally, const std::string& cabrillo,
                         const std::string& new_log) {
    switch (tally.end) {
    case ImportEnd::complete: break;
    case ImportEnd::layout_file_missing:
        ctx.message("Can't find CABRILLO.FRM file", "Missing File", ui::Icon::stop);
        break;
    case ImportEnd::contest_unknown:
        ctx.message("Contest type not recognised", "CONTEST CHECK", ui::Icon::stop);
        break;
    case ImportEnd::write_failed:
        log_windows::tell_log_error(
            ctx, tally.write_status ? logstore::LogError::write_failed : tally.write_status.error(), new_log);
        break;
    case ImportEnd::read_failed:
        ctx.message("The Cabrillo log could not be read to its end. Nothing was imported.\r\n" + cabrillo,
                    "Import Log", ui::Icon::stop);
        break;
    }
}

std::int64_t size_of(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : static_cast<std::int64_t>(size);
}

} // namespace

ui::Form CabrilloWindow::build() const {
    ui::Form form;
    form.caption = "IMPORT A LOG IN CABRILLO FORMAT";
    form.frame = {20, 20, 250, 150};
    form.background = ui::colours::pale_yellow;
    form.add(ui::label(k_power_label, "&Transmit Power:", {20, 5, 65, 10}, ui::right_aligned));
    // The power and the comment are saved into every entry's power and comment fields.
    form.add(ui::edit(k_power, {90, 4, 22, 10})).text_limit = logstore::k_power_width;
    form.add(ui::label(k_comment_label, "&Comment:", {20, 20, 45, 10}, ui::right_aligned));
    form.add(ui::edit(k_comment, {70, 19, 165, 10})).text_limit = logstore::k_comment_width;
    form.add(ui::label(k_cabrillo_label, std::string(k_cabrillo_prefix), {20, 40, 200, 8}));
    form.add(ui::label(k_new_label, std::string(k_new_log_prefix), {20, 50, 200, 8}));
    // Captions too long for one line wrap inside the tall buttons.
    form.add(ui::button(k_select_cabrillo, "Select &Cabrillo Log", {30, 80, 40, 30}, ui::multi_line));
    form.add(ui::button(k_select_new, "Select &New Log", {80, 80, 40, 30}, ui::multi_line));
    form.add(ui::button(k_import, "&Import", {130, 80, 40, 30}, ui::multi_line));
    form.add(ui::button(ui::k_cancel, "E&xit", {180, 80, 40, 30}));
    return form;
}

void CabrilloWindow::on_init(ui::Context&) {
    std::error_code ec;
    m_directory = std::filesystem::current_path(ec).string();
}

void CabrilloWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_select_cabrillo: choose_cabrillo(ctx); break;
    case k_select_new: choose_new_log(ctx); break;
    case k_import: run_import(ctx); break;
    case ui::k_cancel: ctx.close(0); break;
    }
}

void CabrilloWindow::choose_cabrillo(ui::Context& ctx) {
    const auto path = pick_log_file(ctx, LogPick::read);
    if (!path) return;
    m_cabrillo = *path;
    m_cabrillo_chosen = true;
    ctx.set_text(k_cabrillo_label, std::string(k_cabrillo_prefix) + m_cabrillo);
}

void CabrilloWindow::choose_new_log(ui::Context& ctx) {
    const auto path = pick_log_file(ctx, LogPick::write);
    if (!path) return;
    if (m_cabrillo_chosen && same_file(m_env.files, *path, m_cabrillo)) {
        ctx.message("The new log cannot be the Cabrillo log it is read from.", "Kestrel",
                    ui::Icon::exclamation);
        return;
    }
    const std::string in_use = m_env.log.is_open() ? m_env.log.path() : std::string();
    if (!may_replace_log(ctx, m_env.files, *path, in_use, "imported")) return;
    m_new_log = *path;
    m_new_log_chosen = true;
    ctx.set_text(k_new_label, std::string(k_new_log_prefix) + m_new_log);
}

void CabrilloWindow::run_import(ui::Context& ctx) {
    CabrilloOptions options;
    options.constants = {ctx.text(k_power), ctx.text(k_comment)};
    options.layout_file = find_file_any_case((std::filesystem::path(m_directory) / k_layout_file).string());
    if (!m_cabrillo_chosen || !m_new_log_chosen) {
        ctx.message("Please select both logs", "", ui::Icon::exclamation);
        return;
    }
    if (same_file(m_env.files, m_new_log, m_cabrillo)) {
        ctx.message("The new log cannot be the Cabrillo log it is read from.", "Kestrel",
                    ui::Icon::exclamation);
        return;
    }
    std::ifstream in(m_cabrillo, std::ios::binary);
    if (!in) {
        ctx.message("The Cabrillo log could not be opened.\r\n" + m_cabrillo, "Import Log", ui::Icon::stop);
        return;
    }
    WorkLog work(m_env.files);
    if (const auto status = work.create(m_new_log); !status) {
        log_windows::tell_log_error(ctx, status.error(), m_new_log);
        return;
    }

    ImportTally tally;
    const std::int64_t size = size_of(m_cabrillo);
    ui::run_with_progress(ctx, "Import Log", [&](ui::Progress& progress) {
        progress.set_total(size);
        tally =
            read_cabrillo(in, options, work, [&progress](std::int64_t done) { progress.advance_to(done); });
    });

    if (tally.end != ImportEnd::complete) {
        // Every way of stopping short leaves the program's log as it was; the work log goes.
        tell_import_stopped(ctx, tally, m_cabrillo, m_new_log);
        return;
    }
    put_in_place(ctx, work, tally);
}

void CabrilloWindow::put_in_place(ui::Context& ctx, WorkLog& work, const ImportTally& tally) {
    // The program's log closes before the new one is put in place: it may be that very file,
    // when it was empty.
    const std::string previous = m_env.log.is_open() ? m_env.log.path() : std::string();
    m_env.log.close_log();
    if (const auto status = work.commit(); !status) {
        log_windows::tell_log_error(ctx, status.error(), m_new_log);
        open_program_log(ctx, m_env.log, previous);
        return;
    }
    const bool opened = open_program_log(ctx, m_env.log, m_new_log);
    ctx.message(completion_text(tally, m_new_log, m_cabrillo, m_env.files), "Import Log Complete");
    forget_choices(ctx);
    if (opened) log_windows::build_index_with_progress(ctx.host(), &ctx, m_env.log);
}

void CabrilloWindow::forget_choices(ui::Context& ctx) {
    m_cabrillo.clear();
    m_new_log.clear();
    m_cabrillo_chosen = false;
    m_new_log_chosen = false;
    ctx.set_text(k_cabrillo_label, k_cabrillo_prefix);
    ctx.set_text(k_new_label, k_new_log_prefix);
}

void import_cabrillo(ui::Context& parent, ExchangeEnv env) {
    CabrilloWindow window(env);
    parent.run_modal(window);
}

} // namespace kestrel::exchange
