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

DigitalLink::DigitalLink(io::Devices& devices, std::string directory)
    : m_directory(std::move(directory)), m_listener(devices, m_spool) {}

void DigitalLink::start(ui::Host& host, ui::Context* owner, const std::string& log_path) {
    m_settings = load_digital_settings(m_directory);
    m_spool.set_log_path(log_path);
    if (const auto failure = apply())
        host.message_box(owner, ui::Message{*failure, k_title, ui::Icon::exclamation, ui::Buttons::ok});
}

std::optional<std::string> DigitalLink::apply() {
    m_listener.stop();
    if (!m_settings.listening) return std::nullopt;
    const io::Status started = m_listener.start(m_settings.address, m_settings.port);
    if (!started) return listen_failure_text(m_settings, started.error());
    return std::nullopt;
}

std::string DigitalLink::status() const {
    if (m_listener.listening())
        return "Listening on " + m_settings.address + " port " + std::to_string(m_listener.port()) + ".";
    if (m_settings.listening) return "Not listening: the port could not be had.";
    return "Not listening.";
}

void DigitalLink::setup_window(ui::Context& owner) {
    digital_setup_window(owner,
                         DigitalSetupEnv{m_settings, m_directory, [this] { return apply(); }, status()});
}

} // namespace kestrel::digital
