#pragma once

#include "ui/canvas.hpp"

#include <QFont>
#include <QPainter>

namespace kestrel::platform {

// Paints an owner-drawn list line with a QPainter.
class QtCanvas final : public ui::Canvas {
  public:
    QtCanvas(QPainter& painter, const QFont& font);
    void fill(ui::Rect area, ui::Colour colour) override;
    void text(ui::Rect area, std::string_view text, ui::Colour colour, ui::Align align) override;
    void line(ui::Point from, ui::Point to, ui::Colour colour) override;
    int char_width() const override;
    int line_height() const override;

  private:
    QPainter& m_painter;
    QFont m_font;
};

inline QColor qcolor(ui::Colour c) {
    return QColor(c.r, c.g, c.b);
}

} // namespace kestrel::platform
