#include "country_numbers.hpp"

#include "cty_lookup.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

namespace kestrel::country_list {

namespace {

bool read_int(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

NumberTableParse parse_number_table(std::string_view text) {
    NumberTableParse parse;
    std::set<int> numbers;
    int line_number = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#' || line.starts_with("adif,")) continue;

        const std::size_t first = line.find(',');
        const std::size_t second = first == std::string_view::npos ? first : line.find(',', first + 1);
        const std::string_view number_text =
            first == std::string_view::npos ? std::string_view{} : line.substr(first + 1, second - first - 1);
        int adif = 0, number = 0;
        if (!read_int(line.substr(0, first), adif) || !read_int(number_text, number)) {
            parse.bad_line = line_number;
            parse.why = "not an entity code and a number";
            return parse;
        }
        if (number < 1 || number > k_highest_number) {
            parse.bad_line = line_number;
            parse.why = "number outside 1 to " + std::to_string(k_highest_number);
            return parse;
        }
        if (parse.table.number_of.count(adif) != 0 || !numbers.insert(number).second) {
            parse.bad_line = line_number;
            parse.why = "entity code or number given twice";
            return parse;
        }
        parse.table.number_of[adif] = number;
        parse.table.note_of[adif] =
            second == std::string_view::npos ? "" : std::string(line.substr(second + 1));
    }
    return parse;
}

std::string format_number_table(const NumberTable& table) {
    std::vector<std::pair<int, int>> by_number; // (number, adif)
    for (const auto& [adif, number] : table.number_of)
        by_number.emplace_back(number, adif);
    std::sort(by_number.begin(), by_number.end());
    std::string text = "adif,number,prefix,name\n";
    for (const auto& [number, adif] : by_number) {
        text += std::to_string(adif) + "," + std::to_string(number);
        const auto note = table.note_of.find(adif);
        if (note != table.note_of.end() && !note->second.empty()) text += "," + note->second;
        text += "\n";
    }
    return text;
}

std::optional<std::vector<NewEntity>> number_new_entities(NumberTable& table, const CtyFile& file) {
    // England first, so that a table made from nothing starts with the home country as 1.
    std::vector<const CtyLine*> order;
    for (const CtyLine& line : file.lines)
        if (line.is_dxcc() && line.adif == k_england_adif) order.push_back(&line);
    for (const CtyLine& line : file.lines)
        if (line.is_dxcc() && line.adif != k_england_adif) order.push_back(&line);

    int highest = 0;
    for (const auto& [adif, number] : table.number_of)
        highest = std::max(highest, number);
    std::vector<NewEntity> added;
    for (const CtyLine* line : order) {
        if (table.number_of.count(line->adif) != 0) {
            continue;
        }
        if (highest == k_highest_number) return std::nullopt;
        table.number_of[line->adif] = ++highest;
        table.note_of[line->adif] = line->primary + "," + line->name;
        added.push_back({line->adif, highest, line->name});
    }
    return added;
}

std::optional<int> home_entity(std::string_view text, const CtyFile& file) {
    if (all_digits(text)) {
        int adif = 0;
        if (!read_int(text, adif)) return std::nullopt;
        for (const CtyLine& line : file.lines)
            if (line.is_dxcc() && line.adif == adif) return adif;
        return std::nullopt;
    }
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const CtyLine& line : file.lines)
        if (line.is_dxcc() && line.primary == upper) return line.adif;
    const auto found = CtyLookup(file).line_of(upper);
    if (!found) return std::nullopt;
    return file.lines[static_cast<std::size_t>(*found)].adif;
}

void make_home(std::map<int, int>& number_of, int home_adif) {
    const auto home = number_of.find(home_adif);
    if (home == number_of.end() || home->second == 1) return;
    for (auto& [adif, number] : number_of) {
        if (number == 1) {
            number = home->second;
            break;
        }
    }
    home->second = 1;
}

} // namespace kestrel::country_list
