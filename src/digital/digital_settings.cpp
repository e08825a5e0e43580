#include "digital/digital_settings.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "common/side_file.hpp"
#include "common/text_items.hpp"

namespace kestrel::digital {

namespace {

std::string path_in(const std::string& directory) {
    if (directory.empty()) return k_settings_file;
    return directory + (directory.back() == '/' ? "" : "/") + k_settings_file;
}

} // namespace

int port_of_text(std::string_view text) {
    const double port = leading_number(text);
    if (port < 1 || port > k_highest_port || port != static_cast<int>(port)) return 0;
    return static_cast<int>(port);
}

DigitalSettings read_digital_settings(std::string_view bytes) {
    DigitalSettings settings;
    TextItemReader items{std::string(bytes)};
    if (const auto on = items.next_text()) settings.listening = upper_case(*on) != "OFF";
    if (const auto address = items.next_text(); address && !address->empty()) settings.address = *address;
    if (const auto port = items.next_text())
        if (const int value = port_of_text(*port); value != 0) settings.port = value;
    return settings;
}

std::string digital_settings_text(const DigitalSettings& settings) {
    return join_items({settings.listening ? "ON" : "OFF", settings.address, std::to_string(settings.port)});
}

DigitalSettings load_digital_settings(const std::string& directory) {
    const auto bytes = read_side_file(path_in(directory));
    return bytes ? read_digital_settings(*bytes) : DigitalSettings{};
}

bool save_digital_settings(const DigitalSettings& settings, const std::string& directory) {
    return write_side_file(path_in(directory), digital_settings_text(settings));
}

} // namespace kestrel::digital
