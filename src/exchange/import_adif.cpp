#include "exchange/import_adif.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "common/side_file.hpp"
#include "exchange/adif_import_text.hpp"
#include "exchange/adif_writer.hpp"
#include "exchange/left_out.hpp"
#include "exchange/log_copy.hpp"
#include "log_windows/load_log.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

#include <filesystem>
#include <optional>

namespace kestrel::exchange {

namespace {

constexpr std::string_view k_title = "Kestrel";
constexpr std::string_view k_done_title = "Import Log Complete";
constexpr std::string_view k_file_label_text = "Import Log: ";
// Files up to this size are read before the operator could read a progress window.
constexpr std::size_t k_quiet_bytes = 2 * 1024 * 1024;

std::uintmax_t size_of(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

ui::FileRequest adif_file_request() {
    ui::FileRequest request;
    request.title = "Open an ADIF Log file";
    request.filter_name = "Log Files (*.ADI,*.ADIF)";
    request.patterns = "*.ADI;*ADIF";
    request.default_extension = "ADI";
    std::error_code error;
    request.directory = std::filesystem::current_path(error).string();
    request.must_exist = true;
    request.position = ui::Point{100, 100};
    return request;
}

// The log the import writes, once the operator has agreed to lose what a log of that name holds;
// nothing when the import must not go on.
std::optional<std::string> target_log(ui::Context& ctx, const logstore::LogStore& log,
                                      const std::string& adif) {
    std::string name = import_log_name(adif);
    if (same_file(logstore::posix_file_system(), name, adif)) name += ".LOG";
    if (log.is_open() && (name == log.path() || same_file(logstore::posix_file_system(), name, log.path()))) {
        ctx.message(name + " is the log in use; the import would write over it.\r\n"
                           "Open another log first, or give the ADIF file another name.",
                    k_title, ui::Icon::exclamation);
        return std::nullopt;
    }
    if (const auto size = size_of(name); size > 0) {
        const long long records = static_cast<long long>(size / logstore::k_record_size);
        const std::string question = name + " already holds" + number_text(records) +
                                     " records.\r\nReplace them with the entries of the ADIF file?";
        if (!ctx.confirm_loss(question, k_title)) return std::nullopt;
    }
    return name;
}

ImportedLog convert(ui::Context& ctx, const std::string& file, const ImportOptions& options) {
    if (file.size() <= k_quiet_bytes) return import_adif_text(file, options);
    ImportedLog imported;
    ui::run_with_progress(ctx, "Import Log", [&](ui::Progress& progress) {
        progress.set_total(static_cast<std::int64_t>(file.size()));
        imported = import_adif_text(
            file, options, [&](std::size_t done) { progress.advance_to(static_cast<std::int64_t>(done)); });
    });
    return imported;
}

// Keeps the records left out in a file of their own beside the new log; its name, or nothing when
// there are none worth keeping. `kept` tells whether the file could be written.
std::string keep_rejected(const ImportedLog& imported, const std::string& adif_path,
                          const std::string& log_name, bool& kept) {
    kept = true;
    if (imported.rejected.empty()) return {};
    std::string name = rejected_file_name(log_name, "ADI");
    // Never the file just read, should that be an earlier one of them.
    if (same_file(logstore::posix_file_system(), name, adif_path))
        name = rejected_file_name(log_name, "REJECTED.ADI");
    kept = write_side_file(name,
                           adif_rejected_header(adif_path, imported.rejected_encoding) + imported.rejected);
    return name;
}

} // namespace

std::string import_log_name(std::string_view adif_path) {
    const std::size_t slash = adif_path.find_last_of("/\\");
    const std::string file_name =
        upper_case(slash == std::string_view::npos ? adif_path : adif_path.substr(slash + 1));
    std::string name = file_name;
    replace_all(name, ".ADIF", ".LOG");
    replace_all(name, ".ADI", ".LOG");
    if (name == file_name) name += ".LOG";
    replace_all(name, ",", "_");
    return name;
}

ui::Form ImportWindow::build() const {
    ui::Form form;
    form.caption = "IMPORT A LOG IN ADIF FORMAT";
    form.frame = {20, 20, 250, 150};
    form.background = ui::colours::pale_yellow;
    const auto add_label = [&form](int id, std::string text, ui::Rect rect, unsigned style) {
        form.add(ui::label(id, std::move(text), rect, style)).background = ui::colours::pale_yellow;
    };
    add_label(k_power_label, "&Transmit Power:", {20, 10, 65, 10}, ui::right_aligned);
    // The power and the extra comment are saved into every entry's power and comment fields.
    form.add(ui::edit(k_power, {90, 9, 22, 10})).text_limit = logstore::k_power_width;
    add_label(k_comment_label, "&Comment:", {20, 25, 45, 10}, ui::right_aligned);
    form.add(ui::edit(k_comment, {70, 25, 165, 10})).text_limit = logstore::k_comment_width;
    add_label(k_file_label, std::string(k_file_label_text), {20, 40, 200, 8}, ui::plain);
    form.add(ui::button(k_select, "Select &Log", {25, 80, 30, 25}, ui::multi_line));
    form.add(ui::button(k_import, "&Import", {114, 80, 30, 25}, ui::multi_line));
    form.add(ui::button(ui::k_cancel, "E&xit", {200, 80, 30, 25}));
    return form;
}

void ImportWindow::on_init(ui::Context& ctx) {
    // A file chosen earlier in this run is still the one Import reads; say so.
    if (!m_state.adif_path.empty())
        ctx.set_text(k_file_label, std::string(k_file_label_text) + m_state.adif_path);
}

void ImportWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_select: select_file(ctx); break;
    case k_import: import_file(ctx); break;
    case ui::k_cancel: ctx.close(0); break;
    }
}

