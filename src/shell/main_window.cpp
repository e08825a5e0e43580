#include "shell/main_window.hpp"

#include "browse/browse_window.hpp"
#include "browse/list_window.hpp"
#include "callbook/callbook_window.hpp"
#include "countries/country_stats_window.hpp"
#include "countries/log_check_window.hpp"
#include "countries/manual_set_window.hpp"
#include "countries/qsl_award_window.hpp"
#include "countries/status_windows.hpp"
#include "databases/database_search_window.hpp"
#include "databases/selection_window.hpp"
#include "exchange/cabrillo_window.hpp"
#include "exchange/export_window.hpp"
#include "exchange/extract_window.hpp"
#include "exchange/import_adif.hpp"
#include "exchange/merge_window.hpp"
#include "keyer/cw_setup_window.hpp"
#include "keyer/keyer.hpp"
#include "locator/latlong_window.hpp"
#include "offline/entry_editor.hpp"
#include "printing/log_print_window.hpp"
#include "printing/qsl_print_window.hpp"
#include "printing/single_label.hpp"
#include "rig/setup_windows.hpp"
#include "shell/application.hpp"
#include "shell/log_files.hpp"
#include "ui/context.hpp"

#include <cmath>

namespace kestrel::shell {

namespace {

constexpr ui::Colour k_window_colour{0, 255, 255};
constexpr ui::Colour k_panel_colour{0, 0, 255};

std::vector<ui::MenuItem> menu_bar(const std::string& size_toggle_text) {
    using M = ui::MenuItem;
    using W = MainWindow;
    return {
        M{"&Files", 0, {M{"&Open", W::k_open, {}}, M{"&New", W::k_new, {}}, M{"E&xit", W::k_exit, {}}}},
        M{"&Logging",
          0,
          {M{"&On Line", W::k_online, {}}, M{"O&ff Line", W::k_offline, {}}, M{"&Browse", W::k_browse, {}},
           M{"L&ist", W::k_list, {}}}},
        M{"&Printing",
          0,
          {M{"&Print Log", W::k_print_log, {}}, M{"P&rint QSL", W::k_print_qsl, {}},
           M{"&QSL List", W::k_qsl_list, {}}}},
        M{"&DXCC",
          0,
          {M{"&Check Log", W::k_check_log, {}}, M{"&Status", W::k_status, {}},
           M{"C&ountry", W::k_country, {}}, M{"&Manual Set", W::k_manual_set, {}},
           M{"Stats", W::k_stats, {}}}},
        M{"&Set Up",
          0,
          {M{"&Rig Data", W::k_rig_data, {}}, M{"&Databases", W::k_databases, {}},
           M{"&CW Keying", W::k_cw_keying, {}}, M{"Di&gital Modes", W::k_digital_modes, {}},
           M{"&Location", W::k_location, {}}, M{"&Back Up Drive", W::k_backup_drive, {}},
           M{size_toggle_text, W::k_size_toggle, {}}}},
        M{"&Tools",
          0,
          {M{"&Merge", W::k_merge, {}}, M{"&Extract", W::k_extract, {}}, M{"&Export", W::k_export, {}},
           M{"Import", 0, {M{"&ADIF", W::k_import_adif, {}}, M{"&Cabrillo", W::k_import_cabrillo, {}}}}}},
        M{"&Help", 0, {M{"&About", W::k_about, {}}}},
    };
}

int scaled(double value, double scale) {
    return static_cast<int>(std::lround(value * scale));
}

} // namespace

ui::Form MainWindow::build() const {
    const double s = m_app.shell.scale_factor;
    ui::Form form;
    form.main_window = true;
    form.units = ui::Units::pixels;
    form.caption = main_caption(m_app.log.path());
    form.frame = {0, 0, scaled(630, s), scaled(415, s)};
    form.at_default_position = true;
    form.frame_style =
        ui::caption_bar | ui::system_menu | ui::sizing_border | ui::minimize_box | ui::maximize_box;
    form.background = k_window_colour;
    form.menu = menu_bar(m_app.shell.size_toggle_text);

    ui::Control panel =
        ui::label(k_panel, "", {scaled(110, s), scaled(53, s), scaled(400, s), 70}, ui::static_edge);
    panel.background = k_panel_colour;
    form.add(panel);
    static const char* const texts[] = {"O&n Line",   "&Off Line",  "&Browse",
                                        "Print LO&G", "Print &QSL", "E&xit"};
    for (int k = 0; k < 6; ++k)
        form.add(
            ui::button(k_online + k, texts[k], {scaled(125 + 64 * k, s), scaled(60, s), scaled(55, s), 45}));
    form.add(ui::picture(k_kest6, "KEST6", {scaled(180, s), scaled(220, s), 242, 45}));
    form.add(ui::picture(k_g9qqq, "G9QQQ", {scaled(350, s), scaled(300, s), 180, 40}));
    return form;
}

void MainWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    switch (id) {
    case k_open:
        open_other_log(ctx.host(), ctx, m_app.log);
        refresh_caption(ctx);
        break;
    case k_new:
        start_new_log(ctx.host(), ctx, m_app.log);
        refresh_caption(ctx);
        break;
    case k_exit:
    case k_exit_button: ctx.close(0); break;
    case k_size_toggle: toggle_size(ctx); break;
    case k_online: run_online(ctx); break;
    case k_offline: offline::run_entry_editor(ctx, editor_env()); break;
    case k_browse: browse::run_browse(ctx, browse_env()); break;
    case k_list: browse::run_list(ctx, list_env(), ""); break;
    case k_export: exchange::export_adif(ctx, m_app.log); break;
    case k_import_adif:
        exchange::import_adif(ctx, m_app.log, m_app.adif_import);
        refresh_caption(ctx);
        break;
    case k_import_cabrillo:
        exchange::import_cabrillo(ctx, exchange_env());
        refresh_caption(ctx);
        break;
    case k_extract:
        exchange::extract_log(ctx, exchange_env());
        refresh_caption(ctx);
        break;
    case k_merge:
        exchange::merge_logs(ctx, exchange_env());
        refresh_caption(ctx);
        break;
    case k_status: countries::show_status_chart(ctx, dxcc_env()); break;
    case k_check_log:
        countries::check_log(ctx, {m_app.log, m_app.countries, m_app.chart, m_app.shell.band_row_labels});
        break;
    case k_manual_set:
        countries::manual_set(ctx,
                              {m_app.countries, m_app.chart, m_app.shell.band_row_labels, m_app.manual_set});
        break;
    case k_stats:
        countries::show_country_statistics(ctx, {m_app.log, m_app.countries, m_app.chart,
                                                 m_app.shell.scale_factor, m_app.shell.program_directory});
        break;
    case k_qsl_list:
        countries::show_qsl_award_list(
            ctx, {m_app.log, m_app.band_names, m_app.countries, m_app.shell.program_directory});
        break;
    case k_country: countries::show_country_status(ctx, dxcc_env()); break;
    case k_rig_data: rig::station_data_window(ctx, setup_env()); break;
    case k_location: rig::location_window(ctx, setup_env()); break;
    case k_backup_drive: rig::backup_drive_window(ctx, setup_env()); break;
    case k_print_log:
    case k_print_log_button: printing::print_log(ctx, {m_app.log, m_app.band_names}); break;
    case k_print_qsl:
    case k_print_qsl_button:
        printing::print_qsls(ctx, {m_app.log, m_app.band_names, m_app.countries, m_app.station,
                                   m_app.qsl_layout, m_app.shell.program_directory});
        break;
    case k_databases: databases::select_callbook(ctx, m_app.databases, m_app.shell.program_directory); break;
    case k_cw_keying:
        keyer::cw_setup_window(ctx, m_app.cw,
                               keyer::path_in(m_app.shell.program_directory, keyer::k_settings_file));
        break;
    case k_digital_modes:
        if (m_app.digital) m_app.digital->setup_window(ctx);
        break;
    case k_about: ctx.message(about_text(), std::string(k_title) + " for Linux", ui::Icon::none); break;
    default:
        // The other commands open windows that are not part of this program yet.
        break;
    }
    // Open, New, the imports and merge may each have changed the log: contacts from the digital
    // modes received from now on wait beside the log now open.
    if (m_app.digital) m_app.digital->set_log_path(m_app.log.path());
}

