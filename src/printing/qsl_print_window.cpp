#include "printing/qsl_print_window.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "printer/printer.hpp"
#include "printing/label_run.hpp"
#include "printing/printer_choice.hpp"
#include "printing/qsl_queue.hpp"
#include "printing/qsl_run_window.hpp"
#include "printing/swl_window.hpp"
#include "ui/context.hpp"
#include "ui/progress_window.hpp"

#include <algorithm>
#include <filesystem>

namespace kestrel::printing {

namespace {

const std::vector<std::string> k_type_items = {"SINGLE QSL ", "MULTI QSL  "};
constexpr std::string_view k_selection_error = "Selection error";

// The number fields, with their settings.
struct NumberField {
    int box;
    int LabelSettings::*setting;
};
constexpr NumberField k_numbers[] = {
    {QslPrintWindow::k_down, &LabelSettings::labels_down},
    {QslPrintWindow::k_across, &LabelSettings::labels_across},
    {QslPrintWindow::k_width, &LabelSettings::label_width},
    {QslPrintWindow::k_height, &LabelSettings::label_height},
    {QslPrintWindow::k_left, &LabelSettings::left_margin},
    {QslPrintWindow::k_top, &LabelSettings::top_margin},
    {QslPrintWindow::k_per_label, &LabelSettings::qsls_per_label},
};

// A box's decimal number, held to what a settings byte can keep.
int number_in(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = std::min(value * 10 + (c - '0'), k_largest_setting);
    }
    return value;
}

std::string file_name_of(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

QslPrintWindow::QslPrintWindow(QslPrintEnv env)
    : m_env(std::move(env)), m_station(station_table_of(m_env.station)) {}

ui::Form QslPrintWindow::build() const {
    ui::Form form;
    form.caption = "PRINT QSLs ";
    form.frame = {20, 20, 270, 230};
    form.background = ui::colours::pale_yellow;
    auto label = [&](int id, const char* text, int y) {
        form.add(ui::label(id, text, {10, y + 2, 85, 8})).background = ui::colours::pale_yellow;
    };
    int y = 21;
    label(k_type_label, "&Label Type:", y);
    form.add(ui::combo(k_type, {100, y - 1, 80, 13})).items = k_type_items;
    label(k_template_label, "&Print File", y += 16);
    form.add(ui::combo(k_template, {100, y - 1, 80, 13}));
    label(k_start_date_label, "Start Dat&e:", y += 16);
    form.add(ui::edit(k_start_date, {100, y, 40, 12})).text_limit = logstore::k_date_text_width;
    static const std::pair<int, const char*> numbers[] = {
        {k_down_label, "Labels down page:"},    {k_across_label, "Labels across page:"},
        {k_width_label, "Label width (mm):"},   {k_height_label, "Label height (mm):"},
        {k_left_label, "Left margin (mm):"},    {k_top_label, "Top margin (mm):"},
        {k_per_label_label, "QSLs per label:"},
    };
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        label(numbers[i].first, numbers[i].second, y += 16);
        form.add(ui::edit(k_numbers[i].box, {100, y, 24, 12}, ui::digits_only)).text_limit = 3;
    }
    form.add(ui::check_box(k_pause, " Pause between la&bels:", {10, y += 16, 100, 10}, ui::text_on_left))
        .background = ui::colours::pale_yellow;
    form.add(ui::check_box(k_received_only, "&QSL for received only:", {10, y += 16, 100, 10},
                           ui::text_on_left))
        .background = ui::colours::pale_yellow;
    form.add(ui::button(k_test, "Test Pr&int", {200, 21, 55, 24}, ui::multi_line));
    form.add(ui::button(k_print, "P&rint QSLs", {200, 53, 55, 24}, ui::multi_line));
    form.add(ui::button(k_swl, "S&WL QSLs", {200, 85, 55, 24}, ui::multi_line));
    form.add(ui::button(k_exit, "E&xit", {200, 197, 55, 14}));
    return form;
}

void QslPrintWindow::on_init(ui::Context& ctx) {
    m_names = template_files(m_env.directory);
    std::vector<std::string> items;
    for (const std::string& name : m_names)
        items.push_back(upper_case(name));
    if (items.empty()) items.emplace_back(k_no_template);
    ctx.set_items(k_template, items);
    ctx.select(k_template, 0);
    load_chosen(ctx);
}

void QslPrintWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (id == k_template && notify == ui::Notify::selection_changed) {
        load_chosen(ctx);
        return;
    }
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case ui::k_ok: ctx.focus_next(); break; // Enter goes on to the next field
    case k_test: test_sheet(ctx); break;
    case k_print: qsl_run(ctx); break;
    case k_swl: swl_cards(ctx); break;
    case k_exit: ctx.close(0); break;
    }
}

void QslPrintWindow::load_chosen(ui::Context& ctx) {
    m_env.layout = {};
    m_problem.clear();
    const int chosen = ctx.selection(k_template);
    if (chosen < 0 || chosen >= static_cast<int>(m_names.size())) {
        show_settings(ctx, {});
        return;
    }
    LayoutLoad load = load_label_layout(m_env.directory + m_names[static_cast<std::size_t>(chosen)]);
    if (!load.layout) {
        // Nothing prints with a layout half read, and its files stay as the operator left them.
        m_problem = load.problem;
        show_settings(ctx, {});
        ctx.message(m_problem, k_print_qsl_title, ui::Icon::stop);
        return;
    }
    m_env.layout = std::move(*load.layout);
    show_settings(ctx, m_env.layout.settings);
}

