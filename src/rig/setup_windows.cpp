#include "rig/setup_windows.hpp"

#include "common/file_names.hpp"
#include "common/fixed_text.hpp"
#include "common/windows1252.hpp"
#include "logstore/band_names.hpp"
#include "logstore/record.hpp"
#include "ui/context.hpp"

#include <filesystem>

namespace kestrel::rig {

namespace {

const ui::Font k_courier{"Courier", 8};
// A comma would end the text early when RIG.LST is read again, and shift every later setting; a
// double quote cannot be stored there at all.
const std::string k_refused = ",\"";

ui::Control box(int id, ui::Rect rect, unsigned style = ui::plain) {
    ui::Control c = ui::edit(id, rect, style);
    c.refused = k_refused;
    return c;
}

int row_y(int r) {
    return 14 + 11 * r;
}

// The row's text in column 1 (transceiver) to 5 (operator), the order of the boxes.
std::string& field(StationRow& row, int column) {
    switch (column) {
    case 1: return row.transceiver;
    case 2: return row.antenna;
    case 3: return row.power;
    case 4: return row.mode;
    default: return row.operator_name;
    }
}

const std::string& field(const StationRow& row, int column) {
    return field(const_cast<StationRow&>(row), column);
}

// Writes RIG.LST and tells the operator when it could not be written.
void save_settings(ui::Context& ctx, const SetupEnv& env) {
    if (!write_settings_file(env.settings, env.settings_path))
        ctx.message(
            "RIG.LST could not be written: the station settings are kept only until the program ends.",
            "Kestrel", ui::Icon::stop);
}

} // namespace

ui::Form StationDataWindow::build() const {
    ui::Form form;
    form.caption = "STATION DATA ";
    form.frame = {10, 5, 255, 245};
    form.font = k_courier;
    form.background = ui::colours::pale_yellow;
    form.add(
        ui::label(k_heading, "Band   Transceiver     Antenna    Power  Mode   Operator", {5, 4, 245, 8}));
    // The boxes stand under the words of the heading: a Courier character is four units wide.
    static const int x[] = {33, 97, 141, 169, 197};
    static const int width[] = {60, 40, 24, 24, 52};
    // On the air these texts become the fields of the log's records: transceiver, antenna and
    // operator of a station data entry, power and mode of a contact.
    static const int limit[] = {logstore::k_station_text_width, logstore::k_station_text_width,
                                logstore::k_power_width, logstore::k_mode_width,
                                logstore::k_station_text_width};
    for (int r = 0; r < k_station_rows; ++r) {
        const StationRow& row = m_env.settings.rows[static_cast<std::size_t>(r)];
        const std::string band(trim_trailing_spaces(m_env.bands.name(r)));
        form.add(ui::label(k_band_label + r, band, {1, row_y(r) + 1, 28, 8}, ui::right_aligned));
        for (int column = 1; column <= 5; ++column) {
            ui::Control c = box(100 * column + r, {x[column - 1], row_y(r), width[column - 1], 10});
            c.text = field(row, column);
            c.text_limit = limit[column - 1];
            form.add(c);
        }
    }
    form.add(ui::label(k_port_label, "CAT Port:", {5, 229, 36, 8}));
    ui::Control port = box(k_port, {41, 228, 60, 10});
    port.text = m_env.link.port;
    form.add(port);
    form.add(ui::label(k_rate_label, "Rate:", {105, 229, 20, 8}));
    ui::Control rate = box(k_rate, {125, 228, 28, 10}, ui::digits_only);
    rate.text = m_env.link.rate;
    form.add(rate);
    form.add(ui::button(k_copy, "&Copy", {163, 226, 40, 14}));
    form.add(ui::button(ui::k_cancel, "E&xit", {208, 226, 40, 14}));
    form.accelerators = {{{ui::Key::enter}, k_next_column},
                         {{ui::Key::tab}, k_next_column},
                         {{ui::Key::tab, ui::shift}, k_previous_column},
                         {{ui::Key::up}, k_previous_row},
                         {{ui::Key::down}, k_next_row}};
    return form;
}

void StationDataWindow::move_focus(ui::Context& ctx, int id) {
    if (!ctx.exists(id)) return;
    ctx.focus(id);
    m_focused_box = id;
}

void StationDataWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify == ui::Notify::focus_gained) {
        m_focused_box = id;
        return;
    }
    if ((id == k_port || id == k_rate) && notify == ui::Notify::changed) {
        m_env.link.changed = true;
        return;
    }
    if (notify != ui::Notify::clicked) return;
    const int f = m_focused_box;
    switch (id) {
    case k_next_column:
        if (f < k_operator) move_focus(ctx, f + 100);
        break;
    case k_previous_column:
        if (f >= k_antenna && f < k_band_label) move_focus(ctx, f - 100);
        break;
    case k_previous_row:
        if (f % 100 > 0) move_focus(ctx, f - 1);
        break;
    case k_next_row:
        if (f % 100 < k_station_rows - 1) move_focus(ctx, f + 1);
        break;
    case k_copy: copy_row(ctx); break;
    case ui::k_cancel: close(ctx); break;
    }
}

void StationDataWindow::copy_row(ui::Context& ctx) {
    const int r = m_focused_box % 100;
    if (m_focused_box >= k_band_label || r >= k_station_rows - 1) return;
    for (int column = 1; column <= 5; ++column)
        ctx.set_text(100 * column + r + 1, ctx.text(100 * column + r));
    move_focus(ctx, k_transceiver + r + 1);
}

