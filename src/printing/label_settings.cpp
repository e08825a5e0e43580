#include "printing/label_settings.hpp"

#include <algorithm>

namespace kestrel::printing {

namespace {

char byte_of(int value) {
    return static_cast<char>(static_cast<unsigned char>(std::clamp(value, 0, k_largest_setting)));
}

int value_of(char byte) {
    return static_cast<unsigned char>(byte);
}

// A switch is on for "Y"; a new file holds 0, an older program wrote "N".
std::optional<bool> switch_of(char byte) {
    if (byte == 'Y') return true;
    if (byte == 'N' || byte == '\0') return false;
    return std::nullopt;
}

} // namespace

std::string encode_settings(const LabelSettings& s) {
    std::string bytes(k_settings_size, '\0');
    bytes[0] = byte_of(s.labels_down);
    bytes[1] = byte_of(s.labels_across);
    bytes[2] = byte_of(s.label_width);
    bytes[3] = byte_of(s.qsls_per_label);
    bytes[4] = byte_of(s.label_height);
    bytes[5] = byte_of(s.left_margin);
    bytes[6] = byte_of(s.top_margin);
    bytes[7] = s.pause ? 'Y' : 'N';
    bytes[8] = s.received_only ? 'Y' : 'N';
    bytes[9] = byte_of(s.label_type);
    return bytes;
}

std::optional<LabelSettings> decode_settings(std::string_view bytes) {
    if (bytes.size() != k_settings_size) return std::nullopt;
    const auto pause = switch_of(bytes[7]);
    const auto received_only = switch_of(bytes[8]);
    if (!pause || !received_only) return std::nullopt;
    LabelSettings s;
    s.labels_down = value_of(bytes[0]);
    s.labels_across = value_of(bytes[1]);
    s.label_width = value_of(bytes[2]);
    s.qsls_per_label = value_of(bytes[3]);
    s.label_height = value_of(bytes[4]);
    s.left_margin = value_of(bytes[5]);
    s.top_margin = value_of(bytes[6]);
    s.pause = *pause;
    s.received_only = *received_only;
    s.label_type = value_of(bytes[9]);
    return s;
}

std::string settings_path_of(const std::string& template_path) {
    const std::size_t slash = template_path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = template_path.rfind('.');
    if (dot == std::string::npos || dot < name) dot = template_path.size();
    const std::string_view extension = std::string_view(template_path).substr(dot);
    const bool small = !extension.empty() && std::all_of(extension.begin() + 1, extension.end(), [](char c) {
        return c < 'A' || c > 'Z';
    }) && extension.size() > 1;
    return template_path.substr(0, dot) + (small ? ".dat" : ".DAT");
}

} // namespace kestrel::printing
