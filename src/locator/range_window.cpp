#include "locator/range_window.hpp"

#include "locator/locator.hpp"

#include <cstdio>

namespace kestrel::locator {

namespace {
constexpr int k_unit_group = 1;
}

std::string distance_text(int distance, bool miles) {
    char number[16];
    std::snprintf(number, sizeof number, "%3d", distance);
    return std::string(number) + (miles ? "Mi" : "KM");
}

std::string bearing_text(int bearing) {
    return " " + std::to_string(bearing) + "\xB0";
}

ui::Form RangeWindow::build() const {
    ui::Form form;
    form.caption = "Range and Bearing";
    // Wide enough for the caption beside a title bar's icon and buttons; the boxes keep their
    // places in the middle.
    form.frame = {0, 0, k_calculator_width, 110};
    constexpr int x = k_calculator_indent;
    form.at_default_position = true;
    form.add(ui::label(k_from_label, "&From Square:", {x + 20, 10, 50, 10}));
    ui::Control from = ui::edit(k_from, {x + 75, 10, 30, 10});
    from.text = m_state.from;
    form.add(from);
    form.add(ui::label(k_to_label, "&To Square:", {x + 20, 25, 50, 10}));
    form.add(ui::edit(k_to, {x + 75, 25, 30, 10}));
    form.add(ui::label(k_distance_label, "Distance:", {x + 20, 40, 50, 10}));
    form.add(ui::edit(k_distance, {x + 75, 40, 35, 10}, ui::read_only));
    form.add(ui::label(k_bearing_label, "Bearing:", {x + 20, 55, 50, 10}));
    form.add(ui::edit(k_bearing, {x + 75, 55, 30, 10}, ui::read_only));
    form.add(ui::option(k_miles, "&Miles", {x + 30, 70, 30, 10}, k_unit_group));
    // Room for the round button and both letters: at 20 units the "m" was cut to an "r".
    ui::Control km = ui::option(k_km, "&Km", {x + 80, 70, 30, 10}, k_unit_group);
    km.checked = true;
    form.add(km);
    form.add(ui::button(k_go, "&Go", {x + 10, 90, 25, 15}));
    form.add(ui::button(ui::k_cancel, "E&xit", {x + 100, 90, 25, 15}));
    TwoBoxes::add_keys(form);
    return form;
}

void RangeWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    m_boxes.command(ctx, id, notify, k_go, [&] { compute(ctx); });
}

void RangeWindow::compute(ui::Context& ctx) {
    ctx.set_text(k_distance, "");
    ctx.set_text(k_bearing, "");
    const std::string from = ctx.text(k_from);
    const std::string to = ctx.text(k_to);
    m_state.from = from; // remembered even when it turns out not to be a locator
    if (!validate_locator(from)) {
        ctx.beep();
        m_boxes.to(ctx, k_from);
        return;
    }
    if (!validate_locator(to)) {
        ctx.beep();
        m_boxes.to(ctx, k_to);
        return;
    }
    const Course course = great_circle(locator_to_position(from), locator_to_position(to));
    const bool miles = ctx.checked(k_miles);
    ctx.set_text(
        k_distance,
        distance_text(distance(course.arc, miles ? DistanceUnit::miles : DistanceUnit::kilometres), miles));
    ctx.set_text(k_bearing, bearing_text(course.bearing));
    m_boxes.to(ctx, k_from);
}

void show_range_and_bearing(ui::Context& parent, LocatorState& state) {
    RangeWindow window(state);
    parent.run_modal(window);
}

} // namespace kestrel::locator
