#pragma once

#include "exchange/log_copy.hpp"
#include "logstore/band_names.hpp"
#include "ui/window.hpp"

#include <vector>

namespace kestrel::exchange {

// The entries of the extract log a page at a time, where the operator marks those to move
// (F1 or a double click on a row); the marks are what "&Write Logs" merges.
class MergeListWindow final : public ui::Window {
  public:
    enum Id {
        k_heading = 14,
        k_entry_label = 15,
        k_to_label = 16,
        k_hint = 17,
        k_page_up = 33,
        k_page_down = 34,
        k_end = 35,
        k_home = 36,
        k_toggle = 112,
        k_first_shown = 301,
        k_last_shown = 302,
        k_rows = 3074,
    };

    MergeListWindow(LogReader& extract, std::vector<bool>& marks, const logstore::BandNameTable& names,
                    double scale_factor);
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    void draw_item(ui::Context& ctx, const ui::DrawItem& item, ui::Canvas& canvas) override;

    int page_size() const { return m_page_size; }

  private:
    int scaled(double value) const;
    void move_to(ui::Context& ctx, int first);
    void toggle(ui::Context& ctx);
    void fill(ui::Context& ctx, int selected_line);

    LogReader& m_extract;
    std::vector<bool>& m_marks;
    const logstore::BandNameTable& m_names;
    double m_scale;
    int m_page_size;
    int m_first = 0;   // entries before the first row
    int m_highest = 0; // the largest m_first
    int m_shown = 0;   // rows on a page
};

// Rows a page holds on a screen of the given scale.
[[nodiscard]] int merge_page_size(double scale_factor);

} // namespace kestrel::exchange
