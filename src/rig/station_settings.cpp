#include "rig/station_settings.hpp"

#include "common/side_file.hpp"
#include "common/text_items.hpp"

#include <algorithm>

namespace kestrel::rig {

const StationRow& StationSettings::row_for_band(int band_index) const {
    if (band_index == 19) band_index = 2;
    if (band_index < 0 || band_index >= k_station_rows) band_index = 2;
    return rows[static_cast<std::size_t>(band_index)];
}

StationSettings read_settings_file(const std::string& path) {
    StationSettings s;
    const auto text = read_side_file(path);
    if (!text) return s;
    TextItemReader items(*text);
    auto next = [&items] { return items.next_text().value_or(""); };
    for (StationRow& row : s.rows) {
        row.transceiver = next();
        row.power = next();
        row.antenna = next();
        row.operator_name = next();
        row.mode = next();
    }
    s.latitude = next();
    s.longitude = next();
    s.backup = next();
    return s;
}

std::string settings_file_text(const StationSettings& s) {
    std::string out;
    for (const StationRow& row : s.rows)
        out += join_items({row.transceiver, row.power, row.antenna, row.operator_name, row.mode});
    out += join_items({s.latitude}) + join_items({s.longitude}) + join_items({s.backup});
    return out;
}

std::string backup_destination(const std::string& backup_folder, const std::string& log_path) {
    const auto slash = log_path.rfind('/');
    const std::string name = slash == std::string::npos ? log_path : log_path.substr(slash + 1);
    std::string folder = backup_folder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool backup_is_drive_letter(std::string_view backup) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (backup.empty() || !letter(backup[0])) return false;
    return backup.size() == 1 || (backup[1] == ':' && (backup.size() == 2 || backup.substr(2) == "\\"));
}

bool write_settings_file(const StationSettings& settings, const std::string& path) {
    return write_side_file(path, settings_file_text(settings));
}

std::string rig_line_with_link(const std::string& old_line, const std::string& port,
                               const std::string& rate) {
    // The items after the first (parity, data bits, stop bits: ",N,8,2") are kept exactly as they
    // were written, however many characters they take; a line of the first item alone has none.
    std::size_t at = old_line.find_first_not_of(" \t");
    if (at != std::string::npos && old_line[at] == '"') {
        const std::size_t closing = old_line.find('"', at + 1);
        at = closing == std::string::npos ? std::string::npos : closing + 1;
    }
    const std::size_t comma = at == std::string::npos ? std::string::npos : old_line.find(',', at);
    const std::string tail = comma == std::string::npos ? std::string{} : old_line.substr(comma);
    return port + ":" + rate + tail;
}

bool apply_rig_link_change(RigLinkSettings& link) {
    if (!link.changed || !link.description_path) return true;
    const auto text = read_side_file(*link.description_path);
    if (!text) return false;
    // Only line 1 changes; its line end and every later byte stay as they were.
    const std::size_t end = std::min(text->find_first_of("\r\n"), text->size());
    const std::string out =
        rig_line_with_link(text->substr(0, end), link.port, link.rate) + text->substr(end);
    if (!write_side_file(*link.description_path, out)) return false;
    link.changed = false;
    return true;
}

} // namespace kestrel::rig
