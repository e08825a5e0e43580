#include "digital/digital_link.hpp"

#include "digital/digital_setup_window.hpp"
#include "ui/context.hpp"
#include "ui/host.hpp"

namespace kestrel::digital {

namespace {

constexpr const char* k_title = "Digital Modes";

} // namespace

std::string listen_failure_text(const DigitalSettings& settings, io::DeviceError error) {
    const std::string port = std::to_string(settings.port);
    std::string why;
    switch (error) {
    case io::DeviceError::busy: why = "port " + port + " is in use by another program."; break;
    case io::DeviceError::permission_denied:
        why = "port " + port + " may only be used by the administrator; choose one above 1023.";
        break;
    case io::DeviceError::bad_port_name:
        why = settings.address +
              " is not an address: 127.0.0.1 is this computer, 224.0.0.73 a multicast group.";
        break;
    case io::DeviceError::no_such_port:
        why = settings.address + " is not an address of this computer, nor a multicast group it can join.";
        break;
    default: why = "listening on port " + port + " failed."; break;
    }
    return "Contacts logged by digital-mode programs cannot be received: " + why +
           "\r\nSet it right in Set Up/Digital Modes; logging goes on without them meanwhile.";
}

std::string narrowed_text(const std::string& file, const std::string& address) {
    return file + " names " + address +
           " to listen on, which would let programs on other computers log contacts in this log; it was "
           "not given in Set Up/Digital Modes.\r\nKestrel listens on this computer only (" +
           k_default_address + ") until it is given there.";
}

DigitalLink::DigitalLink(io::Devices& devices, std::string directory)
    : m_directory(std::move(directory)), m_listener(devices, m_spool) {}

void DigitalLink::start(ui::Host& host, ui::Context* owner, const std::string& log_path) {
    m_settings = load_digital_settings(m_directory);
    m_spool.set_log_path(log_path);
    // Told once, at start: the window shows it again for as long as it holds.
    if (m_settings.listening && listen_plan(m_settings).narrowed)
        host.message_box(owner, ui::Message{narrowed_text(settings_path(m_directory), m_settings.address),
                                            k_title, ui::Icon::information, ui::Buttons::ok});
    if (const auto failure = apply())
        host.message_box(owner, ui::Message{*failure, k_title, ui::Icon::exclamation, ui::Buttons::ok});
}

std::optional<std::string> DigitalLink::apply() {
    m_listener.stop();
    if (!m_settings.listening) return std::nullopt;
    const ListenPlan plan = listen_plan(m_settings);
    const io::Status started = m_listener.start(plan.address, m_settings.port, plan.join);
    if (started) return std::nullopt;
    DigitalSettings heard = m_settings;
    heard.address = plan.address;
    return listen_failure_text(heard, started.error());
}

std::string DigitalLink::status() const {
    if (!m_listener.listening())
        return m_settings.listening ? "Not listening: the port could not be had." : "Not listening.";
    const ListenPlan plan = listen_plan(m_settings);
    const std::string on = "Listening on " + plan.address + " port " + std::to_string(m_listener.port());
    if (plan.narrowed) return on + ", this computer only:\r\n" + m_settings.address + " was not given here.";
    if (reach_of(plan.address) == AddressReach::group && plan.join == io::GroupJoin::loopback)
        return on + ",\r\njoined on this computer only.";
    return on + ".";
}

void DigitalLink::setup_window(ui::Context& owner) {
    digital_setup_window(owner,
                         DigitalSetupEnv{m_settings, m_directory, [this] { return apply(); }, status()});
}

} // namespace kestrel::digital