void ImportWindow::select_file(ui::Context& ctx) {
    const auto chosen = ctx.host().open_file(&ctx, adif_file_request());
    if (!chosen || chosen->empty()) return;
    m_state.adif_path = *chosen;
    ctx.set_text(k_file_label, std::string(k_file_label_text) + m_state.adif_path);
}

void ImportWindow::import_file(ui::Context& ctx) {
    const ImportOptions options{ctx.text(k_power), ctx.text(k_comment)};
    if (m_state.adif_path.empty()) {
        ctx.beep();
        return;
    }
    const auto log_name = target_log(ctx, m_log, m_state.adif_path);
    if (!log_name) return;
    const auto file = read_side_file(m_state.adif_path);
    if (!file) {
        ctx.message("The ADIF file " + m_state.adif_path + " could not be read.", k_title, ui::Icon::stop);
        return;
    }

    LogReplacement replacement;
    const auto recovered = replacement.begin(*log_name);
    if (!recovered) {
        log_windows::tell_log_error(ctx, recovered.error(), *log_name);
        return;
    }
    log_windows::tell_recovery(ctx, *recovered, *log_name);

    ctx.host().wait_cursor(true);
    const ImportedLog imported = convert(ctx, *file, options);
    // The new log is written whole beside its final name and then put in its place, so a failure
    // leaves any old log of that name, and the current log, as they were.
    const bool written = replacement.write(imported.records);
    ctx.host().wait_cursor(false);
    if (!written) {
        ctx.message(*log_name + " could not be written; nothing was imported.", k_title, ui::Icon::stop);
        return;
    }

    const std::string previous = m_log.path();
    m_log.close_log();
    if (const auto status = m_log.open_log(*log_name); !status) {
        log_windows::tell_log_error(ctx, status.error(), *log_name);
        if (!previous.empty()) (void)m_log.open_log(previous);
        return;
    }
    log_windows::tell_recovery(ctx, m_log.recovery(), *log_name);
    bool kept = true;
    const std::string kept_in = keep_rejected(imported, m_state.adif_path, *log_name, kept);
    ctx.message(number_text(imported.entries) + " Entries imported" +
                    left_out_text(imported.left_out, "entries", kept_in, kept),
                k_done_title);
    log_windows::build_index_with_progress(ctx.host(), &ctx, m_log);
}

void import_adif(ui::Context& parent, logstore::LogStore& log, AdifImportState& state) {
    ImportWindow window(log, state);
    parent.run_modal(window);
}

} // namespace kestrel::exchange
