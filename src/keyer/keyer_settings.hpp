#pragma once

#include "keyer/morse_table.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::keyer {

inline constexpr const char* k_settings_file = "CWTEXT.TXT";
inline constexpr int k_message_count = 4; // F5 to F8
inline constexpr int k_minimum_speed = 10;
inline constexpr int k_default_speed = 20;

// The key line, the speed and the stored messages, as kept in CWTEXT.TXT.
struct KeyerSettings {
    // "" for no keying, "P" for the parallel port, else a serial port text ("1", "/dev/ttyUSB0").
    std::string port;
    int words_per_minute = k_default_speed;
    std::array<std::string, k_message_count> messages; // F5, F6, F7, F8

    friend bool operator==(const KeyerSettings&, const KeyerSettings&) = default;
};

// A speed as the keyer takes it: never below k_minimum_speed.
[[nodiscard]] int usable_speed(int words_per_minute);

// CWTEXT.TXT: the port twice (the second line is the one that counts), the speed, and the four
// messages, a line each. An item is read from each line by the side files' usual rules, so a
// comma in a message cuts it there; the lines after it keep their own meaning.
[[nodiscard]] KeyerSettings read_keyer_settings(std::string_view bytes);
[[nodiscard]] std::string keyer_settings_text(const KeyerSettings& settings);
// Writes CWTEXT.TXT in one go; false when it could not be written.
[[nodiscard]] bool write_keyer_settings(const KeyerSettings& settings, const std::string& path);

// What the program reads at start-up from its data directory: DMORSE.CDE (missing: no character
// has a code) and CWTEXT.TXT (missing: no port, 20 words a minute, no messages), with the one
// message for DMORSE.CDE's faulty lines, to be shown in a box with an empty title.
struct KeyerFiles {
    MorseTable table;
    KeyerSettings settings;
    std::optional<std::string> message;
};
[[nodiscard]] KeyerFiles load_keyer_files(const std::string& directory);

// The path of a file in a directory given with or without its final "/" ("" is the current one).
[[nodiscard]] std::string path_in(const std::string& directory, const char* file_name);

} // namespace kestrel::keyer
