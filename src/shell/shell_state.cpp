#include "shell/shell_state.hpp"

namespace kestrel::shell {

void fill_display_texts(ShellState& shell) {
    shell.band_row_labels = {"Band      CW        SSB       FM       OTHER",
                             " 160 ",
                             "  80 ",
                             "  40 ",
                             "  30 ",
                             "  20 ",
                             "  17 ",
                             "  15 ",
                             "  12 ",
                             "  10 ",
                             "   6 ",
                             "   4 ",
                             "   2 ",
                             "70cm ",
                             " ALL ",
                             "     "};
    shell.caption_word = "Worked";
    shell.size_toggle_text = std::string(k_minimize_text);
}

std::string main_caption(std::string_view log_path) {
    return std::string(k_title) + std::string(60, ' ') + std::string(log_path);
}

} // namespace kestrel::shell
