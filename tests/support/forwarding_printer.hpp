#pragma once

#include "printer/printer.hpp"

#include <string_view>

namespace kestrel::testing {

// Hands every call on to another printer; a test overrides only what it watches or changes.
class ForwardingPrinter : public printing::Printer {
  public:
    explicit ForwardingPrinter(printing::Printer& inner) : m_inner(inner) {}
    void set_font(std::string_view name, int points, bool bold) override {
        m_inner.set_font(name, points, bold);
    }
    int char_width() const override { return m_inner.char_width(); }
    int line_height() const override { return m_inner.line_height(); }
    int dpi_x() const override { return m_inner.dpi_x(); }
    int dpi_y() const override { return m_inner.dpi_y(); }
    int page_width() const override { return m_inner.page_width(); }
    int page_height() const override { return m_inner.page_height(); }
    int printable_left() const override { return m_inner.printable_left(); }
    int printable_top() const override { return m_inner.printable_top(); }
    void set_orientation(printing::Orientation o) override { m_inner.set_orientation(o); }
    void set_colour(Colour c) override { m_inner.set_colour(c); }
    void text(int x, int y, std::string_view t) override { m_inner.text(x, y, t); }
    void line(int x1, int y1, int x2, int y2) override { m_inner.line(x1, y1, x2, y2); }
    void new_page() override { m_inner.new_page(); }
    bool end_job() override { return m_inner.end_job(); }

  private:
    printing::Printer& m_inner;
};

} // namespace kestrel::testing
