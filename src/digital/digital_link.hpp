#pragma once

#include "digital/digital_settings.hpp"
#include "digital/listener.hpp"
#include "digital/spool.hpp"
#include "io/devices.hpp"

#include <optional>
#include <string>

namespace kestrel::ui {
class Context;
class Host;
} // namespace kestrel::ui

namespace kestrel::digital {

// Everything the program keeps for the contacts of digital-mode programs: the settings of
// DIGITAL.LST, the spool beside the log and the listener that fills it. The application makes
// one at start-up and keeps it to the end; the on-line window takes the spool's contacts in.
class DigitalLink {
  public:
    // `directory` holds DIGITAL.LST (the data directory, with or without its final "/").
    DigitalLink(io::Devices& devices, std::string directory);

    // At start-up, once the log is open: reads DIGITAL.LST and listens when it says so. A port
    // that cannot be had is told in one message box (over `owner`, or on its own when there is
    // none yet); the program goes on without listening. An address of the file that other
    // computers could send to, which the operator never gave in Set Up, is told in one message
    // too, and this computer only is listened to.
    void start(ui::Host& host, ui::Context* owner, const std::string& log_path);
    // The log now open, after every command that may have changed it: contacts received from
    // now on wait beside it.
    void set_log_path(const std::string& log_path) { m_spool.set_log_path(log_path); }
    // Set Up/Digital Modes.
    void setup_window(ui::Context& owner);
    // Stops listening (at shut-down; the destructor does it too).
    void stop() { m_listener.stop(); }

    Spool& spool() { return m_spool; }
    const DigitalSettings& settings() const { return m_settings; }
    bool listening() const { return m_listener.listening(); }
    // The port listened on (the system's choice when the settings say 0, as tests do).
    int port() const { return m_listener.port(); }

  private:
    // Listens, or not, as the settings say; the text for the operator when the port cannot be had.
    [[nodiscard]] std::optional<std::string> apply();
    [[nodiscard]] std::string status() const;

    std::string m_directory;
    DigitalSettings m_settings;
    Spool m_spool;
    Listener m_listener; // after the spool it fills, so it stops first
};

// What the operator is told when listening could not start.
[[nodiscard]] std::string listen_failure_text(const DigitalSettings& settings, io::DeviceError error);
// What the operator is told at start when `file` names an address other computers could send to
// that was never given in Set Up, and this computer only is listened to.
[[nodiscard]] std::string narrowed_text(const std::string& file, const std::string& address);

} // namespace kestrel::digital
