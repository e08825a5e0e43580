#include "keyer/cw_setup_window.hpp"

#include "common/number_text.hpp"
#include "io/port_name.hpp"
#include "ui/context.hpp"

#include <algorithm>
#include <limits>

namespace kestrel::keyer {

namespace {

// CWTEXT.TXT keeps one item a line: a comma would cut the text there when it is read again.
const std::string k_refused = ",";
// The speed box takes three digits: nobody keys a thousand words a minute.
constexpr int k_speed_digits = 3;

ui::Control box(int id, ui::Rect rect, const std::string& text, unsigned style = ui::plain) {
    ui::Control c = ui::edit(id, rect, style);
    c.refused = k_refused;
    c.text = text;
    return c;
}

int row_y(int row) {
    return 18 + 16 * row;
}

// The port as the keyer reads it: blanks around it dropped, and "p" the parallel port as "P"
// (the box keeps the letters as typed, since a device path is written in small letters).
std::string port_setting(std::string text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text == "p") text = io::k_parallel_port_text;
    return text;
}

int speed_setting(const std::string& text) {
    const double value = std::clamp(leading_number(text), 0.0, double(std::numeric_limits<int>::max()));
    return usable_speed(static_cast<int>(value));
}

} // namespace

ui::Form CwSetupWindow::build() const {
    ui::Form form;
    form.caption = "CW Set Up";
    form.frame = {20, 20, 315, 140};
    form.frame_style = ui::caption_bar;
    form.add(
        ui::label(k_heading, "Text to send, #HCALL inserts his call and #RST his report", {5, 5, 305, 8}));
    for (int m = 0; m < k_message_count; ++m) {
        const int y = row_y(m);
        form.add(ui::label(k_first_key_label + m, "F" + std::to_string(5 + m) + ":", {5, y + 2, 15, 8}));
        form.add(
            box(k_first_message + m, {22, y, 288, 12}, m_settings.messages[static_cast<std::size_t>(m)]));
    }
    form.add(ui::label(k_port_label, "&Port:", {5, 88, 22, 8}));
    form.add(box(k_port, {28, 86, 76, 12}, m_settings.port));
    form.add(ui::label(k_speed_label, "&W.P.M:", {112, 88, 32, 8}));
    ui::Control speed =
        box(k_speed, {146, 86, 22, 12}, std::to_string(m_settings.words_per_minute), ui::digits_only);
    speed.text_limit = k_speed_digits;
    form.add(speed);
    form.add(ui::label(k_prosigns, "= for BT, + for CT, @ for AR, ! for VA (SK)", {5, 106, 305, 8}));
    form.add(ui::button(k_save, "&Save", {196, 120, 52, 14}));
    form.add(ui::button(k_exit, "E&xit", {258, 120, 52, 14}));
    return form;
}

void CwSetupWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    if (id == k_save) save(ctx);
    if (id == k_exit) ctx.close(0);
}

void CwSetupWindow::save(ui::Context& ctx) {
    for (int m = 0; m < k_message_count; ++m)
        m_settings.messages[static_cast<std::size_t>(m)] = ctx.text(k_first_message + m);
    m_settings.port = port_setting(ctx.text(k_port));
    m_settings.words_per_minute = speed_setting(ctx.text(k_speed));
    if (!write_keyer_settings(m_settings, m_settings_path))
        ctx.message(std::string(k_settings_file) +
                        " could not be written: the CW settings are kept only until the program ends.",
                    "Kestrel", ui::Icon::stop);
    ctx.close(0);
}

void cw_setup_window(ui::Context& owner, KeyerSettings& settings, const std::string& settings_path) {
    CwSetupWindow window(settings, settings_path);
    owner.run_modal(window);
}

} // namespace kestrel::keyer
