#include "locator/latlong_window.hpp"

#include "locator/locator.hpp"

namespace kestrel::locator {

ui::Form LatLongWindow::build() const {
    ui::Form form;
    form.caption = "Lat/Long to Maidenhead Locator";
    // Wide enough for the caption beside a title bar's icon and buttons; the boxes keep their
    // places in the middle.
    form.frame = {0, 0, k_calculator_width, 110};
    constexpr int x = k_calculator_indent;
    form.at_default_position = true;
    form.add(ui::label(k_latitude_label, "&Lat (d:m:s N/S):", {x + 5, 10, 72, 10}));
    form.add(ui::edit(k_latitude, {x + 80, 10, 45, 10}));
    form.add(ui::label(k_longitude_label, "L&ong (d:m:s E/W):", {x + 5, 25, 72, 10}));
    form.add(ui::edit(k_longitude, {x + 80, 25, 45, 10}));
    form.add(ui::label(k_locator_label, "Locator:", {x + 5, 40, 72, 10}));
    form.add(ui::edit(k_locator, {x + 80, 40, 35, 10}, ui::read_only));
    form.add(ui::button(k_go, "&Go", {x + 10, 90, 30, 15}));
    form.add(ui::button(ui::k_cancel, "E&xit", {x + 100, 90, 30, 15}));
    TwoBoxes::add_keys(form);
    return form;
}

void LatLongWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    m_boxes.command(ctx, id, notify, k_go, [&] { compute(ctx); });
}

void LatLongWindow::compute(ui::Context& ctx) {
    ctx.set_text(k_locator, "");
    const auto longitude = parse_coordinate(ctx.text(k_longitude), Axis::longitude);
    if (!longitude) {
        ctx.beep();
        m_boxes.to(ctx, k_longitude);
        return;
    }
    const auto latitude = parse_coordinate(ctx.text(k_latitude), Axis::latitude);
    if (!latitude) {
        ctx.beep();
        m_boxes.to(ctx, k_latitude);
        return;
    }
    ctx.set_text(k_locator, position_to_locator(*latitude, *longitude));
    m_boxes.to(ctx, k_latitude);
}

void show_latlong_to_locator(ui::Context& parent) {
    LatLongWindow window;
    parent.run_modal(window);
}

} // namespace kestrel::locator