void MainWindow::on_close_box(ui::Context& ctx) {
    ctx.close(0);
}

exchange::ExchangeEnv MainWindow::exchange_env() {
    return {m_app.log, m_app.band_names, m_app.shell.scale_factor};
}

offline::EditorEnv MainWindow::editor_env() {
    offline::EditorEnv env{m_app.log, m_app.band_names, m_app.countries, m_app.chart, m_app.editor, {}};
    env.links.print_qsl_label = qsl_label_printer();
    env.links.database_names = m_app.databases.names;
    env.links.database_search = database_searcher();
    return env;
}

// A search of database 1-4 as named now (Set Up/Databases may change the names while the program runs).
std::function<void(ui::Context&, int, const offline::DatabaseCopy&)> MainWindow::database_searcher() {
    return [this](ui::Context& owner, int database, const offline::DatabaseCopy& copy) {
        databases::database_search(owner, m_app.databases, database, {copy.call, copy.frequency, copy.date},
                                   m_app.shell.program_directory);
    };
}

// A label for one contact on the template Print QSL loaded; none until one is loaded, and the
// windows then say so.
std::function<bool(ui::Context&, const offline::QslContact&)> MainWindow::qsl_label_printer() {
    if (!m_app.qsl_layout.loaded()) return {};
    return [this](ui::Context& owner, const offline::QslContact& contact) {
        return printing::print_qsl_label(owner, {m_app.qsl_layout, m_app.station, m_app.band_names}, contact);
    };
}

