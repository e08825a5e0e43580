#include "exchange/merge_list_window.hpp"

#include "common/number_text.hpp"
#include "exchange/merge_rows.hpp"
#include "log_windows/log_messages.hpp"
#include "ui/context.hpp"

#include <algorithm>
#include <cmath>

namespace kestrel::exchange {

namespace {

constexpr ui::Colour k_rule_grey{128, 128, 128};
constexpr int k_date_width = 8; // characters
// Rules between the columns, in pixels of a font eight pixels wide; other fonts move them in
// proportion so they stay between the same characters.
constexpr int k_reference_char_width = 8;
constexpr int k_column_rules[] = {68, 84, 190, 236, 284, 340, 372, 420, 444};

} // namespace

int merge_page_size(double scale_factor) {
    if (scale_factor <= 1.1) return 24;
    if (scale_factor <= 1.3) return 30;
    return 40;
}

MergeListWindow::MergeListWindow(LogReader& extract, std::vector<bool>& marks,
                                 const logstore::BandNameTable& names, double scale_factor)
    : m_extract(extract), m_marks(marks), m_names(names), m_scale(scale_factor),
      m_page_size(merge_page_size(scale_factor)) {
    const int count = static_cast<int>(m_marks.size());
    m_highest = std::max(0, count - m_page_size);
    m_shown = std::min(count, m_page_size);
}

int MergeListWindow::scaled(double value) const {
    return static_cast<int>(std::lround(value * m_scale));
}

ui::Form MergeListWindow::build() const {
    ui::Form form;
    form.caption = "KESTREL v6    SELECT ENTRIES TO MERGE from  " + m_extract.path();
    form.frame = {0, 0, scaled(316), scaled(268)};
    form.at_default_position = true;
    form.font = ui::Font{"Courier", 8};
    const std::string heading(k_merge_heading);
    form.add(ui::label(k_heading, heading, {2, 6, scaled(310), 12}, ui::static_edge));
    form.add(ui::list(k_rows, {2, 18, scaled(310), scaled(240) - 18}, ui::owner_drawn));
    form.add(ui::label(k_entry_label, "Entry:", {10, scaled(244), 24, 8}));
    form.add(ui::edit(k_first_shown, {35, scaled(244), 32, 10}, ui::read_only)).background =
        ui::colours::white;
    form.add(ui::label(k_to_label, "   To:", {10, scaled(255), 24, 8}));
    form.add(ui::edit(k_last_shown, {35, scaled(255), 32, 10}, ui::read_only)).background =
        ui::colours::white;
    form.add(ui::label(k_hint, "F1 to toggle move marker", {scaled(80), scaled(249), 120, 8}));
    form.add(ui::button(ui::k_cancel, "E&xit", {scaled(270), scaled(250), 40, 12}));

    using ui::Key;
    form.accelerators = {
        {{Key::page_up}, k_page_up}, {{Key::page_down}, k_page_down}, {{Key::home}, k_home},
        {{Key::end}, k_end},         {{Key::f1}, k_toggle},
    };
    return form;
}

void MergeListWindow::on_init(ui::Context& ctx) {
    fill(ctx, 0);
    ctx.focus(k_rows);
}

void MergeListWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (id == k_rows) {
        if (notify == ui::Notify::double_clicked) toggle(ctx);
        return;
    }
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_page_up: move_to(ctx, std::max(0, m_first - m_page_size)); break;
    case k_page_down: move_to(ctx, std::min(m_highest, m_first + m_page_size)); break;
    case k_home: move_to(ctx, 0); break;
    case k_end: move_to(ctx, m_highest); break;
    case k_toggle: toggle(ctx); break;
    case ui::k_cancel: ctx.close(0); break;
    }
}

void MergeListWindow::move_to(ui::Context& ctx, int first) {
    if (first == m_first) return;
    m_first = first;
    fill(ctx, 0);
}

void MergeListWindow::toggle(ui::Context& ctx) {
    const int line = ctx.selection(k_rows);
    if (line < 0 || line >= m_shown) return;
    const auto n = static_cast<std::size_t>(m_first + line);
    m_marks[n] = !m_marks[n];
    fill(ctx, line);
}

void MergeListWindow::fill(ui::Context& ctx, int selected_line) {
    std::vector<logstore::RecordBytes> records;
    std::vector<std::string> rows;
    if (const auto status = m_extract.read(m_first + 1, m_shown, records); !status) {
        log_windows::tell_log_error(ctx, status.error(), m_extract.path());
    } else {
        for (std::size_t i = 0; i < records.size(); ++i)
            rows.push_back(merge_row(records[i], m_marks[static_cast<std::size_t>(m_first) + i], m_names));
    }
    ctx.set_items(k_rows, std::move(rows));
    ctx.set_text(k_first_shown, number_text(m_first + 1));
    ctx.set_text(k_last_shown, number_text(m_first + m_shown));
    ctx.select(k_rows, selected_line < ctx.item_count(k_rows) ? selected_line : -1);
}

void MergeListWindow::draw_item(ui::Context& ctx, const ui::DrawItem& item, ui::Canvas& canvas) {
    const std::string row = ctx.item(k_rows, item.index);
    const ui::Rect a = item.area;
    const int char_width = canvas.char_width();
    canvas.fill(a, ui::colours::white);
    canvas.text(a, row, ui::colours::black);
    if (item.selected) {
        const ui::Rect date{a.x, a.y, k_date_width * char_width, a.h};
        canvas.fill(date, ui::colours::blue);
        canvas.text(date, std::string_view(row).substr(0, k_date_width), ui::colours::white);
    }
    if (!is_contact_row(row)) return;
    for (const int x : k_column_rules) {
        const int at = a.x + x * char_width / k_reference_char_width;
        canvas.line({at, a.y}, {at, a.y + a.h}, k_rule_grey);
    }
}

} // namespace kestrel::exchange
