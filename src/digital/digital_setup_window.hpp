#pragma once

#include "digital/digital_settings.hpp"
#include "ui/window.hpp"

#include <functional>
#include <optional>
#include <string>

namespace kestrel::digital {

// What the set-up window works on.
struct DigitalSetupEnv {
    DigitalSettings& settings;
    std::string directory; // where DIGITAL.LST is written
    // Listens, or stops listening, as the settings now say; the text to tell the operator when
    // the port could not be had.
    std::function<std::optional<std::string>()> apply;
    std::string status; // what the program is doing now, shown under the settings
};

// "Digital Modes": whether to take in the contacts digital-mode programs log, and the address
// and port they send them to. Save keeps the settings in DIGITAL.LST and listens as they say at
// once, having asked first whether programs on other computers may log contacts when the address
// would let them; Exit leaves everything as it was.
class DigitalSetupWindow final : public ui::Window {
  public:
    enum Id {
        k_exit = 2,
        k_listen = 100,
        k_address_label = 101,
        k_port_label = 102,
        k_hint = 103,
        k_status = 104,
        k_address = 200,
        k_port = 201,
        k_save = 300,
    };
    explicit DigitalSetupWindow(DigitalSetupEnv env) : m_env(std::move(env)) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void save(ui::Context& ctx);
    DigitalSetupEnv m_env;
};

void digital_setup_window(ui::Context& owner, DigitalSetupEnv env);

} // namespace kestrel::digital
