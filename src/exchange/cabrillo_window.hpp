#pragma once

#include "exchange/cabrillo_import.hpp"
#include "exchange/log_choice.hpp"
#include "exchange/log_copy.hpp"
#include "ui/window.hpp"

#include <string>

namespace kestrel::exchange {

// Tools/Import/Cabrillo: a contest log in Cabrillo format becomes a new log of the program, read
// by the contest's layout in CABRILLO.FRM. The new log is written beside the chosen name and
// takes its place only when the whole Cabrillo log has been read; until then the program's log
// stays as it was and stays open.
class CabrilloWindow final : public ui::Window {
  public:
    enum Id {
        k_select_cabrillo = 100,
        k_select_new = 101,
        k_import = 102,
        k_power_label = 103,
        k_power = 104,
        k_cabrillo_label = 105,
        k_new_label = 106,
        k_comment_label = 107,
        k_comment = 108,
    };

    explicit CabrilloWindow(ExchangeEnv env) : m_env(env) {}
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void choose_cabrillo(ui::Context& ctx);
    void choose_new_log(ui::Context& ctx);
    void run_import(ui::Context& ctx);
    // Puts the new log in the place of the chosen name and makes it the program's log.
    void put_in_place(ui::Context& ctx, WorkLog& work, const ImportTally& tally);
    void forget_choices(ui::Context& ctx);

    ExchangeEnv m_env;
    std::string m_directory; // where CABRILLO.FRM is looked for: current when the window opened
    std::string m_cabrillo;
    std::string m_new_log;
    bool m_cabrillo_chosen = false;
    bool m_new_log_chosen = false;
};

// The window, over the main window. Afterwards the program's log is the imported one (its index
// built) when an import ran, else the log that was open before.
void import_cabrillo(ui::Context& parent, ExchangeEnv env);

} // namespace kestrel::exchange
