#include "digital/digital_setup_window.hpp"

#include "ui/context.hpp"

namespace kestrel::digital {

namespace {

constexpr const char* k_title = "Digital Modes";
// DIGITAL.LST keeps one line of items: a comma or a quote would break them when read again, and
// no address holds a blank.
const std::string k_refused = ",\" ";
constexpr int k_port_digits = 5;
constexpr int k_address_limit = 64;
// What the window says of the address, under the boxes.
constexpr const char* k_hint_text = "Kestrel listens on this computer only (127.0.0.1) unless an\r\n"
                                    "address is given here; another address lets other computers\r\n"
                                    "log contacts. 224.0.0.1 and the like: a multicast group.";

// Asked when programs on other computers could send to the address given. Yes lets them in, No
// keeps to this computer, Cancel goes back to the address; a hasty Enter keeps to this computer.
ui::Answer ask_about_network(ui::Context& ctx, const std::string& address) {
    const bool group = reach_of(address) == AddressReach::group;
    const std::string text =
        group ? "Programs on other computers can send contacts to the group " + address +
                    ", and each would be logged in this log.\r\n\r\nYes: join the group on every interface, "
                    "for them too.\r\nNo: join it on this computer only.\r\nCancel: change the address."
              : "Programs on other computers can send contacts to " + address +
                    ", and each would be logged in this log.\r\n\r\nYes: listen there, for them too.\r\nNo: "
                    "listen on this computer only (" +
                    k_default_address + ").\r\nCancel: change the address.";
    ui::Message question{text, k_title, ui::Icon::question, ui::Buttons::yes_no_cancel};
    question.default_answer = ui::Answer::no;
    return ctx.host().message_box(&ctx, question);
}

} // namespace

ui::Form DigitalSetupWindow::build() const {
    ui::Form form;
    form.caption = k_title;
    form.frame = {20, 20, 260, 118};
    form.frame_style = ui::caption_bar;
    form.background = ui::colours::pale_yellow;
    form.font = ui::Font{"Courier", 8};

    ui::Control listen =
        ui::check_box(k_listen, "&Take in contacts logged by digital-mode programs", {5, 5, 250, 10});
    listen.checked = m_env.settings.listening;
    form.add(std::move(listen));

    form.add(ui::label(k_address_label, "&Address:", {5, 22, 40, 8}, ui::right_aligned));
    ui::Control address = ui::edit(k_address, {48, 20, 90, 12});
    address.text = m_env.settings.address;
    address.refused = k_refused;
    address.text_limit = k_address_limit;
    form.add(std::move(address));

    form.add(ui::label(k_port_label, "&Port:", {146, 22, 24, 8}, ui::right_aligned));
    ui::Control port = ui::edit(k_port, {172, 20, 32, 12}, ui::digits_only);
    port.text = std::to_string(m_env.settings.port);
    port.text_limit = k_port_digits;
    form.add(std::move(port));

    form.add(ui::label(k_hint, k_hint_text, {5, 38, 250, 27}));
    form.add(ui::label(k_status, m_env.status, {5, 68, 250, 24}));
    form.add(ui::button(k_save, "&Save", {138, 96, 52, 14}));
    form.add(ui::button(k_exit, "E&xit", {200, 96, 52, 14}));
    return form;
}

void DigitalSetupWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    if (id == k_save) save(ctx);
    if (id == k_exit) ctx.close(0);
}

void DigitalSetupWindow::save(ui::Context& ctx) {
    const int port = port_of_text(ctx.text(k_port));
    if (port == 0) {
        ctx.message("The port is a number from 1 to 65535: the one the digital-mode program sends to (2237 "
                    "unless it was changed there).",
                    k_title, ui::Icon::exclamation);
        ctx.focus(k_port);
        return;
    }
    DigitalSettings s = m_env.settings;
    s.listening = ctx.checked(k_listen);
    s.address = ctx.text(k_address).empty() ? std::string(k_default_address) : ctx.text(k_address);
    s.port = port;
    // An address the operator let the network in for stays so while it is not changed; any other
    // that other computers could send to is asked about before it is listened on.
    s.network = s.address == m_env.settings.address && m_env.settings.network;
    if (reach_of(s.address) == AddressReach::this_computer) {
        s.network = false;
    } else if (s.listening && !s.network) {
        switch (ask_about_network(ctx, s.address)) {
        case ui::Answer::yes: s.network = true; break;
        case ui::Answer::no:
            if (reach_of(s.address) == AddressReach::network) s.address = k_default_address;
            break;
        default: ctx.focus(k_address); return;
        }
    }
    m_env.settings = s;
    if (!save_digital_settings(s, m_env.directory))
        ctx.message(std::string(k_settings_file) +
                        " could not be written: these settings are kept only until the program ends.",
                    k_title, ui::Icon::stop);
    if (m_env.apply)
        if (const auto failure = m_env.apply()) ctx.message(*failure, k_title, ui::Icon::exclamation);
    ctx.close(0);
}

void digital_setup_window(ui::Context& owner, DigitalSetupEnv env) {
    DigitalSetupWindow window(std::move(env));
    owner.run_modal(window);
}

} // namespace kestrel::digital
