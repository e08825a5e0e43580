#include "browse/browse_window.hpp"

#include "browse/page_drawing.hpp"
#include "browse/page_line.hpp"
#include "common/number_text.hpp"
#include "log_windows/load_log.hpp"
#include "log_windows/log_messages.hpp"
#include "logstore/dates.hpp"
#include "logstore/log_store.hpp"
#include "logstore/record.hpp"
#include "ui/context.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrel::browse {

namespace {

constexpr ui::Colour k_heading_text{255, 255, 0};
constexpr ui::Colour k_heading_back{0, 0, 255};

} // namespace

int number_box_width() {
    // A character of the window's fixed font is four units wide; the box's frame and margins
    // take a character's width and a half more.
    const int widest = static_cast<int>(number_text(std::numeric_limits<int>::max()).size());
    return 4 * widest + 6;
}

int page_size_for(double scale_factor) {
    if (scale_factor > 1.3) return 40;
    if (scale_factor > 1.1) return 30;
    return 24;
}

BrowseWindow::BrowseWindow(BrowseEnv env)
    : m_env(std::move(env)), m_page_size(page_size_for(m_env.scale_factor)) {}

ui::Form BrowseWindow::build() const {
    const double s = m_env.scale_factor;
    const auto scaled = [s](int v) { return static_cast<int>(std::lround(v * s)); };
    ui::Form form;
    form.caption = "KESTREL v6    Browse Log" + std::string(30, ' ') + m_env.editor.log.path();
    form.frame = {0, 0, scaled(316), scaled(268)};
    form.at_default_position = true;
    form.font = ui::Font{"Courier", 8};

    // The search row spreads out on a larger screen.
    const bool wide = s > 1.1;
    const int a = wide ? 100 : 80, b = wide ? 120 : 100, c = wide ? 190 : 142, d = wide ? 224 : 176,
              e = wide ? 340 : 276;
    form.add(ui::label(k_call_label, "&Call:", {6, 4, 20, 8}));
    // Each search box holds no more than the field it is looked for in: a longer text could
    // never be found.
    form.add(ui::edit(k_call, {26, 2, 52, 12}, ui::upper_case)).text_limit = logstore::k_call_width;
    form.add(ui::label(k_date_label, "D&ate:", {a, 4, 20, 8}));
    form.add(ui::edit(k_date, {b, 2, 34, 12})).text_limit = logstore::k_date_text_width;
    form.add(ui::label(k_comment_label, "Commen&t:", {c, 4, 32, 8}));
    form.add(ui::edit(k_comment, {d, 2, 78, 12})).text_limit = logstore::k_comment_width;
    form.add(ui::button(k_search, "&Search", {e, 2, 28, 12}, ui::default_button));

    ui::Control& heading = form.add(
        ui::label(k_heading, std::string(k_page_heading), {2, 20, scaled(310), 12}, ui::static_edge));
    heading.foreground = k_heading_text;
    heading.background = k_heading_back;
    form.add(ui::list(k_lines, {2, 32, scaled(310), scaled(218)}, ui::owner_drawn));

    // The record numbers shown go as high as a log can hold records.
    const int numbers = number_box_width();
    form.add(ui::label(k_entry_label, "Entry:", {10, scaled(244), 24, 8}));
    form.add(ui::edit(k_first_shown, {35, scaled(244), numbers, 10}, ui::read_only)).background =
        ui::colours::white;
    form.add(ui::label(k_to_label, "   To:", {10, scaled(255), 24, 8}));
    form.add(ui::edit(k_last_shown, {35, scaled(255), numbers, 10}, ui::read_only)).background =
        ui::colours::white;
    const int keys = 35 + numbers + 3;
    form.add(ui::label(k_sent_label, "F1-toggle QSL Tx", {std::max(keys, scaled(70)), scaled(244), 66, 8}));
    form.add(
        ui::label(k_received_label, "F2-toggle QSL Rx", {std::max(keys, scaled(70)), scaled(255), 66, 8}));
    form.add(ui::label(k_delete_label, "F12-delete entry", {scaled(160), scaled(244), 66, 8}));
    form.add(ui::button(k_edit, "&Edit", {scaled(230), scaled(255), 30, 12}));
    form.add(ui::button(k_page_up, "Page Up", {scaled(270), scaled(242), 40, 12}));
    form.add(ui::button(k_page_down, "Page Down", {scaled(270), scaled(255), 40, 12}));

    using ui::Key;
    form.accelerators = {
        {{Key::page_up}, k_page_up},
        {{Key::page_down}, k_page_down},
        {{Key::home}, k_home},
        {{Key::end}, k_end},
        {{Key::up, ui::shift}, k_home},
        {{Key::down, ui::shift}, k_end},
        {{Key::up}, k_up},
        {{Key::down}, k_down},
        {{Key::f1}, k_toggle_sent},
        {{Key::f2}, k_toggle_received},
        {{Key::f12}, k_delete},
        {{Key::del, ui::control}, k_delete},
    };
    return form;
}

void BrowseWindow::on_init(ui::Context& ctx) {
    measure();
    m_top = 0;
    m_selected = 0;
    fill(ctx);
    ctx.focus(k_lines);
}

void BrowseWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (id == k_call || id == k_comment || id == k_date) {
        box_notified(ctx, id, notify);
        return;
    }
    if (id == k_lines) {
        if (notify == ui::Notify::selection_changed && ctx.selection(k_lines) >= 0)
            m_selected = ctx.selection(k_lines);
        if (notify == ui::Notify::double_clicked) edit(ctx);
        return;
    }
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_search: search(ctx); break;
    case k_exit: ctx.close(0); break;
    case k_page_up: page_up(ctx); break;
    case k_page_down: page_down(ctx); break;
    case k_home: home(ctx); break;
    case k_end: end(ctx); break;
    case k_up: up(ctx); break;
    case k_down: down(ctx); break;
    case k_toggle_sent: toggle_qsl(ctx, 1); break;
    case k_toggle_received: toggle_qsl(ctx, 2); break;
    case k_edit: edit(ctx); break;
    case k_delete: remove(ctx); break;
    default: break;
    }
}

void BrowseWindow::box_notified(ui::Context& ctx, int id, ui::Notify notify) {
    // Typing here runs on every keystroke: it only rewinds the search, nothing reads the log.
    if (notify != ui::Notify::focus_gained && notify != ui::Notify::changed) return;
    if (id == k_call) m_call_from = 1;
    if (id == k_comment) m_comment_from = 1;
    if (notify != ui::Notify::focus_gained) return;
    for (int box : {k_call, k_date, k_comment})
        ctx.set_text(box, "");
    m_search_mode = id == k_call      ? SearchMode::call
                    : id == k_comment ? SearchMode::comment
                                      : SearchMode::date;
}

void BrowseWindow::draw_item(ui::Context& ctx, const ui::DrawItem& item, ui::Canvas& canvas) {
    if (item.control != k_lines) return;
    const std::string line = ctx.item(k_lines, item.index);
    draw_page_line(canvas, item, visible_text(line));
}

void BrowseWindow::measure() {
    const int count = log().record_count();
    m_last_top = std::max(0, count - m_page_size);
    m_lines_shown = std::min(m_page_size, count);
}

void BrowseWindow::fill(ui::Context& ctx) {
    // Only the records of the page are read.
    m_search_mode = SearchMode::none;
    ctx.set_text(k_first_shown, number_text(m_top + 1));
    std::vector<std::string> lines;
    if (m_lines_shown > 0) {
        const auto records = log().read_records(m_top + 1, m_lines_shown);
        if (records) {
            lines.reserve(records->size());
            for (const logstore::RecordBytes& r : *records)
                lines.push_back(page_line(r, m_env.editor.band_names));
        } else {
            log_windows::tell_log_error(ctx, records.error());
        }
    }
    ctx.set_items(k_lines, std::move(lines));
    ctx.set_text(k_last_shown, number_text(m_top + m_lines_shown));
    ctx.select(k_lines, m_selected < m_lines_shown ? m_selected : -1);
}

void BrowseWindow::refill_keeping_mode(ui::Context& ctx) {
    const SearchMode mode = m_search_mode;
    fill(ctx);
    m_search_mode = mode;
}

void BrowseWindow::select_line(ui::Context& ctx, int line) {
    m_selected = line;
    ctx.select(k_lines, line < m_lines_shown ? line : -1);
}

void BrowseWindow::down(ui::Context& ctx) {
    if (m_selected < m_page_size - 1 && m_selected < m_lines_shown - 1) {
        select_line(ctx, m_selected + 1);
    } else {
        page_down(ctx);
    }
}

void BrowseWindow::up(ui::Context& ctx) {
    if (m_selected > 0) {
        select_line(ctx, m_selected - 1);
    } else {
        page_up(ctx);
    }
}

// Pages overlap by one line, so the line the operator was looking at stays in view.
void BrowseWindow::page_up(ui::Context& ctx) {
    if (m_top == 0) return;
    m_top = std::max(0, m_top - (m_page_size - 1));
    m_selected = m_page_size - 1;
    fill(ctx);
}

void BrowseWindow::page_down(ui::Context& ctx) {
    if (m_top == m_last_top) return;
    m_top = std::min(m_last_top, m_top + (m_page_size - 1));
    m_selected = 0;
    fill(ctx);
    ctx.focus(k_lines);
}

void BrowseWindow::home(ui::Context& ctx) {
    if (m_top == 0) return;
    m_top = 0;
    m_selected = 0;
    fill(ctx);
}

void BrowseWindow::end(ui::Context& ctx) {
    if (m_top == m_last_top) return;
    m_top = m_last_top;
    m_selected = 0;
    fill(ctx);
}

int BrowseWindow::selected_record() const {
    // After a date search past the last record no line is selected, and nothing is acted on.
    if (m_selected < 0 || m_selected >= m_lines_shown) return 0;
    return m_top + m_selected + 1;
}

void run_browse(ui::Context& parent, BrowseEnv env) {
    logstore::LogStore& log = env.editor.log;
    if (!log_windows::log_selected(parent, log)) return;
    if (!log_windows::ensure_record_index(parent.host(), &parent, log)) return;
    BrowseWindow window(std::move(env));
    parent.run_modal(window);
}

} // namespace kestrel::browse
