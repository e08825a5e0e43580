#include "printing/label_sheet.hpp"

#include "common/number_text.hpp"
#include "printer/printer.hpp"

namespace kestrel::printing {

namespace {
int dots(int millimetres, int dpi) {
    return static_cast<int>(round_half_even(millimetres / 25.4 * dpi));
}
} // namespace

SheetGeometry sheet_geometry(const LabelSettings& s, const Printer& printer) {
    SheetGeometry g;
    g.across = s.across();
    g.down = s.down();
    g.width = dots(s.label_width, printer.dpi_x());
    g.height = dots(s.label_height, printer.dpi_y());
    g.left = dots(s.left_margin, printer.dpi_x()) - printer.printable_left();
    g.top = dots(s.top_margin, printer.dpi_y()) - printer.printable_top();
    return g;
}

LabelSheet::Corner LabelSheet::begin_label() {
    if (m_new_page_due) {
        m_printer.new_page();
        m_new_page_due = false;
    }
    return {m_geometry.left + m_column * m_geometry.width, m_geometry.top + m_row * m_geometry.height};
}

void LabelSheet::advance() {
    ++m_printed;
    if (++m_column < m_geometry.across) return;
    m_column = 0;
    if (++m_row < m_geometry.down) return;
    m_row = 0;
    m_new_page_due = true;
}

} // namespace kestrel::printing
