#include "clock_digits.hpp"

#include <QPainter>
#include <QPolygonF>

#include <array>
#include <cstdint>

namespace kestrel::draw_bitmaps {
namespace {

// Lit segments glow like a red LED; unlit ones stay faintly visible so the
// digit keeps its shape the way a real display does.
const QColor k_panel{0, 0, 0};
const QColor k_lit{255, 40, 24};
const QColor k_unlit{44, 6, 4};

// Segment geometry in pixels. Centre lines of the three bars and two columns;
// every bar is three pixels thick with pointed ends, and a small gap keeps
// neighbouring segments apart.
constexpr double k_thick = 3.0;
constexpr double k_half = k_thick / 2;
constexpr double k_gap = 0.7;
constexpr double k_left = 2.5;
constexpr double k_right = 12.5;
constexpr double k_top = 2.5;
constexpr double k_middle = 13.5;
constexpr double k_bottom = 24.5;

// Bits of the usual a..g naming: a top, b upper right, c lower right,
// d bottom, e lower left, f upper left, g middle.
enum Segment : std::uint8_t { a = 1, b = 2, c = 4, d = 8, e = 16, f = 32, g = 64 };

constexpr std::array<std::uint8_t, 10> k_digit_segments{
    a | b | c | d | e | f,     // 0
    b | c,                     // 1
    a | b | g | e | d,         // 2
    a | b | g | c | d,         // 3
    f | g | b | c,             // 4
    a | f | g | c | d,         // 5
    a | f | g | e | c | d,     // 6
    a | b | c,                 // 7
    a | b | c | d | e | f | g, // 8
    a | b | c | d | f | g,     // 9
};

QPolygonF horizontal_bar(double y) {
    const double x0 = k_left + k_gap;
    const double x1 = k_right - k_gap;
    return QPolygonF{{{x0, y},
                      {x0 + k_half, y - k_half},
                      {x1 - k_half, y - k_half},
                      {x1, y},
                      {x1 - k_half, y + k_half},
                      {x0 + k_half, y + k_half}}};
}

QPolygonF vertical_bar(double x, double y_from, double y_to) {
    const double y0 = y_from + k_gap;
    const double y1 = y_to - k_gap;
    return QPolygonF{{{x, y0},
                      {x + k_half, y0 + k_half},
                      {x + k_half, y1 - k_half},
                      {x, y1},
                      {x - k_half, y1 - k_half},
                      {x - k_half, y0 + k_half}}};
}

QPolygonF segment_shape(Segment s) {
    switch (s) {
    case a: return horizontal_bar(k_top);
    case b: return vertical_bar(k_right, k_top, k_middle);
    case c: return vertical_bar(k_right, k_middle, k_bottom);
    case d: return horizontal_bar(k_bottom);
    case e: return vertical_bar(k_left, k_middle, k_bottom);
    case f: return vertical_bar(k_left, k_top, k_middle);
    case g: return horizontal_bar(k_middle);
    }
    return {};
}

QImage blank_tile(int width) {
    QImage image(width, k_digit_height, QImage::Format_RGB32);
    image.fill(k_panel);
    return image;
}

} // namespace

QImage draw_clock_digit(int digit) {
    QImage image = blank_tile(k_digit_width);
    if (digit < 0 || digit > 9) {
        return image;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (Segment s : {a, b, c, d, e, f, g}) {
        const bool lit = (k_digit_segments[static_cast<std::size_t>(digit)] & s) != 0;
        painter.setBrush(lit ? k_lit : k_unlit);
        painter.drawPolygon(segment_shape(s));
    }
    return image;
}

QImage draw_clock_colon() {
    QImage image = blank_tile(k_colon_width);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(k_lit);
    // Two round dots, each halfway between the middle bar and an outer bar,
    // so the colon lines up with the digits beside it.
    for (double y : {(k_top + k_middle) / 2, (k_middle + k_bottom) / 2}) {
        painter.drawEllipse(QPointF(1.5, y), 1.6, 1.6);
    }
    return image;
}

QImage draw_clock_blank() {
    return blank_tile(k_colon_width);
}

} // namespace kestrel::draw_bitmaps
