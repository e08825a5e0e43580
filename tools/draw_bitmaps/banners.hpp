#pragma once

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <optional>

namespace kestrel::draw_bitmaps {

// The main window is cyan; the logo and the call plate are painted on the
// same colour so they sit on it without a visible box.
inline constexpr QRgb k_main_window_cyan = 0xff00ffff;

inline constexpr int k_logo_width = 242;
inline constexpr int k_logo_height = 45;
inline constexpr int k_plate_width = 180;
inline constexpr int k_plate_height = 40;

// A font of exactly this family, or nothing when the system does not have it.
// Fontconfig would quietly substitute another face, which would change the
// drawings from one machine to the next.
[[nodiscard]] std::optional<QFont> exact_font(const QString& family, int weight, bool italic);

// The outline of a text, moved and scaled so that its ink fills `box`:
// the height fits exactly, the width is stretched by at most `max_stretch`
// and the result is centred horizontally.
[[nodiscard]] QPainterPath fitted_text(const QString& text, const QFont& font, const QRectF& box,
                                       double max_stretch);

// The program's name banner: a kestrel, "KESTREL" and the major version.
[[nodiscard]] std::optional<QImage> draw_logo();

// The author's call sign on a plate in the style of a QSL card.
[[nodiscard]] std::optional<QImage> draw_call_plate();

} // namespace kestrel::draw_bitmaps