void QslPrintWindow::show_settings(ui::Context& ctx, const LabelSettings& s) {
    const bool loaded = m_env.layout.loaded();
    for (const NumberField& f : k_numbers)
        ctx.set_text(f.box, loaded ? std::to_string(s.*f.setting) : "");
    ctx.set_checked(k_pause, s.pause);
    ctx.set_checked(k_received_only, s.received_only);
    ctx.select(k_type, loaded && s.type_known() ? s.label_type : -1);
}

bool QslPrintWindow::read_settings(ui::Context& ctx) {
    if (!m_env.layout.loaded()) {
        ctx.message(m_problem.empty() ? std::string(k_no_layout_text) : m_problem, k_print_qsl_title,
                    ui::Icon::exclamation);
        return false;
    }
    LabelSettings s = m_env.layout.settings;
    for (const NumberField& f : k_numbers) {
        s.*f.setting = number_in(ctx.text(f.box));
        ctx.set_text(f.box, std::to_string(s.*f.setting));
    }
    s.pause = ctx.checked(k_pause);
    s.received_only = ctx.checked(k_received_only);
    if (const int type = ctx.selection(k_type); type >= 0) s.label_type = type;
    if (s.labels_across > 1 && s.label_width == 0) {
        ctx.message("No label width specified", k_selection_error, ui::Icon::exclamation);
        return false;
    }
    if (s.labels_down > 1 && s.label_height == 0) {
        ctx.message("No label height specified", k_selection_error, ui::Icon::exclamation);
        return false;
    }
    m_env.layout.settings = s;
    const std::string path = m_env.layout.settings_path();
    if (!write_side_file(path, encode_settings(s)))
        ctx.message(file_name_of(path) + " could not be written: these settings hold until the program ends.",
                    k_print_qsl_title, ui::Icon::stop);
    return true;
}

bool QslPrintWindow::label_type_known(ui::Context& ctx) {
    if (m_env.layout.settings.type_known()) return true;
    ctx.message(k_unknown_type_text, "");
    return false;
}

void QslPrintWindow::test_sheet(ui::Context& ctx) {
    if (!read_settings(ctx) || !label_type_known(ctx)) return;
    auto printer = choose_printer_for(ctx);
    if (!printer) return;
    const LabelLayout& layout = m_env.layout;
    const bool multi = layout.settings.label_type == k_multi_label;
    LabelRun run(*printer, layout, multi ? LabelRun::Form::multi : LabelRun::Form::single,
                 sheet_geometry(layout.settings, *printer));
    const LabelValues sample = test_label(m_env.band_names);
    // One whole sheet; a multi label holds as many rows as it can.
    const long total = static_cast<long>(layout.settings.across()) * layout.settings.down() *
                       (multi ? layout.settings.per_label() : 1);
    ui::run_with_progress(ctx, "Test Print", [&](ui::Progress& progress) {
        progress.set_total(total);
        for (long i = 0; i < total; ++i) {
            (void)run.add(sample);
            progress.advance_to(i + 1);
        }
        run.finish();
    });
    (void)end_job_or_tell(ctx, *printer, k_fault_report);
}

void QslPrintWindow::qsl_run(ui::Context& ctx) {
    if (!read_settings(ctx) || !label_type_known(ctx)) return;
    QueueRules rules;
    rules.received_only = m_env.layout.settings.received_only;
    if (const std::string typed = ctx.text(k_start_date); !typed.empty()) {
        const logstore::NormalisedDate date =
            logstore::normalise_date_entry(typed, logstore::utc_year_of(ctx.host().now()));
        if (!date.ok()) {
            ctx.message(logstore::message_of(date.error), logstore::k_date_error_title,
                        ui::Icon::exclamation);
            ctx.set_text(k_start_date, "");
            ctx.focus(k_start_date);
            return;
        }
        ctx.set_text(k_start_date, date.text);
        rules.start_date = date.day_number;
    }
    if (!log_windows::log_selected(ctx, m_env.log)) return;
    auto queue = build_qsl_queue(m_env.log, m_env.countries, rules);
    if (!queue) {
        log_windows::tell_log_error(ctx, queue.error(), m_env.log.path());
        return;
    }
    if (queue->qsls.empty()) {
        ctx.message("No QSLs to print", "QSL check complete");
        return;
    }
    auto printer = choose_printer_for(ctx);
    if (!printer) return;
    QslRunJob job{m_env.log,
                  m_env.band_names,
                  m_env.layout,
                  *printer,
                  sheet_geometry(m_env.layout.settings, *printer),
                  m_station,
                  std::move(queue->qsls)};
    QslRunWindow window(job, m_env.layout.settings.pause);
    ctx.run_modal(window);
    // Nothing on the sheets: the job is let go, and no blank page comes out.
    if (job.printed.empty()) return;
    // A card counts as sent only once the printer has taken the whole job.
    if (!end_job_or_tell(ctx, *printer, k_fault_report)) return;
    logstore::LogStatus marked;
    ui::run_with_progress(ctx, "Print QSL", [&](ui::Progress& progress) {
        progress.set_total(static_cast<std::int64_t>(job.printed.size()));
        marked = mark_sent(m_env.log, job.printed, [&](int done) { progress.advance_to(done); });
    });
    if (!marked) log_windows::tell_log_error(ctx, marked.error(), m_env.log.path());
}

void QslPrintWindow::swl_cards(ui::Context& ctx) {
    if (!read_settings(ctx) || !label_type_known(ctx)) return;
    auto printer = choose_printer_for(ctx);
    if (!printer) return;
    SwlWindow window(m_env.layout, std::move(printer));
    ctx.run_modal(window);
}

void print_qsls(ui::Context& parent, QslPrintEnv env) {
    QslPrintWindow window(std::move(env));
    parent.run_modal(window);
}

} // namespace kestrel::printing
