#pragma once

#include "printing/label_layout.hpp"
#include "printing/label_sheet.hpp"
#include "printing/label_text.hpp"
#include "printing/label_values.hpp"

#include <functional>
#include <string>
#include <string_view>

namespace kestrel::printing {

class Printer;

// The parts of a multi-label template: the head before "///", the foot after it and the line end
// that follows. A template without "///" is all head.
struct TemplateParts {
    std::string_view head;
    std::string_view foot;
};
[[nodiscard]] TemplateParts split_template(std::string_view text);

// The table of a multi label: its heading, and one row for a QSL.
inline constexpr std::string_view k_table_heading = "   Date     UTC  Band Mode RST";
[[nodiscard]] std::string table_row(const LabelValues& values);

// Labels of one layout printed one after another onto sheets. Single labels print the whole
// template for each QSL; multi labels gather the QSLs of one station, up to the layout's QSLs per
// label, into a table between the template's head and foot.
class LabelRun {
  public:
    enum class Form { single, multi };
    // `next_sheet` is asked before a label needs a new sheet; false ends the run there, and the
    // label is not printed. Without it sheets follow each other unasked.
    LabelRun(Printer& printer, const LabelLayout& layout, Form form, SheetGeometry geometry,
             std::function<bool()> next_sheet = {});

    struct Placed {
        bool printed = false; // the QSL is on the sheet
        bool go_on = true;    // false: the operator wants no further sheet, and the run ends
    };
    // One QSL, filled in from its values.
    Placed add(const LabelValues& values);
    // A single label of the whole template, filled in by the given placeholders (SWL cards).
    Placed add_single(const Placeholders& placeholders);
    // Closes a multi label still open; the run is ending, so no question follows.
    void finish();

    bool printed_anything() const { return m_sheet.labels_printed() > 0 || m_open; }
    const LabelSheet& sheet() const { return m_sheet; }

  private:
    bool sheet_ready();
    void open_label(const LabelValues& values);
    void add_row(const LabelValues& values);
    void close_label();

    Printer& m_printer;
    const LabelLayout& m_layout;
    Form m_form;
    LabelSheet m_sheet;
    std::function<bool()> m_next_sheet;

    // The multi label being filled.
    bool m_open = false;
    std::string m_station;
    LabelValues m_last; // the foot says what the label's own QSLs say
    int m_rows = 0;
    LabelPen m_pen;
    int m_table_top = 0;
    int m_char_width = 0;
};

} // namespace kestrel::printing
