#include "exchange/cabrillo_layout.hpp"

#include "common/number_text.hpp"
#include "common/text_items.hpp"

#include <algorithm>
#include <limits>

namespace kestrel::exchange {

namespace {

int int_of(const std::string& item) {
    const std::int64_t n = round_half_even(leading_number(item));
    return static_cast<int>(
        std::clamp<std::int64_t>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A report's column and the item after it: a length, or the fixed text when the column is 0.
CabrilloLayout::Field report_of(TextItemReader& items) {
    CabrilloLayout::Field field;
    field.column = int_of(items.next_text().value_or(""));
    const std::string second = items.next_text().value_or("");
    if (field.column == 0) {
        field.text = second;
    } else {
        field.length = int_of(second);
    }
    return field;
}

bool is_line_end(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

CabrilloLayout parse_layout_line(std::string_view line) {
    // Only this line's items: reading stops at its end whatever the line holds.
    const auto end = std::find_if(line.begin(), line.end(), is_line_end);
    TextItemReader items(std::string(line.begin(), end));
    (void)items.next_text(); // the contest name
    CabrilloLayout layout;
    layout.call.column = int_of(items.next_text().value_or(""));
    layout.call.length = int_of(items.next_text().value_or(""));
    layout.rst_sent = report_of(items);
    layout.rst_received = report_of(items);
    return layout;
}

std::optional<CabrilloLayout> find_layout(std::string_view file_bytes, std::string_view contest) {
    if (contest.empty()) return std::nullopt;
    std::size_t at = 0;
    while (at < file_bytes.size()) {
        std::size_t end = at;
        while (end < file_bytes.size() && !is_line_end(file_bytes[end]))
            ++end;
        const std::string_view line = file_bytes.substr(at, end - at);
        if (line.find(contest) != std::string_view::npos) return parse_layout_line(line);
        at = end + 1;
    }
    return std::nullopt;
}

std::string field_text(std::string_view line, const CabrilloLayout::Field& field) {
    if (field.column == 0) return field.text;
    if (field.column < 0 || field.length <= 0) return {};
    const auto start = static_cast<std::size_t>(field.column - 1);
    if (start >= line.size()) return {};
    return std::string(
        line.substr(start, std::min(static_cast<std::size_t>(field.length), line.size() - start)));
}

} // namespace kestrel::exchange
