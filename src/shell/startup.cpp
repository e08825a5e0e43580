#include "shell/startup.hpp"

#include "logstore/curlog.hpp"
#include "shell/application.hpp"
#include "shell/backup.hpp"
#include "shell/log_files.hpp"
#include "shell/main_window.hpp"

#include <filesystem>

namespace kestrel::shell {

namespace {

void notice(ui::Host& host, std::string text, std::string title, ui::Icon icon) {
    host.message_box(nullptr, ui::Message{std::move(text), std::move(title), icon, ui::Buttons::ok});
}

} // namespace

void start_up(Application& app, ui::Host& host) {
    ShellState& shell = app.shell;
    fill_display_texts(shell);
    shell.screen_scale = host.screen_height() / 480.0;
    shell.scale_factor = shell.screen_scale;

    std::error_code ec;
    if (!std::filesystem::exists("COUNTRY.LST", ec)) {
        notice(host, "File COUNTRY.LST missing", std::string(k_program_name), ui::Icon::exclamation);
    } else {
        countries::CountryListLoad list = countries::load_country_list("COUNTRY.LST");
        if (list.bad_line)
            notice(host, countries::bad_line_message(*list.bad_line),
                   std::string(countries::k_bad_line_title), ui::Icon::none);
        app.countries = std::move(list.table);
    }

    shell.program_directory = std::filesystem::current_path(ec).string() + "/";
    const std::string log_path = logstore::read_current_log_path(shell.program_directory);
    open_log_checked(host, nullptr, app.log, log_path);
    app.log.set_index_loaded(false);

    app.band_names = logstore::load_band_names();
    app.station = rig::read_settings_file(shell.program_directory + rig::k_settings_file);
    databases::SettingsLoad names = databases::load_callbook_settings(shell.program_directory);
    if (names.notice) notice(host, *names.notice, std::string(k_program_name), ui::Icon::exclamation);
    app.databases = names.settings;
    keyer::KeyerFiles keyer = keyer::load_keyer_files(shell.program_directory);
    for (const std::string& message : keyer.messages)
        notice(host, message, "", ui::Icon::none);
    app.morse = std::move(keyer.table);
    app.cw = std::move(keyer.settings);
    if (app.devices) {
        rig::RigLoad rig = rig::load_rig(shell.program_directory, *app.devices);
        if (rig.notice) notice(host, rig.notice->text, rig.notice->title, ui::Icon::exclamation);
        app.rig_link = std::move(rig.settings);
        app.rig = std::move(rig.link);
        app.online.rig_active = app.online.rig_available = app.rig != nullptr;
    }

    countries::ChartLoad chart = countries::load_chart(shell.program_directory + countries::k_chart_file);
    if (chart.wrong_length)
        notice(host, countries::wrong_length_message(*chart.wrong_length), std::string(k_program_name),
               ui::Icon::exclamation);
    if (chart.unreadable)
        notice(host, "DXCC.CHT could not be read: the status chart starts empty.",
               std::string(k_program_name), ui::Icon::stop);
    app.chart = std::move(chart.chart);
}

void shut_down(Application& app, ui::Host& host) {
    const std::string log_path = app.log.path();
    app.log.close_log();
    if (!logstore::write_current_log_path(app.shell.program_directory, log_path))
        notice(
            host,
            "CURLOG.DTA could not be written: the next start opens MYLOG.LOG or the log named there before.",
            std::string(k_program_name), ui::Icon::stop);
    if (!countries::save_chart(app.chart, app.shell.program_directory + countries::k_chart_file))
        notice(host, "DXCC.CHT could not be written: the status chart of this session is not saved.",
               std::string(k_program_name), ui::Icon::stop);
    if (!app.station.backup.empty() && !log_path.empty()) {
        if (!copy_log(log_path, backup_destination(app.station.backup, log_path)))
            notice(host, "Log not backed up", "KestLog", ui::Icon::exclamation);
    }
}

void run_program(Application& app, ui::Host& host) {
    start_up(app, host);
    do {
        app.shell.rebuild = false;
        MainWindow window(app);
        host.run_modal(window, nullptr);
    } while (app.shell.rebuild);
    shut_down(app, host);
}

} // namespace kestrel::shell
