#include "databases/database_settings.hpp"

#include "common/side_file.hpp"
#include "common/text_items.hpp"

#include <algorithm>
#include <filesystem>

namespace kestrel::databases {

std::string settings_text(const DatabaseSettings& settings) {
    std::string text = std::to_string(static_cast<int>(settings.callbook)) + "\r\n";
    text += settings.drive + "\r\n";
    for (const std::string& name : settings.names)
        text += name + "\r\n";
    return text;
}

DatabaseSettings read_settings_text(std::string_view bytes) {
    TextItemReader reader{std::string(bytes)};
    DatabaseSettings settings;
    const int kind = reader.next_int();
    if (kind > 0 && kind < static_cast<int>(k_callbook_names.size()))
        settings.callbook = static_cast<CallbookKind>(kind);
    settings.drive = reader.next_text().value_or("");
    for (std::string& name : settings.names)
        name = reader.next_text().value_or("");
    return settings;
}

std::string station_file(const std::string& directory, const std::string& name) {
    if (directory.empty() || name.starts_with('/')) return name;
    return directory.ends_with('/') ? directory + name : directory + "/" + name;
}

namespace {

bool same_but_case(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

std::string database_file(const std::string& directory, const std::string& name) {
    const std::filesystem::path path = station_file(directory, name);
    std::error_code error;
    if (name.empty() || std::filesystem::exists(path, error)) return path.string();
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const std::string wanted = path.filename().string();
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (same_but_case(it->path().filename().string(), wanted))
            return (path.has_parent_path() ? folder / it->path().filename() : it->path().filename()).string();
    return path.string();
}

SettingsLoad load_callbook_settings(const std::string& directory) {
    const std::string path = station_file(directory, k_names_file);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return {};
    const std::optional<std::string> bytes = read_side_file(path);
    if (!bytes)
        return {{},
                std::string(k_names_file) +
                    " could not be read: no callbook is chosen and the database buttons stay away until "
                    "Set Up/Databases names them again."};
    return {read_settings_text(*bytes), std::nullopt};
}

bool write_callbook_settings(const DatabaseSettings& settings, const std::string& directory) {
    return write_side_file(station_file(directory, k_names_file), settings_text(settings));
}

} // namespace kestrel::databases
