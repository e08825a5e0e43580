#include "browse/page_drawing.hpp"

#include "browse/page_line.hpp"

namespace kestrel::browse {

namespace {

constexpr ui::Colour k_rule_grey{128, 128, 128}; // the system's grey-text colour
constexpr int k_date_width = 8;                  // characters

// Rules in pixels of a font eight pixels wide, the gap after the date and between a contact's
// columns; other fonts move them in proportion.
constexpr int k_reference_char_width = 8;
constexpr int k_date_rule = 68;
constexpr int k_column_rules[] = {174, 220, 268, 324, 356, 406, 468, 530, 556};

} // namespace

void draw_page_line(ui::Canvas& canvas, const ui::DrawItem& item, std::string_view visible) {
    const ui::Rect a = item.area;
    const int char_width = canvas.char_width();
    canvas.fill(a, ui::colours::white);
    canvas.text(a, visible, ui::colours::black);
    if (item.selected) {
        const ui::Rect date{a.x, a.y, k_date_width * char_width, a.h};
        canvas.fill(date, ui::colours::navy);
        canvas.text(date, visible.substr(0, k_date_width), ui::colours::white);
    }
    const int bottom = a.y + a.h - 1;
    canvas.line({a.x, bottom}, {a.x + a.w, bottom}, k_rule_grey);
    const auto rule = [&](int reference_x) {
        const int x = a.x + reference_x * char_width / k_reference_char_width;
        canvas.line({x, a.y}, {x, a.y + a.h}, k_rule_grey);
    };
    rule(k_date_rule);
    if (is_contact_line(visible)) {
        for (int x : k_column_rules)
            rule(x);
    }
}

} // namespace kestrel::browse
