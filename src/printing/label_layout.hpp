#pragma once

#include "printing/label_settings.hpp"

#include <optional>
#include <string>
#include <vector>

namespace kestrel::printing {

// Templates larger than this are not label templates (another program's file, say).
inline constexpr std::size_t k_largest_template = 64 * 1024;
inline constexpr const char* k_no_template = "None";

// What a label prints and on which sheet: a template and its settings, as last loaded by the
// Print QSL window. The application keeps one for the whole run; the single labels of the
// logging windows print with it.
struct LabelLayout {
    std::string template_path; // empty while none is loaded
    std::string template_text; // the file's bytes
    LabelSettings settings;

    bool loaded() const { return !template_path.empty(); }
    std::string settings_path() const { return settings_path_of(template_path); }
};

// The label templates of a directory: every file named *.DTA (in either case) but CURLOG.DTA,
// which holds the current log's name; sorted by name.
[[nodiscard]] std::vector<std::string> template_files(const std::string& directory);

// A template and its settings read from disk, or why they could not be: a message that names
// the file. A settings file that is missing or empty is created with ten zero bytes; one that
// cannot be read or is not ten bytes of settings is left alone.
struct LayoutLoad {
    std::optional<LabelLayout> layout;
    std::string problem;
};
[[nodiscard]] LayoutLoad load_label_layout(const std::string& template_path);

} // namespace kestrel::printing
