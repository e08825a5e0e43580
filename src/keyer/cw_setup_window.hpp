#pragma once

#include "keyer/keyer_settings.hpp"
#include "ui/window.hpp"

#include <string>

namespace kestrel::keyer {

// "CW Set Up": the four messages, the key port and the speed. Save keeps them in the settings
// and in CWTEXT.TXT; Exit leaves both as they were. A new speed is used from the next message.
class CwSetupWindow final : public ui::Window {
  public:
    enum Id {
        k_heading = 100,
        k_first_key_label = 101, // F5: to F8:, 101-104
        k_port_label = 106,
        k_speed_label = 107,
        k_prosigns = 108,
        k_first_message = 200, // 200-203
        k_port = 206,
        k_speed = 207,
        k_save = 300,
        k_exit = 2,
    };
    CwSetupWindow(KeyerSettings& settings, std::string settings_path)
        : m_settings(settings), m_settings_path(std::move(settings_path)) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void save(ui::Context& ctx);
    KeyerSettings& m_settings;
    std::string m_settings_path;
};

// Runs the window over its owner; `settings_path` is where CWTEXT.TXT is written.
void cw_setup_window(ui::Context& owner, KeyerSettings& settings, const std::string& settings_path);

} // namespace kestrel::keyer
