// What the layout of each printing window is for: every control inside its window, and no two
// that could be seen at once on top of each other.
#include "printing/log_print_window.hpp"
#include "printing/qsl_print_window.hpp"
#include "printing/qsl_run_window.hpp"
#include "printing/swl_window.hpp"
#include "printing_fixture.hpp"

namespace kestrel::printing {
namespace {

bool overlap(const ui::Rect& a, const ui::Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

void expect_tidy(const ui::Form& form) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const ui::Control& c = form.controls[i];
        EXPECT_GE(c.rect.x, 0) << form.caption << " " << c.id;
        EXPECT_GE(c.rect.y, 0) << form.caption << " " << c.id;
        EXPECT_LE(c.rect.x + c.rect.w, form.frame.w) << form.caption << " " << c.id;
        EXPECT_LE(c.rect.y + c.rect.h, form.frame.h) << form.caption << " " << c.id;
        for (std::size_t j = i + 1; j < form.controls.size(); ++j)
            EXPECT_FALSE(overlap(c.rect, form.controls[j].rect))
                << form.caption << ": " << c.id << " and " << form.controls[j].id;
    }
}

class WindowLayout : public testing::PrintingTest {};

TEST_F(WindowLayout, EveryControlInsideItsWindowAndNoneOnAnother) {
    expect_tidy(PrintLogWindow({m_log, m_names}).build());
    expect_tidy(QslPrintWindow({m_log, m_names, m_countries, m_station, m_layout, ""}).build());
    auto job = std::make_shared<PrintedJob>();
    RecordingPrinter printer(job);
    QslRunJob run{m_log, m_names, m_layout, printer, {}, {}, {}};
    expect_tidy(QslRunWindow(run, true).build());
    expect_tidy(QslRunWindow(run, false).build());
    expect_tidy(SwlWindow(m_layout, nullptr).build());
}

} // namespace
} // namespace kestrel::printing
