#include "falcon.hpp"

#include <array>

namespace kestrel::draw_bitmaps {
namespace {

struct Curve {
    QPointF c1;
    QPointF c2;
    QPointF end;
};

// From the tip of the beak over the head, the raised wing and the back to the
// tail, then under the body back to the beak; each curve runs on from where the
// previous one ended.
constexpr QPointF k_beak_tip{0.89, 0.03};
const std::array<Curve, 17> k_outline{{
    {{0.90, -0.08}, {0.84, -0.18}, {0.76, -0.20}},    // top of the beak to the brow
    {{0.71, -0.27}, {0.64, -0.27}, {0.58, -0.24}},    // round crown
    {{0.52, -0.20}, {0.47, -0.16}, {0.42, -0.14}},    // nape to the near wing
    {{0.34, -0.34}, {0.24, -0.56}, {0.08, -0.66}},    // leading edge up to the wrist
    {{-0.16, -0.80}, {-0.50, -0.88}, {-0.84, -0.90}}, // hand out to the pointed tip
    {{-0.58, -0.76}, {-0.36, -0.58}, {-0.24, -0.44}}, // trailing edge of the primaries
    {{-0.14, -0.32}, {-0.16, -0.10}, {-0.22, -0.02}}, // secondaries down to the back
    {{-0.30, 0.02}, {-0.38, 0.04}, {-0.45, 0.06}},    // rump
    {{-0.65, 0.10}, {-0.85, 0.12}, {-0.98, 0.16}},    // top of the tail
    {{-1.02, 0.22}, {-1.01, 0.30}, {-0.96, 0.34}},    // rounded end of the tail
    {{-0.80, 0.32}, {-0.58, 0.26}, {-0.40, 0.22}},    // under the tail
    {{-0.28, 0.40}, {-0.44, 0.62}, {-0.64, 0.80}},    // far wing, trailing edge
    {{-0.30, 0.70}, {0.04, 0.50}, {0.20, 0.30}},      // far wing, leading edge
    {{0.36, 0.20}, {0.52, 0.12}, {0.62, 0.06}},       // breast
    {{0.66, 0.04}, {0.68, 0.02}, {0.72, 0.00}},       // throat
    {{0.76, -0.01}, {0.78, -0.01}, {0.81, -0.01}},    // under the beak
    {{0.84, -0.01}, {0.87, 0.00}, k_beak_tip},        // the hook
}};

constexpr QPointF k_eye{0.66, -0.15};
constexpr double k_eye_radius = 0.035;

} // namespace

QPainterPath falcon_outline() {
    QPainterPath path(k_beak_tip);
    for (const Curve& c : k_outline) {
        path.cubicTo(c.c1, c.c2, c.end);
    }
    path.closeSubpath();
    path.addEllipse(k_eye, k_eye_radius, k_eye_radius);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

} // namespace kestrel::draw_bitmaps
