#include "printing/log_pages.hpp"

#include "common/number_text.hpp"

#include <algorithm>

namespace kestrel::printing {

namespace {

constexpr std::string_view k_font = "Courier New";
constexpr int k_summary_indent = 20;       // blanks before "Number of QSOs"
constexpr std::size_t k_time_off_rule = 2; // the rule after the third field, time on

int inches(double value, int dpi) {
    return static_cast<int>(round_half_even(value * dpi));
}

} // namespace

LogPageSetup log_page_setup(Orientation orientation) {
    if (orientation == Orientation::landscape) return {10, 46, 0.75, 0.25};
    return {7, 94, 0.25, 0.75};
}

LogPages::LogPages(Printer& printer, Orientation orientation)
    : m_printer(printer),
      m_style(orientation == Orientation::landscape ? ListingStyle::landscape : ListingStyle::portrait),
      m_setup(log_page_setup(orientation)), m_heading(listing_heading(m_style)) {
    printer.set_orientation(orientation);
    printer.set_font(k_font, m_setup.points);
    m_left = inches(m_setup.left_inches, printer.dpi_x());
    m_top = inches(m_setup.top_inches, printer.dpi_y());
    m_char_width = printer.char_width();
    const int line_height = printer.line_height();
    // The page's lines, a blank line and the page number must fit below the top margin.
    const int room = std::max(0, printer.page_height() - m_top);
    m_pitch = std::max(1, std::min(line_height, room / (m_setup.lines_per_page + 2)));
    m_text_offset = (m_pitch - line_height) / 2;

    // Rules stand in the middle of the separators, in half characters from the left margin.
    const int separator = static_cast<int>(separator_of(m_style).size());
    int half_chars = 0;
    for (int f = 0; f < k_listing_fields - 1; ++f) {
        half_chars += 2 * k_field_widths[f];
        m_column_rules.push_back(m_left + (half_chars + separator) * m_char_width / 2);
        half_chars += 2 * separator;
    }
    half_chars += 2 * 3; // "QSL" over the two letters of the tag
    m_frame_left = m_left - m_char_width / 2;
    m_frame_right = m_left + (half_chars + 1) * m_char_width / 2;
}

void LogPages::put(const std::string& text) {
    m_printer.text(m_left, line_top(m_lines) + m_text_offset, text);
    ++m_lines;
}

void LogPages::start_page() {
    if (m_new_page_due) {
        m_printer.new_page();
        m_new_page_due = false;
        ++m_page;
    }
    m_lines = 0;
    m_printer.line(m_frame_left, m_top, m_frame_right, m_top);
    m_columns_from = m_top;
    put(m_heading);
    m_printer.line(m_frame_left, line_top(1), m_frame_right, line_top(1));
}

bool LogPages::add(const ListingLine& line) {
    if (m_lines == 0) start_page();
    const int top = line_top(m_lines);
    if (line.kind == LineKind::contact) {
        if (m_columns_from < 0) m_columns_from = top;
    } else {
        close_column_rules(top);
    }
    put(line.text);
    if (m_lines < m_setup.lines_per_page) return false;
    end_page();
    return true;
}

void LogPages::close_column_rules(int bottom) {
    if (m_columns_from < 0) return;
    // The date's rule runs the whole page (draw_frame); the others only beside the contacts, and
    // the one between the times not through "Time On/Off".
    for (std::size_t i = 1; i < m_column_rules.size(); ++i) {
        const bool under_heading = i == k_time_off_rule && m_columns_from == m_top;
        const int top = under_heading ? line_top(1) : m_columns_from;
        if (bottom > top) m_printer.line(m_column_rules[i], top, m_column_rules[i], bottom);
    }
    m_columns_from = -1;
}

void LogPages::draw_frame(int bottom) {
    close_column_rules(bottom);
    m_printer.line(m_frame_left, bottom, m_frame_right, bottom);
    m_printer.line(m_frame_left, m_top, m_frame_left, bottom);
    m_printer.line(m_frame_right, m_top, m_frame_right, bottom);
    // The date stands apart on every line, notes and station data too.
    m_printer.line(m_column_rules[0], m_top, m_column_rules[0], bottom);
}

void LogPages::end_page() {
    draw_frame(line_top(m_lines));
    print_page_number();
    m_lines = 0;
    m_new_page_due = true;
}

void LogPages::finish(int qso_count) {
    if (m_lines == 0 && !m_new_page_due) start_page(); // an empty listing still shows its heading
    if (m_new_page_due) {
        m_printer.new_page();
        m_new_page_due = false;
        ++m_page;
    } else {
        draw_frame(line_top(m_lines));
    }
    m_printer.text(m_left, line_top(m_lines) + m_text_offset,
                   std::string(k_summary_indent, ' ') + "Number of QSOs " + number_text(qso_count));
    print_page_number();
}

void LogPages::print_page_number() {
    const std::string number = "Page" + number_text(m_page);
    const int x = (m_frame_left + m_frame_right) / 2 - static_cast<int>(number.size()) * m_char_width / 2;
    m_printer.text(x, line_top(m_setup.lines_per_page + 1) + m_text_offset, number);
}

} // namespace kestrel::printing
