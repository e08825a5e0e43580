#pragma once

#include "common/colour.hpp"

namespace kestrel::ui {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle by its top-left corner and its size.
struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Windows and printers share one colour type; printers know nothing else of windows.
using Colour = kestrel::Colour;

namespace colours {
inline constexpr Colour black{0, 0, 0};
inline constexpr Colour white{255, 255, 255};
inline constexpr Colour navy{0, 0, 128};
inline constexpr Colour blue{0, 0, 255};
inline constexpr Colour cyan{0, 255, 255};
inline constexpr Colour pale_yellow{255, 255, 200};
} // namespace colours

} // namespace kestrel::ui
