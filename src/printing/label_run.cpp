#include "printing/label_run.hpp"

#include "common/fixed_text.hpp"
#include "printer/printer.hpp"

#include <array>

namespace kestrel::printing {

namespace {

constexpr std::string_view k_divider = "///";
constexpr int k_table_width = 30; // characters, as the heading
// Where the rules between the table's columns stand, in half characters from its left edge.
constexpr std::array<int, 4> k_rules_at = {19, 31, 43, 53};

} // namespace

TemplateParts split_template(std::string_view text) {
    const std::size_t at = text.find(k_divider);
    if (at == std::string_view::npos) return {text, {}};
    const std::size_t foot = std::min(text.size(), at + k_divider.size() + 2);
    return {text.substr(0, at), text.substr(foot)};
}

std::string table_row(const LabelValues& v) {
    return fixed_width(v.date, 9) + " " + fixed_width(v.time, 5) + " " + fixed_width(v.band_metres, 5) + " " +
           fixed_width(v.mode, 3) + "  " + v.rst_sent.substr(0, 3);
}

LabelRun::LabelRun(Printer& printer, const LabelLayout& layout, Form form, SheetGeometry geometry,
                   std::function<bool()> next_sheet)
    : m_printer(printer), m_layout(layout), m_form(form), m_sheet(printer, geometry),
      m_next_sheet(std::move(next_sheet)) {}

bool LabelRun::sheet_ready() {
    if (!m_sheet.new_page_due() || !m_next_sheet) return true;
    return m_next_sheet();
}

LabelRun::Placed LabelRun::add_single(const Placeholders& placeholders) {
    if (!sheet_ready()) return {false, false};
    const LabelSheet::Corner corner = m_sheet.begin_label();
    LabelPen pen{corner.x, corner.x, corner.y};
    start_label_font(m_printer);
    render_label(m_printer, placeholders.expand(m_layout.template_text), pen);
    m_sheet.advance();
    return {true, true};
}

LabelRun::Placed LabelRun::add(const LabelValues& values) {
    if (m_form == Form::single) return add_single(values.placeholders());
    const std::string station = label_station(values.call);
    if (m_open && (station != m_station || m_rows >= m_layout.settings.per_label())) close_label();
    if (!m_open) {
        if (!sheet_ready()) return {false, false};
        open_label(values);
    }
    m_station = station;
    add_row(values);
    return {true, true};
}

void LabelRun::finish() {
    if (m_open) close_label();
}

void LabelRun::open_label(const LabelValues& values) {
    const LabelSheet::Corner corner = m_sheet.begin_label();
    m_pen = {corner.x, corner.x, corner.y};
    start_label_font(m_printer);
    render_label(m_printer, values.placeholders().expand(split_template(m_layout.template_text).head), m_pen);
    const int line = m_printer.line_height();
    if (m_pen.x != m_pen.left) m_pen.y += line; // the head ended part way along a line
    m_pen.x = m_pen.left;
    m_char_width = m_printer.char_width();
    const int right = m_pen.left + k_table_width * m_char_width;
    m_table_top = m_pen.y;
    m_printer.line(m_pen.left, m_pen.y, right, m_pen.y);
    m_printer.text(m_pen.left, m_pen.y, k_table_heading);
    m_pen.y += line;
    m_printer.line(m_pen.left, m_pen.y, right, m_pen.y);
    m_open = true;
    m_rows = 0;
}

void LabelRun::add_row(const LabelValues& values) {
    m_printer.text(m_pen.left, m_pen.y, table_row(values));
    m_pen.y += m_printer.line_height();
    ++m_rows;
    m_last = values;
}

void LabelRun::close_label() {
    const int left = m_pen.left;
    m_printer.line(left, m_pen.y, left + k_table_width * m_char_width, m_pen.y);
    for (int at : k_rules_at) {
        const int x = left + at * m_char_width / 2;
        m_printer.line(x, m_table_top, x, m_pen.y);
    }
    m_pen.y += m_printer.line_height();
    m_pen.x = left;
    render_label(m_printer, m_last.placeholders().expand(split_template(m_layout.template_text).foot), m_pen);
    m_open = false;
    m_sheet.advance();
}

} // namespace kestrel::printing
