#include "databases/database_settings.hpp"

#include "common/file_names.hpp"
#include "common/side_file.hpp"
#include "common/text_items.hpp"

#include <algorithm>
#include <filesystem>

namespace kestrel::databases {

std::string settings_text(const DatabaseSettings& settings) {
    std::string text = std::to_string(static_cast<int>(settings.callbook)) + "\r\n";
    text += side_file_item(settings.drive) + "\r\n";
    for (const std::string& name : settings.names)
        text += side_file_item(name) + "\r\n";
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

std::string database_file(const std::string& directory, const std::string& name) {
    const std::string path = station_file(directory, name);
    return name.empty() ? path : find_file_any_case(path);
}

SettingsLoad load_callbook_settings(const std::string& directory) {
    const std::string path = station_file(directory, k_names_file);
    const auto bytes = load_side_file(path);
    if (!bytes && bytes.error() == SideFileProblem::missing) return {};
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
