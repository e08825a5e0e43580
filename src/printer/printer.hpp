#pragma once

#include "common/colour.hpp"

#include <string_view>

namespace kestrel::printing {

enum class Orientation { portrait, landscape };

// A page printer the way the printing code sees one: positions in the device's dots, text by
// its top-left corner, one font at a time. The Qt host prints on a CUPS printer or into a PDF
// file; tests use the recording printer.
class Printer {
  public:
    virtual ~Printer() = default;

    // The font for what follows, by the name the program knows it by ("Courier New") and size.
    virtual void set_font(std::string_view name, int points, bool bold = false) = 0;
    virtual int char_width() const = 0;  // dots per character of the font (the average width)
    virtual int line_height() const = 0; // dots from one line of the font to the next
    virtual int dpi_x() const = 0;
    virtual int dpi_y() const = 0;
    virtual int page_width() const = 0; // the printable area, in dots
    virtual int page_height() const = 0;
    // Where positions are measured from: dots from the paper's left and top edges to the corner
    // of the printable area. Label sheets are laid out from the paper's edges with these.
    virtual int printable_left() const { return 0; }
    virtual int printable_top() const { return 0; }
    virtual void set_orientation(Orientation orientation) = 0; // before anything is drawn
    virtual void set_colour(Colour colour) = 0;
    virtual void text(int x, int y, std::string_view text) = 0; // Windows-1252 text
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    virtual void new_page() = 0;
    // Sends the pages; false when the printer or the file failed.
    [[nodiscard]] virtual bool end_job() = 0;
};

} // namespace kestrel::printing
