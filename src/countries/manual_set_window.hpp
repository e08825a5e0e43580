#pragma once

#include "countries/chart_grid.hpp"
#include "countries/country_table.hpp"
#include "ui/window.hpp"

namespace kestrel::countries {

// What the manual set remembers from one opening to the next while the program runs: the
// country on show (0 for none) and the selected cell (0 for none, else a cell's control number).
struct ManualSetState {
    int country = 0;
    int cell = 0;
};

struct ManualSetEnv {
    const CountryTable& table;
    StatusChart& chart; // changed at once, cell by cell
    const BandLabels& labels;
    ManualSetState& state;
};

// DXCC/Manual Set: one country's bands, whose worked and confirmed marks the operator switches
// with F1 and F2 on the cell selected with the arrow keys, or with the mouse on a cell's two
// counts.
class ManualSetWindow final : public ui::Window {
  public:
    enum Id {
        k_prefix_label = 100,
        k_prefix = 101,
        k_next = 102,
        k_help = 103,
        k_enter = 110,
        k_worked = 111,    // F1
        k_confirmed = 112, // F2
        k_left = 113,
        k_right = 114,
        k_up = 115,
        k_down = 116,
    };
    explicit ManualSetWindow(ManualSetEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    void on_mouse_up(ui::Context& ctx, ui::Point where) override;

  private:
    void enter(ui::Context& ctx);
    void next(ui::Context& ctx);
    void show_country(ui::Context& ctx, int country);
    void move_selection(ui::Context& ctx, int id);
    void paint_cell(ui::Context& ctx, int cell, bool selected);
    void toggle(ui::Context& ctx, int cell, bool confirmed);
    bool has_line(int country) const;

    ManualSetEnv m_env;
};

void manual_set(ui::Context& parent, ManualSetEnv env);

} // namespace kestrel::countries
