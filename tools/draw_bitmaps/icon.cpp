#include "icon.hpp"

#include "falcon.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace kestrel::draw_bitmaps {
namespace {

// Everything is laid out on a 64-unit grid and scaled to the size asked for.
constexpr double k_grid = 64.0;

const QColor k_tile_top{28, 70, 180};
const QColor k_tile_bottom{0, 0, 110};
const QColor k_bird{250, 150, 60};
const QColor k_signal{0, 255, 255};

// Paints the tile and clips everything after it to the tile, so the bird and
// the signal never spill onto the transparent corners.
void paint_tile(QPainter& painter) {
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QLinearGradient fill(0, 2, 0, 62);
    fill.setColorAt(0, k_tile_top);
    fill.setColorAt(1, k_tile_bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(tile);
    painter.setClipPath(tile);
}

void paint_bird(QPainter& painter) {
    QTransform bird;
    bird.translate(29, 39);
    bird.rotate(-8);
    bird.scale(22, 22);
    painter.setPen(Qt::NoPen);
    painter.setBrush(k_bird);
    painter.drawPath(bird.map(falcon_outline()));
}

// A dot with two arcs opening to the upper right: a signal leaving an antenna.
void paint_signal(QPainter& painter, double size) {
    const QPointF source(44, 18);
    painter.setPen(Qt::NoPen);
    painter.setBrush(k_signal);
    painter.drawEllipse(source, 3.2, 3.2);
    // Thin strokes vanish at the small size, so they get thicker there.
    const double width = size < 48 ? 4.6 : 3.6;
    painter.setPen(QPen(k_signal, width, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (double radius : {7.5, 13.5}) {
        const QRectF box(source.x() - radius, source.y() - radius, 2 * radius, 2 * radius);
        painter.drawArc(box, -20 * 16, 130 * 16);
    }
}

} // namespace

QImage draw_icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / k_grid, size / k_grid);
    paint_tile(painter);
    paint_signal(painter, size);
    paint_bird(painter);
    return image;
}

} // namespace kestrel::draw_bitmaps
