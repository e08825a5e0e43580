#include "printing/swl_window.hpp"

#include "printer/printer.hpp"
#include "printing/label_sheet.hpp"
#include "printing/printer_choice.hpp"
#include "ui/context.hpp"

namespace kestrel::printing {

Placeholders swl_placeholders(const SwlReport& r) {
    Placeholders p;
    p.set('A', r.listener);
    p.set('P', r.station);
    p.set('B', r.date);
    p.set('C', r.time);
    p.set('F', r.band);
    p.set('E', r.mode);
    p.set('M', r.comment);
    return p;
}

SwlWindow::SwlWindow(const LabelLayout& layout, std::unique_ptr<Printer> printer)
    : m_layout(layout), m_printer(std::move(printer)) {}

ui::Form SwlWindow::build() const {
    ui::Form form;
    form.caption = "Print SWL QSLs";
    form.frame = {30, 30, 200, 130};
    form.background = ui::colours::pale_yellow;
    struct Row {
        const char* caption;
        int width;
    };
    static const Row rows[] = {{"SWL number or name:", 60}, {"Station Worked:", 60}, {"QSO Date:", 35},
                               {"QSO Time:", 22},           {"Band:", 35},           {"Mode:", 30}};
    int y = 5;
    for (int r = 0; r < 6; ++r, y += 14) {
        form.add(ui::label(k_first_label + r, rows[r].caption, {5, y + 2, 80, 8}, ui::right_aligned));
        form.add(ui::edit(k_swl + r, {90, y, rows[r].width, 12}));
    }
    form.add(ui::label(k_first_label + 6, "Comment:", {5, y + 2, 32, 8}));
    form.add(ui::edit(k_comment, {40, y, 155, 12})).text_limit = 64;
    form.add(ui::button(k_print, "&Print", {60, y + 18, 25, 15}));
    form.add(ui::button(k_exit, "&Exit", {155, y + 18, 25, 15}));
    return form;
}

void SwlWindow::on_init(ui::Context& ctx) {
    // Each card is answered as it comes: no question at the end of a sheet.
    m_run = std::make_unique<LabelRun>(*m_printer, m_layout, LabelRun::Form::single,
                                       sheet_geometry(m_layout.settings, *m_printer));
    ctx.focus(k_swl);
}

void SwlWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case ui::k_ok:
        // Enter goes on to the next box, as far as the comment.
        if (ctx.focused() >= k_swl && ctx.focused() < k_comment) ctx.focus(ctx.focused() + 1);
        break;
    case k_print: print(ctx); break;
    case k_exit: exit(ctx); break;
    }
}

void SwlWindow::print(ui::Context& ctx) {
    SwlReport report{ctx.text(k_swl),  ctx.text(k_station), ctx.text(k_date),   ctx.text(k_time),
                     ctx.text(k_band), ctx.text(k_mode),    ctx.text(k_comment)};
    (void)m_run->add_single(swl_placeholders(report));
    for (int box = k_swl; box <= k_comment; ++box)
        ctx.set_text(box, "");
    ctx.focus(k_swl);
}

void SwlWindow::exit(ui::Context& ctx) {
    // A job with nothing on it is let go unprinted: no blank page comes out.
    if (m_run && m_run->printed_anything()) m_ended_well = end_job_or_tell(ctx, *m_printer, k_fault_report);
    m_run.reset();
    m_printer.reset();
    ctx.close(0);
}

} // namespace kestrel::printing
