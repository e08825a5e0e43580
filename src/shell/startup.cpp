#include "shell/startup.hpp"

#include "common/file_names.hpp"
#include "common/side_file.hpp"
#include "logstore/curlog.hpp"
#include "shell/application.hpp"
#include "shell/backup.hpp"
#include "shell/home_lock.hpp"
#include "shell/log_files.hpp"
#include "shell/main_window.hpp"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

namespace kestrel::shell {

namespace {

void notice(ui::Host& host, std::string text, std::string title, ui::Icon icon) {
    host.message_box(nullptr, ui::Message{std::move(text), std::move(title), icon, ui::Buttons::ok});
}

bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// The log CURLOG.DTA names is not there (`path` empty: its name was longer than a path can be,
// and No opens MYLOG.LOG instead). It is never made anew without the operator's word: a log that
// has gone missing is news he must have. Empty when he chooses to leave.
std::optional<std::string> ask_for_missing_log(ui::Host& host, const std::string& path) {
    const std::string log = path.empty() ? find_file_any_case(logstore::k_default_log) : path;
    for (;;) {
        const std::string text =
            "The log " + path + (path.empty() ? "" : " ") + "named in CURLOG.DTA is not there.\r\n\r\n" +
            "Yes:\topen another log\r\nNo:\t" +
            (path.empty() ? "open " + log : std::string("start a new, empty log of that name")) +
            "\r\nCancel:\tleave Kestrel";
        ui::Message question{text, std::string(k_program_name), ui::Icon::question,
                             ui::Buttons::yes_no_cancel};
        question.default_answer = ui::Answer::yes;
        switch (host.message_box(nullptr, question)) {
        case ui::Answer::yes:
            if (auto chosen = choose_log_file(host, nullptr, LogChoice::existing, ".")) return chosen;
            break; // asked again
        case ui::Answer::no: return log;
        default: return std::nullopt;
        }
    }
}

// Settings files that are there but could not be read: the program goes on without them, and
// never writes over them with what it fell back to.
void tell_unreadable_side_files(ui::Host& host) {
    const std::vector<std::string> unreadable = unreadable_side_files();
    if (unreadable.empty()) return;
    std::string text = "These files are there but could not be read:\r\n";
    for (const std::string& path : unreadable)
        text += "    " + path + "\r\n";
    text += "Kestrel goes on without what they hold, and will not write over them until it is started "
            "again with them readable.";
    notice(host, text, std::string(k_program_name), ui::Icon::stop);
}

// How large the windows are drawn: the screen's height over 480, unless the main window
// would then not fit in the part of the screen windows may take.
double screen_scale_of(const ui::Host& host) {
    constexpr double k_main_width = 630, k_main_height = 415;
    constexpr int k_frame_width = 16, k_frame_height = 70; // window border, title and menu bars
    const ui::Size area = host.available_screen();
    double scale = host.screen_height() / 480.0;
    if (area.width > 0) scale = std::min(scale, (area.width - k_frame_width) / k_main_width);
    if (area.height > 0) scale = std::min(scale, (area.height - k_frame_height) / k_main_height);
    return std::max(scale, 1.0);
}

} // namespace

void start_up(Application& app, ui::Host& host) {
    ShellState& shell = app.shell;
    fill_display_texts(shell);
    shell.screen_scale = screen_scale_of(host);
    shell.scale_factor = shell.screen_scale;

    // Before anything is read: a second Kestrel in the same directory says so and may leave
    // at once, and what killed runs left behind is cleared only by the one that works here.
    std::error_code ec;
    const std::string home = std::filesystem::current_path(ec).string();
    if (!lock_data_home(host, home, app.home_lock)) {
        shell.leave = true;
        return;
    }
    if (app.home_lock.held()) (void)remove_stale_work_files(home);

    const std::string country_file = find_file_any_case("COUNTRY.LST");
    if (!file_exists(country_file)) {
        notice(host, "File COUNTRY.LST missing", std::string(k_program_name), ui::Icon::exclamation);
    } else {
        countries::CountryListLoad list = countries::load_country_list(country_file);
        if (list.bad_line)
            notice(host, countries::bad_line_message(*list.bad_line),
                   std::string(countries::k_bad_line_title), ui::Icon::none);
        app.countries = std::move(list.table);
    }

    shell.program_directory = std::filesystem::current_path(ec).string() + "/";
    const bool named =
        file_exists(find_file_any_case(shell.program_directory + logstore::k_current_log_file));
    const auto named_log = logstore::read_current_log_path(shell.program_directory);
    if (!named_log)
        notice(host,
               "CURLOG.DTA names a log whose name is longer than a path can be; no such log can be opened.",
               std::string(k_program_name), ui::Icon::exclamation);
    std::string log_path = named_log ? find_file_any_case(*named_log) : std::string();
    if (!named_log || (named && !file_exists(log_path))) {
        const auto chosen = ask_for_missing_log(host, log_path);
        if (!chosen) {
            shell.leave = true;
            return;
        }
        log_path = *chosen;
    }
    open_log_checked(host, nullptr, app.log, log_path);
    app.log.set_index_loaded(false);

    app.band_names = logstore::load_band_names();
    app.station = rig::read_settings_file(shell.program_directory + rig::k_settings_file);
    if (rig::backup_is_drive_letter(app.station.backup))
        notice(host,
               "The back-up drive \"" + app.station.backup +
                   "\" is a drive letter: here back-ups need a folder. Choose one in Set Up/Back Up Drive; "
                   "until then the log is not backed up at exit.",
               std::string(k_program_name), ui::Icon::information);
    // An unreadable DBNAMES.LST is told with the other unreadable files at the end.
    app.databases = databases::load_callbook_settings(shell.program_directory).settings;
    keyer::KeyerFiles keyer = keyer::load_keyer_files(shell.program_directory);
    if (keyer.message) notice(host, *keyer.message, "", ui::Icon::none);
    app.morse = std::move(keyer.table);
    app.cw = std::move(keyer.settings);
    if (app.devices) {
        rig::RigLoad rig = rig::load_rig(shell.program_directory, *app.devices);
        if (rig.notice) notice(host, rig.notice->text, rig.notice->title, ui::Icon::exclamation);
        app.rig_link = std::move(rig.settings);
        app.rig = std::move(rig.link);
        app.online.rig_active = app.online.rig_available = app.rig != nullptr;
    }

    if (app.devices) {
        app.digital = std::make_unique<digital::DigitalLink>(*app.devices, shell.program_directory);
        app.digital->start(host, nullptr, app.log.path());
    }

    countries::ChartLoad chart = countries::load_chart(shell.program_directory + countries::k_chart_file);
    if (chart.wrong_length)
        notice(host, countries::wrong_length_message(*chart.wrong_length), std::string(k_program_name),
               ui::Icon::exclamation);
    app.chart = std::move(chart.chart);
    tell_unreadable_side_files(host);
}

void shut_down(Application& app, ui::Host& host) {
    if (app.shell.leave) return; // nothing was opened; CURLOG.DTA stays as it was
    if (app.digital) app.digital->stop();
    const std::string log_path = app.log.path();
    app.log.close_log();
    if (!logstore::write_current_log_path(app.shell.program_directory, log_path))
        notice(
            host,
            "CURLOG.DTA could not be written: the next start opens MYLOG.LOG or the log named there before.",
            std::string(k_program_name), ui::Icon::stop);
    // A chart file that could not be read was told of at start and is left as it is.
    const std::string chart_file = app.shell.program_directory + countries::k_chart_file;
    if (!side_file_was_unreadable(chart_file) && !countries::save_chart(app.chart, chart_file))
        notice(host, "DXCC.CHT could not be written: the status chart of this session is not saved.",
               std::string(k_program_name), ui::Icon::stop);
    if (!app.station.backup.empty() && !rig::backup_is_drive_letter(app.station.backup) &&
        !log_path.empty()) {
        // A copy that would land on the log itself would destroy it: never made.
        const std::string copy = backup_destination(app.station.backup, log_path);
        if (copy_would_be_original(copy, log_path) || !copy_log(log_path, copy))
            notice(host, "Log not backed up", "KestLog", ui::Icon::exclamation);
    }
}

void run_program(Application& app, ui::Host& host) {
    start_up(app, host);
    while (!app.shell.leave) {
        app.shell.rebuild = false;
        MainWindow window(app);
        host.run_modal(window, nullptr);
        if (!app.shell.rebuild) break;
    }
    shut_down(app, host);
}

} // namespace kestrel::shell
