#include "platform/qt/canvas.hpp"

#include "platform/qt/text.hpp"

#include <QFontMetrics>

namespace kestrel::platform {

QtCanvas::QtCanvas(QPainter& painter, const QFont& font) : m_painter(painter), m_font(font) {
    m_painter.setFont(m_font);
}

void QtCanvas::fill(ui::Rect a, ui::Colour colour) {
    m_painter.fillRect(QRect(a.x, a.y, a.w, a.h), qcolor(colour));
}

void QtCanvas::text(ui::Rect a, std::string_view text, ui::Colour colour, ui::Align align) {
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= align == ui::Align::left    ? Qt::AlignLeft
             : align == ui::Align::right ? Qt::AlignRight
                                         : Qt::AlignHCenter;
    m_painter.setPen(qcolor(colour));
    m_painter.drawText(QRect(a.x, a.y, a.w, a.h), flags, to_qt(text));
}

void QtCanvas::line(ui::Point from, ui::Point to, ui::Colour colour) {
    m_painter.setPen(qcolor(colour));
    m_painter.drawLine(from.x, from.y, to.x, to.y);
}

int QtCanvas::char_width() const {
    return QFontMetrics(m_font).horizontalAdvance(QLatin1Char('0'));
}

int QtCanvas::line_height() const {
    return QFontMetrics(m_font).height();
}

} // namespace kestrel::platform
