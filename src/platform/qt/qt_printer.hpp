#pragma once

#include "printer/printer.hpp"
#include "ui/geometry.hpp"

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include <memory>

class QWidget;

namespace kestrel::platform {

// Prints through Qt: on a CUPS printer, or into a PDF file, as chosen in the print dialog.
class QtPrinter final : public printing::Printer {
  public:
    // The print dialog over parent; nothing when the operator cancels. With the environment
    // variable KESTREL_PRINT_PDF set, no dialog shows and the pages go into that PDF file.
    static std::unique_ptr<QtPrinter> choose(QWidget* parent);
    // Straight into a PDF file.
    static std::unique_ptr<QtPrinter> to_pdf(const QString& path);

    explicit QtPrinter(std::unique_ptr<QPrinter> printer);
    ~QtPrinter() override;

    void set_font(std::string_view name, int points, bool bold) override;
    int char_width() const override;
    int line_height() const override;
    int dpi_x() const override { return m_printer->resolution(); }
    int dpi_y() const override { return m_printer->resolution(); }
    int page_width() const override;
    int page_height() const override;
    int printable_left() const override;
    int printable_top() const override;
    void set_orientation(printing::Orientation orientation) override;
    void set_colour(ui::Colour colour) override;
    void text(int x, int y, std::string_view text) override;
    void line(int x1, int y1, int x2, int y2) override;
    void new_page() override;
    bool end_job() override;

  private:
    bool painting();
    bool output_complete() const;
    void use_pen();

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QFont m_font;
    QColor m_colour = Qt::black;
    bool m_failed = false;
};

} // namespace kestrel::platform
