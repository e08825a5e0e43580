#include "rig/station_settings.hpp"

#include "common/side_file.hpp"
#include "common/text_items.hpp"

#include <algorithm>

namespace kestrel::rig {

namespace {

// An item as RIG.LST keeps it: quoted when a comma or blanks at either end would otherwise change
// it on the next reading (an item brought in quoted from an older file may hold either).
std::string item_text(const std::string& item) {
    const auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool needs_quotes = item.find(',') != std::string::npos ||
                              (!item.empty() && (is_blank(item.front()) || is_blank(item.back())));
    return needs_quotes && item.find('"') == std::string::npos ? '"' + item + '"' : item;
}

} // namespace

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
        out += join_items({item_text(row.transceiver), item_text(row.power), item_text(row.antenna),
                           item_text(row.operator_name), item_text(row.mode)});
    out += item_text(s.latitude) + "\r\n" + item_text(s.longitude) + "\r\n" + item_text(s.backup) + "\r\n";
    return out;
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
