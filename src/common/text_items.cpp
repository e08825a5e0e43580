#include "common/text_items.hpp"

#include "common/number_text.hpp"

#include <limits>
#include <utility>

namespace kestrel {

namespace {

bool is_line_end(char c) {
    return c == '\r' || c == '\n';
}
bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

TextItemReader::TextItemReader(std::string bytes) : m_bytes(std::move(bytes)) {}

void TextItemReader::skip_line_end() {
    if (m_at < m_bytes.size() && m_bytes[m_at] == '\r') ++m_at;
    if (m_at < m_bytes.size() && m_bytes[m_at] == '\n') ++m_at;
}

std::optional<std::string> TextItemReader::next_text() {
    if (at_end()) return std::nullopt;
    while (m_at < m_bytes.size() && is_blank(m_bytes[m_at]))
        ++m_at;

    std::string item;
    if (m_at < m_bytes.size() && m_bytes[m_at] == '"') {
        ++m_at;
        while (m_at < m_bytes.size() && m_bytes[m_at] != '"' && !is_line_end(m_bytes[m_at])) {
            item += m_bytes[m_at++];
        }
        if (m_at < m_bytes.size() && m_bytes[m_at] == '"') ++m_at;
        while (m_at < m_bytes.size() && m_bytes[m_at] != ',' && !is_line_end(m_bytes[m_at]))
            ++m_at;
    } else {
        while (m_at < m_bytes.size() && m_bytes[m_at] != ',' && !is_line_end(m_bytes[m_at])) {
            item += m_bytes[m_at++];
        }
        while (!item.empty() && is_blank(item.back()))
            item.pop_back();
    }

    if (m_at < m_bytes.size()) {
        if (m_bytes[m_at] == ',') {
            ++m_at;
        } else {
            skip_line_end();
        }
    }
    return item;
}

double TextItemReader::next_number() {
    const auto item = next_text();
    return item ? leading_number(*item) : 0.0;
}

int TextItemReader::next_int() {
    const std::int64_t rounded = round_half_even(next_number());
    if (rounded > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (rounded < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

namespace {

// Whether the reader would change the text unless it were quoted: a comma ends an item, blanks at
// either end are dropped, a leading quote starts a quoted item.
bool needs_quotes(std::string_view text) {
    return text.find(',') != std::string_view::npos ||
           (!text.empty() && (is_blank(text.front()) || is_blank(text.back()) || text.front() == '"'));
}

} // namespace

bool storable_item(std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos) return false;
    return !needs_quotes(text) || text.find('"') == std::string_view::npos;
}

std::string side_file_item(std::string_view text) {
    std::string item;
    item.reserve(text.size() + 2);
    for (const char c : text)
        if (!is_line_end(c)) item += c;
    if (!needs_quotes(item)) return item; // a quote inside an item as it stands reads back as it is
    // A quoted item ends at its next quote, so the quotes it held cannot be kept.
    std::erase(item, '"');
    return needs_quotes(item) ? '"' + item + '"' : item;
}

std::string join_items(const std::vector<std::string>& items) {
    std::string line;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) line += ',';
        line += side_file_item(items[i]);
    }
    line += "\r\n";
    return line;
}

} // namespace kestrel
