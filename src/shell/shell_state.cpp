#include "shell/shell_state.hpp"

#include "countries/chart_grid.hpp"

namespace kestrel::shell {

void fill_display_texts(ShellState& shell) {
    shell.band_row_labels = countries::standard_band_labels();
    shell.caption_word = "Worked";
    shell.size_toggle_text = std::string(k_minimize_text);
}

std::string main_caption(std::string_view log_path) {
    return std::string(k_title) + std::string(60, ' ') + std::string(log_path);
}

} // namespace kestrel::shell