browse::BrowseEnv MainWindow::browse_env() {
    return {editor_env(), m_app.shell.scale_factor};
}

browse::ListEnv MainWindow::list_env(bool online_logging_open) {
    return {m_app.log, m_app.band_names, m_app.shell.scale_factor, online_logging_open};
}

online::OnlineEnv MainWindow::online_env() {
    online::OnlineEnv env{m_app.log,
                          m_app.band_names,
                          m_app.countries,
                          m_app.chart,
                          m_app.station,
                          m_app.online,
                          m_app.devices ? &m_app.devices->wall_clock() : nullptr,
                          std::string(k_title),
                          m_app.shell.program_directory,
                          m_app.shell.scale_factor,
                          {},
                          {}};
    env.links.list = [this](ui::Context& owner, const std::string& call) {
        browse::run_list(owner, list_env(true), call);
    };
    env.links.dx_status = [this](ui::Context& owner, const std::string& call) {
        countries::show_call_bands(owner, dxcc_env(), call);
    };
    env.links.range = [this](ui::Context& owner) { locator::show_range_and_bearing(owner, m_app.locator); };
    env.links.locator = [](ui::Context& owner) { locator::show_latlong_to_locator(owner); };
    env.links.database_names = m_app.databases.names;
    env.links.database_search = database_searcher();
    env.links.notepad = [this](ui::Context& owner) {
        notepad::show_notepad(owner, m_app.notepad, m_app.shell.program_directory);
    };
    if (m_app.databases.callbook != databases::CallbookKind::none)
        env.links.callbook = [this](ui::Context& owner, const std::string& call) {
            callbook::show_callbook(owner, m_app.databases, m_app.shell.program_directory, call);
        };
    if (m_app.rig) env.devices.poll_rig = [this](ui::Context&) { return m_app.rig->poll(); };
    if (m_app.digital) env.digital_spool = &m_app.digital->spool();
    return env;
}

rig::SetupEnv MainWindow::setup_env() {
    return {m_app.station, m_app.rig_link, m_app.band_names,
            m_app.shell.program_directory + rig::k_settings_file, m_app.log.path()};
}

countries::DxccEnv MainWindow::dxcc_env() const {
    return {m_app.countries, m_app.chart, m_app.shell.band_row_labels};
}

// The on-line window with the keyer on the port of the CW set-up, for as long as it is open.
void MainWindow::run_online(ui::Context& ctx) {
    online::OnlineEnv env = online_env();
    std::unique_ptr<keyer::Keyer> keyer;
    if (m_app.devices) {
        keyer = std::make_unique<keyer::Keyer>(
            *m_app.devices, m_app.morse, m_app.cw,
            keyer::KeyerCommands{online::OnlineWindow::k_keyer_done, online::OnlineWindow::k_keyer_failed});
        keyer::Keyer& k = *keyer;
        env.devices.open_key_port = [&k](ui::Context& window) { return k.open_key_port(window); };
        env.devices.close_key_port = [&k] { k.close_key_port(); };
        env.devices.send = [&k](ui::Context& window, int message, const std::string& call,
                                const std::string& report) { k.send(window, message, call, report); };
        env.devices.sending = [&k] { return k.sending(); };
        env.devices.stop_sending = [&k] { k.stop_sending(); };
        env.devices.keyer_posted = [&k](ui::Context& window, int command) { k.on_posted(window, command); };
    }
    online::run_online_logging(ctx, std::move(env));
}

void MainWindow::toggle_size(ui::Context& ctx) {
    ShellState& shell = m_app.shell;
    if (shell.scale_factor == 1.0) {
        shell.size_toggle_text = std::string(k_minimize_text);
        shell.scale_factor = shell.screen_scale;
    } else {
        shell.size_toggle_text = std::string(k_maximize_text);
        shell.scale_factor = 1.0;
    }
    shell.rebuild = true;
    ctx.close(0);
}

void MainWindow::refresh_caption(ui::Context& ctx) {
    ctx.set_caption(main_caption(m_app.log.path()));
}

std::string about_text() {
    return "Kestrel station logbook, by its founding engineers\r\n\n"
           "Last updated 7 December 2026\r\n\n"
           "Notes and source: README.md beside the program\r\n\n"
           "Portions of this software courtesy:\r\n"
           "QRZ callbook CD-ROM (c) 2003\r\n"
           "Buckmaster\r\n"
           "Radio Amateur Callbook";
}

} // namespace kestrel::shell
