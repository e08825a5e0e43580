// What the layout of each DXCC window is for: every control inside its window, none on top of
// another that could be seen with it (a frame holds its controls), at every size of screen.
#include "countries/call_correction_window.hpp"
#include "countries/country_stats_window.hpp"
#include "countries/log_check_window.hpp"
#include "countries/manual_set_window.hpp"
#include "countries/qsl_award_window.hpp"

#include "dxcc_fixture.hpp"

namespace kestrel::countries::testing {
namespace {

bool overlap(const ui::Rect& a, const ui::Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool inside(const ui::Rect& a, const ui::Rect& outer) {
    return a.x >= outer.x && a.y >= outer.y && a.x + a.w <= outer.x + outer.w &&
           a.y + a.h <= outer.y + outer.h;
}

void expect_tidy(const ui::Form& form) {
    const ui::Rect window{0, 0, form.frame.w, form.frame.h};
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const ui::Control& c = form.controls[i];
        EXPECT_TRUE(inside(c.rect, window)) << form.caption << " " << c.id;
        for (std::size_t j = i + 1; j < form.controls.size(); ++j) {
            const ui::Control& d = form.controls[j];
            const bool framed = (c.kind == ui::ControlKind::group && inside(d.rect, c.rect)) ||
                                (d.kind == ui::ControlKind::group && inside(c.rect, d.rect));
            EXPECT_TRUE(framed || !overlap(c.rect, d.rect))
                << form.caption << ": " << c.id << " and " << d.id;
        }
    }
}

class WindowLayout : public DxccTest {};

TEST_F(WindowLayout, EveryControlInsideItsWindowAndNoneOnAnother) {
    ManualSetState state;
    expect_tidy(LogCheckWindow({m_log, m_table, m_chart, m_labels}).build());
    LogCheckResult result;
    expect_tidy(CheckingLogWindow({m_log, m_table, m_chart, m_labels}, m_chart, result).build());
    expect_tidy(CallCorrectionWindow("4U1UN").build());
    expect_tidy(ManualSetWindow({m_table, m_chart, m_labels, state}).build());
    for (double scale : {1.0, 1.6, 2.25})
        expect_tidy(CountryStatsWindow({m_log, m_table, m_chart, scale, ""}).build());
    expect_tidy(QslAwardWindow({m_log, m_names, m_table, ""}).build());
}

// The grid a window shows once it runs: its counts inside the window, and nothing of it over
// a button.
void expect_grid_clear(const ui::Form& form) {
    const ui::Rect window{0, 0, form.frame.w, form.frame.h};
    for (const ui::Control& grid : form.controls) {
        if (grid.id < k_first_grid_cell - 60) continue; // rules from 590, labels, cells
        if (grid.id >= k_first_grid_cell) {
            EXPECT_TRUE(inside(grid.rect, window)) << form.caption << " " << grid.id;
        }
        for (const ui::Control& button : form.controls) {
            if (button.kind != ui::ControlKind::button) continue;
            EXPECT_FALSE(overlap(grid.rect, button.rect))
                << form.caption << ": " << grid.id << " and " << button.id;
        }
    }
}

TEST_F(WindowLayout, TheChartGridsStayClearOfTheButtons) {
    open_log({contact("G3ABC")});
    ManualSetState state;
    ui::TestRun check = m_host.open(LogCheckWindow{{m_log, m_table, m_chart, m_labels}});
    check.click(LogCheckWindow::k_check);
    ASSERT_TRUE(check.exists(k_first_grid_cell));
    expect_grid_clear(check.context().form());
    ui::TestRun set = m_host.open(ManualSetWindow{{m_table, m_chart, m_labels, state}});
    set.type("G").key(ui::Key::enter);
    ASSERT_TRUE(set.exists(k_first_grid_cell));
    expect_grid_clear(set.context().form());
}

} // namespace
} // namespace kestrel::countries::testing
