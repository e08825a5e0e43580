#pragma once

#include "ui/form.hpp"

#include <QFont>

namespace kestrel::platform {

// The fonts the windows name, as this system has them: "Courier" and "Courier New" are their
// metric twin Liberation Mono, anything else the sans font.
QFont font_of(const ui::Font& font);
QFont default_dialog_font();

// Pixels per dialog unit, from the dialog font's average character width and height.
struct DialogUnits {
    double x = 1.5;
    double y = 1.625;
};
DialogUnits dialog_units_of(const QFont& font);

} // namespace kestrel::platform
