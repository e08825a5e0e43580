#include "logstore/field_codes.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"

#include <algorithm>

namespace kestrel::logstore {

namespace {

// Each occurrence of `pattern` in the first `size` bytes taken out, left to right; the new size.
std::size_t remove_all(char* text, std::size_t size, std::string_view pattern) {
    const auto found_at = [&](std::size_t at) {
        if (size - at < pattern.size()) return false;
        for (std::size_t i = 0; i < pattern.size(); ++i)
            if (text[at + i] != pattern[i]) return false;
        return true;
    };
    std::size_t kept = 0;
    for (std::size_t at = 0; at < size;) {
        if (text[at] == pattern[0] && found_at(at))
            at += pattern.size();
        else
            text[kept++] = text[at++];
    }
    return kept;
}

} // namespace

BandField coded_band_field(int band_index) {
    return {0x00, 0x00, static_cast<std::uint8_t>(band_index)};
}

BandField text_band_field(std::string_view frequency_text) {
    const std::string text = fixed_width(frequency_text, 3);
    return {static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]),
            static_cast<std::uint8_t>(text[2])};
}

int band_of_frequency(std::string_view frequency_text) {
    // Single precision, as the frequencies have always been compared.
    float mhz = static_cast<float>(leading_number(frequency_text));
    if (mhz == 0.0f) return k_fallback_band;
    if (upper_case(frequency_text).find('G') != std::string::npos) mhz *= 1000.0f;

    int index = 0;
    if (mhz > 3.0f) index = 1;
    if (mhz > 4.0f && mhz < 6.0f) return k_fallback_band;
    constexpr float thresholds[] = {6,   9,   13,  17,   19,   23,   27,   49,   69,
                                    100, 150, 500, 1400, 3000, 5000, 6000, 11000};
    for (const float threshold : thresholds) {
        if (mhz > threshold) ++index;
    }
    return index;
}

int band_of_field(const BandField& field) {
    if (field[0] == 0x00 && field[1] == 0x00) return field[2];
    const std::string text(field.begin(), field.end());
    return band_of_frequency(text);
}

int mode_class_of(std::string_view mode_text) {
    const std::string mode(trim_trailing_spaces(upper_case(mode_text)));
    if (mode == "A1A" || mode == "CW") return k_mode_cw;
    if (mode == "J3E" || mode == "SSB") return k_mode_ssb;
    if (mode == "F3E" || mode == "FM") return k_mode_fm;
    return k_mode_other;
}

std::string qsl_tag_of(std::uint8_t qsl_flags) {
    std::string tag = "--";
    if (qsl_flags & 1) tag[0] = 'S';
    if (qsl_flags & 2) tag[1] = 'R';
    return tag;
}

std::size_t base_call_in_place(char* call, std::size_t size) {
    for (const std::string_view suffix : {"/P ", "/M ", "/MM ", "/A "})
        size = remove_all(call, size, suffix);
    if (size >= 2 && (call[0] == 'G' || call[0] == 'M')) {
        const auto second = static_cast<unsigned char>(call[1]);
        if (second != 'B' && second != 'R' && second > '@') {
            std::copy(call + 2, call + size, call + 1);
            --size;
        }
    }
    return size;
}

std::string base_call(std::string_view call) {
    std::string text(call);
    text.resize(base_call_in_place(text.data(), text.size()));
    return text;
}

std::string default_report(std::string_view mode_text) {
    if (mode_text == "A1A" || mode_text == "CW" || mode_text == "RTY" || mode_text == "J2B") return "599";
    if (mode_text == "CQC") return "N";
    return "59";
}

} // namespace kestrel::logstore
