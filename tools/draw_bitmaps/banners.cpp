#include "banners.hpp"

#include "falcon.hpp"

#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace kestrel::draw_bitmaps {
namespace {

const QColor k_navy{0, 0, 128};
const QColor k_chestnut{164, 78, 24};
const QColor k_signal_red{210, 0, 0};
const QColor k_cyan_shadow{0, 170, 180};

QImage cyan_canvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(k_main_window_cyan));
    return image;
}

// Paints `shape` with a soft offset shadow below it, so dark ink on cyan
// still stands off the background a little.
void paint_with_shadow(QPainter& painter, const QPainterPath& shape, const QColor& fill, const QColor& shadow,
                       QPointF offset) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawPath(shape.translated(offset));
    painter.setBrush(fill);
    painter.drawPath(shape);
}

} // namespace

std::optional<QFont> exact_font(const QString& family, int weight, bool italic) {
    QFont font(family);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(italic);
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);
    if (QFontInfo(font).family() != family) {
        return std::nullopt;
    }
    return font;
}

QPainterPath fitted_text(const QString& text, const QFont& font, const QRectF& box, double max_stretch) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    const double scale_y = box.height() / ink.height();
    const double scale_x = std::min(box.width() / ink.width(), scale_y * max_stretch);
    const double width = ink.width() * scale_x;
    QTransform fit;
    fit.translate(box.left() + (box.width() - width) / 2, box.top());
    fit.scale(scale_x, scale_y);
    fit.translate(-ink.left(), -ink.top());
    return fit.map(path);
}

std::optional<QImage> draw_logo() {
    const std::optional<QFont> bold = exact_font("DejaVu Sans", QFont::Bold, false);
    const std::optional<QFont> bold_italic = exact_font("DejaVu Sans", QFont::Bold, true);
    if (!bold || !bold_italic) {
        return std::nullopt;
    }
    QImage image = cyan_canvas(k_logo_width, k_logo_height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The bird flies into the word, a little taller than the capitals.
    QTransform bird;
    bird.translate(25, 23);
    bird.rotate(-6);
    bird.scale(23, 22);
    paint_with_shadow(painter, bird.map(falcon_outline()), k_chestnut, k_cyan_shadow, {1.2, 1.2});

    const QPainterPath word = fitted_text("KESTREL", *bold, QRectF(50, 8, 158, 29), 1.15);
    paint_with_shadow(painter, word, k_navy, k_cyan_shadow, {1.5, 1.5});

    const QPainterPath version = fitted_text("v6", *bold_italic, QRectF(212, 17, 26, 20), 1.0);
    paint_with_shadow(painter, version, k_signal_red, k_cyan_shadow, {1.2, 1.2});
    return image;
}

std::optional<QImage> draw_call_plate() {
    const std::optional<QFont> heavy = exact_font("DejaVu Sans", QFont::Bold, true);
    if (!heavy) {
        return std::nullopt;
    }
    QImage image = cyan_canvas(k_plate_width, k_plate_height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // A cream card with a navy edge and a thin red rule inside it.
    const QRectF plate(1, 1, k_plate_width - 2, k_plate_height - 2);
    QLinearGradient card(plate.topLeft(), plate.bottomLeft());
    card.setColorAt(0, QColor(255, 255, 250));
    card.setColorAt(1, QColor(246, 236, 200));
    painter.setPen(QPen(k_navy, 2));
    painter.setBrush(card);
    painter.drawRoundedRect(plate, 6, 6);
    painter.setPen(QPen(k_signal_red, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(plate.adjusted(3, 3, -3, -3), 3.5, 3.5);

    // Big red letters outlined in navy, the way call signs are printed on
    // the face of a card.
    const QPainterPath call = fitted_text("G9QQQ", *heavy, QRectF(12, 7.5, 156, 25), 1.25);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawPath(call.translated(1.5, 1.5));
    painter.setPen(QPen(k_navy, 1.2));
    painter.setBrush(k_signal_red);
    painter.drawPath(call);
    return image;
}

} // namespace kestrel::draw_bitmaps
