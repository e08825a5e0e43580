#pragma once

#include "browse/browse_window.hpp"
#include "browse/list_window.hpp"
#include "countries/status_windows.hpp"
#include "exchange/log_choice.hpp"
#include "offline/entry_editor.hpp"
#include "online/online_window.hpp"
#include "rig/setup_windows.hpp"
#include "ui/window.hpp"

#include <functional>
#include <string>

namespace kestrel::shell {

struct Application;

// The program's one main window: the menu bar, the blue panel with six buttons, two logos.
class MainWindow final : public ui::Window {
  public:
    enum Id {
        k_panel = 1,
        k_exit = 2,
        k_open = 100,
        k_new = 101,
        k_online = 201,
        k_offline = 202,
        k_browse = 203,
        k_print_log_button = 204,
        k_print_qsl_button = 205,
        k_exit_button = 206,
        k_list = 207,
        k_print_log = 300,
        k_print_qsl = 301,
        k_qsl_list = 302,
        k_check_log = 400,
        k_status = 401,
        k_country = 402,
        k_manual_set = 403,
        k_stats = 404,
        k_rig_data = 500,
        k_databases = 501,
        k_cw_keying = 502,
        k_size_toggle = 503,
        k_location = 504,
        k_backup_drive = 505,
        k_digital_modes = 506,
        k_merge = 600,
        k_extract = 601,
        k_export = 603,
        k_about = 700,
        k_import_adif = 800,
        k_import_cabrillo = 801,
        k_kest6 = 900,
        k_g9qqq = 901,
    };

    explicit MainWindow(Application& app) : m_app(app) {}
    ui::Form build() const override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;
    void on_cancel(ui::Context&) override {} // Escape does not end the program
    void on_close_box(ui::Context& ctx) override;

  private:
    void toggle_size(ui::Context& ctx);
    void run_online(ui::Context& ctx);
    void refresh_caption(ui::Context& ctx);
    // What each window works on, taken from the application state: one "Env" per kind of window.
    countries::DxccEnv dxcc_env() const;
    rig::SetupEnv setup_env();
    offline::EditorEnv editor_env();
    browse::BrowseEnv browse_env();
    browse::ListEnv list_env(bool online_logging_open = false);
    online::OnlineEnv online_env();
    std::function<bool(ui::Context&, const offline::QslContact&)> qsl_label_printer();
    std::function<void(ui::Context&, int, const offline::DatabaseCopy&)> database_searcher();
    exchange::ExchangeEnv exchange_env();
    Application& m_app;
};

// The About box's text: our own three lines, then the credits.
std::string about_text();

} // namespace kestrel::shell
