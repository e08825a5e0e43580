#include "keyer/morse_table.hpp"

#include "common/number_text.hpp"
#include "common/text_items.hpp"

#include <algorithm>
#include <utility>

namespace kestrel::keyer {

namespace {

// The text up to the next line end, and where the line after it starts.
std::string_view take_line(std::string_view& rest) {
    std::size_t end = rest.find_first_of("\r\n");
    if (end == std::string_view::npos) end = rest.size();
    const std::string_view line = rest.substr(0, end);
    std::size_t next = end;
    if (next < rest.size() && rest[next] == '\r') ++next;
    if (next < rest.size() && rest[next] == '\n') ++next;
    rest.remove_prefix(next);
    return line;
}

bool is_blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

void MorseTable::set(unsigned char character, std::string_view pattern) {
    if (pattern.empty()) pattern = "0";
    auto& code = m_codes[character];
    // A later line for the same character replaces its code whole: elements of an earlier,
    // longer pattern must not trail the new one.
    code.fill(0);
    const std::size_t n = std::min<std::size_t>(pattern.size(), k_max_elements);
    for (std::size_t j = 0; j < n; ++j)
        code[j] = static_cast<std::uint8_t>(pattern[j] == '-' ? k_dash : k_dot);
}

MorseTableLoad read_morse_table(std::string_view bytes) {
    MorseTableLoad load;
    int line_number = 0;
    while (!bytes.empty()) {
        const std::string_view line = take_line(bytes);
        ++line_number;
        if (is_blank(line)) continue;

        TextItemReader items{std::string(line)};
        int code = items.next_int();
        std::string pattern = items.next_text().value_or("");
        std::optional<std::string> fault;
        if (code < 0 || code > 255) {
            fault = "Faulty ASCII code on line" + number_text(line_number);
            code = 0;
        }
        if (pattern.size() > static_cast<std::size_t>(k_max_elements)) {
            if (!fault) fault = "Too many code elements on line" + number_text(line_number);
            pattern.resize(k_max_elements);
        }
        if (fault) {
            ++load.faulty_lines;
            if (!load.first_fault) load.first_fault = std::move(fault);
        }
        load.table.set(static_cast<unsigned char>(code), pattern);
    }
    return load;
}

std::optional<std::string> fault_message(const MorseTableLoad& load) {
    if (!load.first_fault) return std::nullopt;
    if (load.faulty_lines <= 1) return load.first_fault;
    return *load.first_fault + "\r\n" + std::to_string(load.faulty_lines) + " lines of " + k_morse_file +
           " are faulty: a code outside 0-255 is read as code 0, a pattern of more than " +
           std::to_string(k_max_elements) + " elements is cut to " + std::to_string(k_max_elements) + ".";
}

} // namespace kestrel::keyer
