#include "platform/qt/fonts.hpp"

#include <QFontMetrics>

#include <cmath>

namespace kestrel::platform {

QFont font_of(const ui::Font& f) {
    QFont font;
    if (f.name.rfind("Courier", 0) == 0) {
        // Liberation Mono keeps Courier's proportions; the system's general monospace face is
        // often taller, which would stretch every window laid out in this font.
        font = QFont("Liberation Mono");
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else {
        font = QFont("Sans Serif");
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSize(f.points > 0 ? f.points : 8);
    font.setBold(f.bold);
    if (font.fixedPitch()) {
        // Screen fonts advance whole pixels; windows that draw columns count on it, so the
        // fraction of a pixel is made up with spacing.
        const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
        font.setLetterSpacing(QFont::AbsoluteSpacing, std::ceil(advance) - advance);
    }
    return font;
}

QFont default_dialog_font() {
    return font_of(ui::Font{"MS Sans Serif", 8, false});
}

DialogUnits dialog_units_of(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width the old dialog manager used: the 52 letters, rounded to the nearest pixel.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int average = (letters / 26 + 1) / 2;
    return DialogUnits{average / 4.0, metrics.height() / 8.0};
}

} // namespace kestrel::platform
