#pragma once

#include "ui/geometry.hpp"

#include <string_view>

namespace kestrel::ui {

enum class Align { left, centre, right };

// What an owner-drawn list paints into: pixels, the list's own font.
class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual void fill(Rect area, Colour colour) = 0;
    virtual void text(Rect area, std::string_view text, Colour colour, Align align = Align::left) = 0;
    virtual void line(Point from, Point to, Colour colour) = 0;
    virtual int char_width() const = 0;
    virtual int line_height() const = 0;
};

// One line of an owner-drawn list to paint.
struct DrawItem {
    int control = 0;
    int index = 0;
    Rect area;
    bool selected = false;
    bool focused = false;
};

} // namespace kestrel::ui
