#pragma once

#include <string>
#include <string_view>

namespace kestrel::digital {

inline constexpr const char* k_settings_file = "DIGITAL.LST";
// Where the programs send by default: their own port, on this computer only.
inline constexpr int k_default_port = 2237;
inline constexpr const char* k_default_address = "127.0.0.1";
inline constexpr int k_highest_port = 65535;

// Whether and where the program listens for the contacts of digital-mode programs.
struct DigitalSettings {
    bool listening = true;
    std::string address = k_default_address; // one of this computer's, or a multicast group
    int port = k_default_port;
    friend bool operator==(const DigitalSettings&, const DigitalSettings&) = default;
};

// DIGITAL.LST: one line of three items, "ON" or "OFF", the address and the port, read by the
// side files' usual rules ("ON,127.0.0.1,2237"). A missing file, or an item that is not there
// or makes no sense (a port outside 1-65535), gives the default for that item.
[[nodiscard]] DigitalSettings read_digital_settings(std::string_view bytes);
[[nodiscard]] std::string digital_settings_text(const DigitalSettings& settings);

// The settings kept in a directory (given with or without its final "/"), defaults when there
// are none; and writing them there in one go, false when that failed.
[[nodiscard]] DigitalSettings load_digital_settings(const std::string& directory);
[[nodiscard]] bool save_digital_settings(const DigitalSettings& settings, const std::string& directory);

// A port as the operator typed it: 1-65535, else nothing (0).
[[nodiscard]] int port_of_text(std::string_view text);

} // namespace kestrel::digital