void StationDataWindow::close(ui::Context& ctx) {
    for (int r = 0; r < k_station_rows; ++r)
        for (int column = 1; column <= 5; ++column)
            field(m_env.settings.rows[static_cast<std::size_t>(r)], column) = ctx.text(100 * column + r);
    m_env.link.port = ctx.text(k_port);
    m_env.link.rate = ctx.text(k_rate);
    save_settings(ctx, m_env);
    if (!apply_rig_link_change(m_env.link))
        ctx.message("The rig description " + m_env.link.description_path.value_or("") +
                        " could not be rewritten: the new CAT port and rate are not saved.",
                    "Kestrel", ui::Icon::stop);
    ctx.close(0);
}

ui::Form LocationWindow::build() const {
    ui::Form form;
    form.caption = "Set Latitude and Longitude";
    form.frame = {20, 20, 150, 62};
    form.font = k_courier;
    form.background = ui::colours::pale_yellow;
    form.add(ui::label(k_latitude_label, "Latitude:", {5, 8, 44, 8}));
    ui::Control latitude = box(k_latitude, {52, 6, 50, 12});
    latitude.text = m_env.settings.latitude;
    form.add(latitude);
    form.add(ui::label(k_longitude_label, "Longitude:", {5, 24, 44, 8}));
    ui::Control longitude = box(k_longitude, {52, 22, 50, 12});
    longitude.text = m_env.settings.longitude;
    form.add(longitude);
    form.add(ui::button(ui::k_cancel, "E&xit", {108, 42, 36, 14}));
    return form;
}

void LocationWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    if (id == ui::k_ok && ctx.focused() == k_latitude) ctx.focus(k_longitude);
    if (id != ui::k_cancel) return;
    m_env.settings.latitude = ctx.text(k_latitude);
    m_env.settings.longitude = ctx.text(k_longitude);
    ctx.close(0);
    save_settings(ctx, m_env);
}

namespace {

// Boxes hold Windows-1252 text; a folder's name is the file system's bytes (UTF-8). A name that
// is not UTF-8 (typed on the old platform) is shown as it is.
std::string box_text_of_path(const std::string& path) {
    return is_valid_utf8(path) ? windows1252_from_utf8(path) : path;
}

// Why a back-up folder cannot be used, or nothing when it can.
std::optional<std::string> backup_folder_problem(const std::string& folder, const std::string& log_path) {
    if (folder.empty() || log_path.empty()) return std::nullopt;
    if (copy_would_be_original(backup_destination(folder, log_path), log_path))
        return "The back-up copy would be the log itself: choose a folder other than the log's own.";
    return std::nullopt;
}

} // namespace

ui::Form BackupDriveWindow::build() const {
    ui::Form form;
    form.caption = "Set Back Up Drive Letter";
    form.frame = {20, 20, 200, 52};
    form.background = ui::colours::pale_yellow;
    form.add(ui::label(k_label, "Back Up Folder:", {5, 6, 80, 8}));
    ui::Control directory = box(k_directory, {5, 16, 150, 12});
    directory.text = box_text_of_path(m_env.settings.backup);
    form.add(directory);
    form.add(ui::button(k_browse, "&Browse...", {159, 15, 37, 14}));
    form.add(ui::button(ui::k_cancel, "E&xit", {159, 33, 37, 14}));
    return form;
}

void BackupDriveWindow::on_command(ui::Context& ctx, int id, ui::Notify notify) {
    if (notify != ui::Notify::clicked) return;
    if (id == k_browse) {
        if (auto chosen = ctx.host().choose_directory(&ctx, "Back Up Folder", m_env.settings.backup)) {
            if (chosen->find_first_of(",\"") != std::string::npos) {
                ctx.beep();
                ctx.message("A back-up folder cannot hold a comma or a double quote in its name.", "Kestrel",
                            ui::Icon::exclamation);
            } else if (const auto problem = backup_folder_problem(*chosen, m_env.log_path)) {
                ctx.beep();
                ctx.message(*problem, "Kestrel", ui::Icon::exclamation);
            } else {
                m_chosen = *chosen;
                ctx.set_text(k_directory, box_text_of_path(*chosen));
            }
        }
        ctx.focus(k_directory);
        return;
    }
    if (id != ui::k_cancel) return;
    const std::string typed = ctx.text(k_directory);
    // What the dialog gave stays byte for byte; a typed name is turned into the file system's bytes.
    std::string folder = !m_chosen.empty() && typed == box_text_of_path(m_chosen) ? m_chosen
                         : typed == box_text_of_path(m_env.settings.backup)       ? m_env.settings.backup
                                                                            : utf8_from_windows1252(typed);
    if (const auto problem = backup_folder_problem(folder, m_env.log_path)) {
        ctx.beep();
        ctx.message(*problem, "Kestrel", ui::Icon::exclamation);
        ctx.focus(k_directory);
        return;
    }
    m_env.settings.backup = std::move(folder);
    ctx.close(0);
    save_settings(ctx, m_env);
    std::error_code ec;
    if (!m_env.settings.backup.empty() && !backup_is_drive_letter(m_env.settings.backup) &&
        !std::filesystem::is_directory(m_env.settings.backup, ec))
        ctx.message(box_text_of_path(m_env.settings.backup) +
                        " is not a folder: the log will not be backed up at exit until it is.",
                    "Kestrel", ui::Icon::exclamation);
}

void station_data_window(ui::Context& parent, SetupEnv env) {
    StationDataWindow window(env);
    parent.run_modal(window);
}

void location_window(ui::Context& parent, SetupEnv env) {
    LocationWindow window(env);
    parent.run_modal(window);
}

void backup_drive_window(ui::Context& parent, SetupEnv env) {
    BackupDriveWindow window(env);
    parent.run_modal(window);
}

} // namespace kestrel::rig
