#pragma once

#include "printer/printer.hpp"
#include "printing/log_listing.hpp"

#include <string>
#include <vector>

namespace kestrel::printing {

// The paper of the printed log: Courier New of 10 points, 46 lines a page, 0.75 inch from the
// top and 0.25 inch from the left in landscape; 7 points, 94 lines, a quarter inch and 0.75 inch
// in portrait. The lines of a page count its heading.
struct LogPageSetup {
    int points = 10;
    int lines_per_page = 46;
    double top_inches = 0.75;
    double left_inches = 0.25;
};
[[nodiscard]] LogPageSetup log_page_setup(Orientation orientation);

// Lays the lines of the printed log out on pages: each page starts with a rule, the heading and a
// second rule, and is framed, with rules between the columns beside the contacts; "Page" and its
// number stand at its foot. The spacing of the lines closes up a little when the paper is too
// short for a page's lines at the font's own spacing.
class LogPages {
  public:
    // Sets the printer's orientation and font: call before anything is printed.
    LogPages(Printer& printer, Orientation orientation);

    // Puts a line on the current page, after the page's heading. True when the line filled the
    // page: its number is printed, and the next line starts a new page.
    bool add(const ListingLine& line);
    // A rule under the last line, then "Number of QSOs" and the count, and the page's number.
    void finish(int qso_count);

    int page() const { return m_page; }
    int line_pitch() const { return m_pitch; }

  private:
    void start_page();
    void end_page();
    void print_page_number();
    void put(const std::string& text);
    void close_column_rules(int bottom);
    void draw_frame(int bottom);
    int line_top(int line) const { return m_top + line * m_pitch; }

    Printer& m_printer;
    ListingStyle m_style;
    LogPageSetup m_setup;
    std::string m_heading;
    int m_left = 0;
    int m_top = 0;
    int m_pitch = 0;
    int m_char_width = 0;
    int m_text_offset = 0; // from a line's top to where its text is placed
    int m_page = 1;
    int m_lines = 0;                 // on the current page, its heading counted
    bool m_new_page_due = false;     // the last page is full and ended
    int m_columns_from = -1;         // where the column rules beside the contacts started, -1 for none
    std::vector<int> m_column_rules; // x of each rule between two columns
    int m_frame_left = 0;
    int m_frame_right = 0;
};

} // namespace kestrel::printing
