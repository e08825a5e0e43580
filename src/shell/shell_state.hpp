#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kestrel::shell {

inline constexpr std::string_view k_title = "Kestrel v6.44";
inline constexpr std::string_view k_program_name = "Kestrel";
inline constexpr std::string_view k_minimize_text = "&Minimize";
inline constexpr std::string_view k_maximize_text = "&Maximize";

struct ShellState {
    // Multiplies window coordinates: the screen height over 480, or 1 after Minimize.
    double scale_factor = 1.0;
    double screen_scale = 1.0;
    std::string size_toggle_text{k_minimize_text};
    bool rebuild = false;          // build the main window again once it has closed
    bool leave = false;            // the operator chose to leave before the main window showed
    std::string program_directory; // ends with "/"
    // Row labels of the status displays: the heading, the thirteen chart bands, " ALL ", blank.
    std::array<std::string, 16> band_row_labels{};
    std::string caption_word;
};

// Fills the texts the status displays and label printing share.
void fill_display_texts(ShellState& shell);

// The main window's caption: the title, 60 spaces, the log's path.
std::string main_caption(std::string_view log_path);

} // namespace kestrel::shell
