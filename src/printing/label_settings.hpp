#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::printing {

// The sheet a label template prints on, as its settings file keeps it: ten bytes, one setting
// each, sizes in whole millimetres.
inline constexpr std::size_t k_settings_size = 10;
inline constexpr int k_largest_setting = 255;

enum LabelType : int { k_single_label = 0, k_multi_label = 1 };

struct LabelSettings {
    int labels_down = 0;
    int labels_across = 0;
    int label_width = 0; // mm
    int qsls_per_label = 0;
    int label_height = 0; // mm
    int left_margin = 0;  // mm
    int top_margin = 0;   // mm
    bool pause = false;
    bool received_only = false;
    int label_type = k_single_label; // other values are kept, and refused when printing

    // As the printing reads them: a count of 0 means 1.
    int down() const { return labels_down == 0 ? 1 : labels_down; }
    int across() const { return labels_across == 0 ? 1 : labels_across; }
    int per_label() const { return qsls_per_label == 0 ? 1 : qsls_per_label; }
    bool type_known() const { return label_type == k_single_label || label_type == k_multi_label; }

    friend bool operator==(const LabelSettings&, const LabelSettings&) = default;
};

// The ten bytes: down, across, width, QSLs per label, height, left, top, then "Y" or "N" for the
// pause and for received-only, then the label type. Values are held to 0-255.
[[nodiscard]] std::string encode_settings(const LabelSettings& settings);
// Nothing unless the bytes are exactly ten, with "Y" or "N" (or the 0 of a new file) for the two
// switches.
[[nodiscard]] std::optional<LabelSettings> decode_settings(std::string_view bytes);

// The settings file of a template: the same name with the extension "DAT" ("dat" for a name
// written in small letters), so LABELS.DTA keeps its sheet in LABELS.DAT.
[[nodiscard]] std::string settings_path_of(const std::string& template_path);

} // namespace kestrel::printing
