#include "countries/manual_set_window.hpp"

#include "common/number_text.hpp"
#include "ui/context.hpp"

#include <algorithm>

namespace kestrel::countries {

namespace {

constexpr ui::Colour k_selected_text{255, 255, 0};

// Where the cells of one country's grid lie, in dialog units: band b's row at y 12 b + 37,
// mode class m's column at x 44 + 40 m, each cell 30 wide. The count before "/" takes the first
// three characters of the cell's text, the count after it starts at the fifth.
constexpr int k_first_column_x = 44, k_column_pitch = 40, k_cell_width = 30;
constexpr int k_first_row_y = 37, k_row_pitch = 12;
constexpr int k_char_width = 4; // of the grid's Courier in its own dialog units

int cell_of(int band, int mode_class) {
    return k_first_grid_cell + k_mode_classes * band + mode_class;
}
int band_of_cell(int cell) {
    return (cell - k_first_grid_cell) / k_mode_classes;
}
int mode_of_cell(int cell) {
    return (cell - k_first_grid_cell) % k_mode_classes;
}

std::string trimmed(std::string text) {
    text.erase(0, std::min(text.size(), text.find_first_not_of(' ')));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

ui::Form ManualSetWindow::build() const {
    ui::Form form;
    form.caption = "Manual DXCC Set";
    form.frame = {20, 20, 200, 235};
    form.font = ui::Font{"Courier", 8};
    form.background = ui::colours::pale_yellow;
    form.add(ui::label(k_prefix_label, "Prefix or Number:", {5, 5, 70, 8}));
    form.add(ui::edit(k_prefix, {76, 4, 24, 10}, ui::upper_case));
    form.add(ui::button(k_next, "&Next", {20, 195, 30, 15})).enabled = false;
    form.add(ui::button(ui::k_cancel, "E&xit", {150, 195, 30, 15}));
    form.add(ui::label(
        k_help, "Change with Mouse or Cursor to select then\r\n F1 toggles Worked - F2 toggles Confirmed",
        {10, 215, 180, 16}));
    // These keys belong to the window, whichever control has the focus.
    form.accelerators = {{{ui::Key::enter}, k_enter},  {{ui::Key::f1}, k_worked},
                         {{ui::Key::f2}, k_confirmed}, {{ui::Key::left}, k_left},
                         {{ui::Key::right}, k_right},  {{ui::Key::up}, k_up},
                         {{ui::Key::down}, k_down}};
    return form;
}

void ManualSetWindow::on_init(ui::Context& ctx) {
    // Opened again in the same run: the country and cell of last time, ready to go on with.
    const int country = m_env.state.country;
    if (country < 1 || country > m_env.table.highest_country() || !has_line(country)) {
        m_env.state.country = 0;
        return;
    }
    ctx.set_text(k_prefix, number_text(country));
    show_country(ctx, country);
}

void ManualSetWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_enter: enter(ctx); break;
    case k_next: next(ctx); break;
    case k_worked:
    case k_confirmed:
        if (m_env.state.country > 0 && m_env.state.cell != 0)
            toggle(ctx, m_env.state.cell, id == k_confirmed);
        break;
    case k_left:
    case k_right:
    case k_up:
    case k_down: move_selection(ctx, id); break;
    case ui::k_cancel: ctx.close(0); break;
    }
}

bool ManualSetWindow::has_line(int country) const {
    return !m_env.table.prefixes_of_country(country).list.empty();
}

void ManualSetWindow::enter(ui::Context& ctx) {
    // Next leaves the number with its leading blank; blanks around what is typed do not count.
    const std::optional<int> found = m_env.table.resolve_prefix_or_number(trimmed(ctx.text(k_prefix)));
    if (!found) return;
    // A number the country list does not carry is no country either: it has nothing to set.
    if (*found < 1 || !has_line(*found)) {
        ctx.message("Not a DXCC country", "Country check");
        return;
    }
    show_country(ctx, *found);
}

void ManualSetWindow::next(ui::Context& ctx) {
    const int highest = m_env.table.highest_country();
    for (int n = m_env.state.country + 1; n <= highest; ++n) {
        if (!has_line(n)) continue; // numbers the list skips
        ctx.set_text(k_prefix, number_text(n));
        show_country(ctx, n);
        return;
    }
}

void ManualSetWindow::show_country(ui::Context& ctx, int country) {
    m_env.state.country = country;
    const CountryTable::Prefixes p = m_env.table.prefixes_of_country(country);
    ctx.set_caption("STATUS for " + p.name + ":  " + p.list);
    show_chart_grid(ctx, m_env.chart, m_env.labels, country, country);
    if (m_env.state.cell != 0) paint_cell(ctx, m_env.state.cell, true);
    ctx.enable(k_next);
}

void ManualSetWindow::move_selection(ui::Context& ctx, int id) {
    const int old = m_env.state.cell;
    int band = 0, mode = 0;
    if (old != 0) {
        band = band_of_cell(old);
        mode = mode_of_cell(old);
        switch (id) {
        case k_left: mode = std::max(mode - 1, 0); break;
        case k_right: mode = std::min(mode + 1, k_mode_classes - 1); break;
        case k_up: band = std::max(band - 1, 0); break;
        case k_down: band = std::min(band + 1, k_chart_bands - 1); break;
        }
    }
    m_env.state.cell = cell_of(band, mode);
    if (!ctx.exists(k_first_grid_cell)) return; // painted once a country is shown
    if (old != 0 && old != m_env.state.cell) paint_cell(ctx, old, false);
    paint_cell(ctx, m_env.state.cell, true);
}

void ManualSetWindow::paint_cell(ui::Context& ctx, int cell, bool selected) {
    if (!ctx.exists(cell)) return;
    ui::Control c = ctx.control(cell);
    c.foreground = selected ? k_selected_text : ui::colours::black;
    c.background = selected ? std::optional<ui::Colour>(ui::colours::blue) : std::nullopt;
    ctx.add_control(std::move(c));
}

void ManualSetWindow::toggle(ui::Context& ctx, int cell, bool confirmed) {
    const int country = m_env.state.country;
    const int band = band_of_cell(cell);
    const int mode = mode_of_cell(cell);
    const auto worked_bit = static_cast<std::uint8_t>(1u << (2 * mode));
    const auto confirmed_bit = static_cast<std::uint8_t>(2u << (2 * mode));
    std::uint8_t byte = m_env.chart.byte(country, band);
    if (confirmed) {
        byte ^= confirmed_bit;
        if (byte & confirmed_bit) byte |= worked_bit; // confirmed means worked
    } else {
        byte ^= worked_bit;
        if (!(byte & worked_bit)) byte &= static_cast<std::uint8_t>(~confirmed_bit); // nor confirmed
    }
    m_env.chart.set_byte(country, band, byte);
    show_chart_grid(ctx, m_env.chart, m_env.labels, country, country);
}

void ManualSetWindow::on_mouse_up(ui::Context& ctx, ui::Point at) {
    if (m_env.state.country < 1 || !ctx.exists(k_first_grid_cell)) return;
    const int dx = at.x - k_first_column_x;
    // A row takes the cell's height and the gap halves above and below it.
    const int dy = at.y - (k_first_row_y - 2);
    if (dx < 0 || dy < 0) return;
    const int mode = dx / k_column_pitch, band = dy / k_row_pitch;
    if (mode >= k_mode_classes || band >= k_chart_bands) return;
    const int offset = dx % k_column_pitch;
    if (offset < 3 * k_char_width)
        toggle(ctx, cell_of(band, mode), false);
    else if (offset >= 4 * k_char_width && offset < k_cell_width)
        toggle(ctx, cell_of(band, mode), true);
}

void manual_set(ui::Context& parent, ManualSetEnv env) {
    ManualSetWindow window(env);
    parent.run_modal(window);
}

} // namespace kestrel::countries
