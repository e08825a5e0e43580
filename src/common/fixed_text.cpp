#include "common/fixed_text.hpp"

#include <utility>

namespace kestrel {

std::string fixed_width(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string_view trim_trailing_spaces(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

std::string_view trim_blanks(std::string_view text) {
    const auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string upper_case(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

void replace_all(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    std::size_t at = text.find(from);
    if (at == std::string::npos) return;
    // Built afresh in one pass: a replacement in place moves the rest of the text each time,
    // and a line of nothing but matches (a database header of "$$$$...") would take time that
    // grows with the square of its length.
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;
    for (; at != std::string::npos; at = text.find(from, done)) {
        out.append(text, done, at - done);
        out.append(to);
        done = at + from.size();
    }
    out.append(text, done);
    text = std::move(out);
}

} // namespace kestrel
