#pragma once

#include "printing/label_settings.hpp"

namespace kestrel::printing {

class Printer;

// A sheet of labels in printer dots, measured from the paper's edges.
struct SheetGeometry {
    int across = 1;
    int down = 1;
    int width = 0; // of a label, dots
    int height = 0;
    int left = 0; // of the first label, from where the printer's positions start
    int top = 0;
};

// Millimetres become dots at the printer's resolution (halves to even); the margins count from
// the paper's edge, whatever part of it the printer cannot reach.
[[nodiscard]] SheetGeometry sheet_geometry(const LabelSettings& settings, const Printer& printer);

// Where the labels of a run go: column by column along a row, row by row down the sheet, sheet
// after sheet. A full sheet's page is ended only when the next label needs a new one, so a run
// that ends with a full sheet leaves no blank page behind.
class LabelSheet {
  public:
    LabelSheet(Printer& printer, SheetGeometry geometry) : m_printer(printer), m_geometry(geometry) {}

    // Before a label is drawn: the top-left corner it starts at, on a new page after a full sheet.
    struct Corner {
        int x;
        int y;
    };
    Corner begin_label();
    // The label is done: on to the next column, row or sheet.
    void advance();
    // The sheet is full: the next label starts a new page.
    bool new_page_due() const { return m_new_page_due; }

    int column() const { return m_column; }
    int row() const { return m_row; }
    int labels_printed() const { return m_printed; }
    const SheetGeometry& geometry() const { return m_geometry; }

  private:
    Printer& m_printer;
    SheetGeometry m_geometry;
    int m_column = 0;
    int m_row = 0;
    int m_printed = 0;
    bool m_new_page_due = false;
};

} // namespace kestrel::printing
