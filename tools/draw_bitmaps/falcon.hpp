#pragma once

#include <QPainterPath>

namespace kestrel::draw_bitmaps {

// A falcon in flight, seen from the side and facing right: hooked beak, the
// near wing raised and swept back, the far wing below, and the long tail
// a kestrel has. The outline fits the square from (-1, -1) to (1, 1), so a
// caller only has to scale, turn and place it. The eye is left as a hole.
[[nodiscard]] QPainterPath falcon_outline();

} // namespace kestrel::draw_bitmaps
