#pragma once

#include <QImage>

namespace kestrel::draw_bitmaps {

// The application icon, square, `size` pixels a side, with a transparent
// surround: a kestrel on a navy tile with a radio signal beside it.
[[nodiscard]] QImage draw_icon(int size);

} // namespace kestrel::draw_bitmaps
