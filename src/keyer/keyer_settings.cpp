#include "keyer/keyer_settings.hpp"

#include "common/side_file.hpp"
#include "common/text_items.hpp"

#include <algorithm>
#include <vector>

namespace kestrel::keyer {

namespace {

enum Line { k_port_line = 0, k_port_again_line = 1, k_speed_line = 2, k_first_message_line = 3 };

std::vector<std::string> lines_of(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        std::size_t end = bytes.find_first_of("\r\n");
        if (end == std::string_view::npos) end = bytes.size();
        lines.emplace_back(bytes.substr(0, end));
        if (end < bytes.size() && bytes[end] == '\r') ++end;
        if (end < bytes.size() && bytes[end] == '\n') ++end;
        bytes.remove_prefix(end);
    }
    return lines;
}

// The first item of a line; an empty one when the file has no such line.
TextItemReader first_item_of(const std::vector<std::string>& lines, int index) {
    const auto i = static_cast<std::size_t>(index);
    return TextItemReader(i < lines.size() ? lines[i] : std::string());
}

} // namespace

int usable_speed(int words_per_minute) {
    return std::max(words_per_minute, k_minimum_speed);
}

KeyerSettings read_keyer_settings(std::string_view bytes) {
    const std::vector<std::string> lines = lines_of(bytes);
    KeyerSettings settings;
    settings.port = first_item_of(lines, k_port_again_line).next_text().value_or("");
    settings.words_per_minute = usable_speed(first_item_of(lines, k_speed_line).next_int());
    for (int m = 0; m < k_message_count; ++m)
        settings.messages[static_cast<std::size_t>(m)] =
            first_item_of(lines, k_first_message_line + m).next_text().value_or("");
    return settings;
}

std::string keyer_settings_text(const KeyerSettings& settings) {
    const std::string port = side_file_item(settings.port);
    std::string text = port + "\r\n" + port + "\r\n" + std::to_string(settings.words_per_minute) + "\r\n";
    for (const std::string& message : settings.messages)
        text += side_file_item(message) + "\r\n";
    return text;
}

bool write_keyer_settings(const KeyerSettings& settings, const std::string& path) {
    return write_side_file(path, keyer_settings_text(settings));
}

std::string path_in(const std::string& directory, const char* file_name) {
    if (directory.empty()) return file_name;
    if (directory.back() == '/') return directory + file_name;
    return directory + "/" + file_name;
}

KeyerFiles load_keyer_files(const std::string& directory) {
    KeyerFiles files;
    if (const auto morse = read_side_file(path_in(directory, k_morse_file))) {
        const MorseTableLoad load = read_morse_table(*morse);
        files.table = load.table;
        files.message = fault_message(load);
    }
    if (const auto settings = read_side_file(path_in(directory, k_settings_file)))
        files.settings = read_keyer_settings(*settings);
    return files;
}

} // namespace kestrel::keyer
