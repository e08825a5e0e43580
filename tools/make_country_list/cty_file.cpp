#include "cty_file.hpp"

#include <charconv>

namespace kestrel::country_list {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (true) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos) return parts;
        at = end + 1;
    }
}

// The whole text as a number, nothing before or after it.
template <class Number> bool read_number(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool is_call_character(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
}

// A call with its overrides removed: "AA0(4)[7]" gives "AA0". Empty when the text is not a call.
std::string strip_overrides(std::string_view token) {
    std::string call;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char c = token[i];
        char closing = 0;
        switch (c) {
        case '(': closing = ')'; break;
        case '[': closing = ']'; break;
        case '<': closing = '>'; break;
        case '{': closing = '}'; break;
        case '~': closing = '~'; break;
        default: break;
        }
        if (closing != 0) {
            const std::size_t end = token.find(closing, i + 1);
            if (end == std::string_view::npos) return {};
            i = end;
            continue;
        }
        if (!is_call_character(c)) return {};
        call += c;
    }
    return call;
}

// The calls field: "AA AB =N2NL/MM(7) K;" into prefixes and exact calls. False on anything else.
bool read_calls(std::string_view field, CtyLine& line) {
    if (field.empty() || field.back() != ';') return false;
    field.remove_suffix(1);
    for (std::string_view token : split(field, ' ')) {
        if (token.empty()) continue;
        const bool exact = token[0] == '=';
        if (exact) token.remove_prefix(1);
        std::string call = strip_overrides(token);
        if (call.empty()) return false;
        (exact ? line.exact_calls : line.prefixes).push_back(std::move(call));
    }
    return true;
}

} // namespace

CtyParse parse_cty_csv(std::string_view text) {
    CtyParse parse;
    int number = 0;
    for (std::string_view row : split(text, '\n')) {
        ++number;
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        if (row.empty()) continue;
        const auto fail = [&](std::string why) {
            parse.bad_line = number;
            parse.why = std::move(why);
            return parse;
        };
        const auto fields = split(row, ',');
        if (fields.size() != 10) return fail("not ten fields");
        CtyLine line;
        line.primary = std::string(fields[0]);
        line.name = std::string(fields[1]);
        if (line.primary.empty() || line.name.empty()) return fail("no prefix or no name");
        if (!read_number(fields[2], line.adif) || line.adif <= 0) return fail("no entity code");
        if (!read_number(fields[6], line.latitude) || !read_number(fields[7], line.west_longitude))
            return fail("no position");
        if (line.latitude < -90 || line.latitude > 90 || line.west_longitude < -180 ||
            line.west_longitude > 180)
            return fail("position out of range");
        if (!read_calls(fields[9], line)) return fail("a call that is not made of A-Z, 0-9 and /");
        parse.file.lines.push_back(std::move(line));
    }
    return parse;
}

} // namespace kestrel::country_list
