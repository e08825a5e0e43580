#include "cty_lookup.hpp"

namespace kestrel::country_list {

CtyLookup::CtyLookup(const CtyFile& file) {
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const CtyLine& line = file.lines[i];
        // A call listed twice keeps its first line, as a reader going down the file would.
        for (const std::string& p : line.prefixes)
            m_prefixes.emplace(p, static_cast<int>(i));
        for (const std::string& c : line.exact_calls)
            m_exact.emplace(c, static_cast<int>(i));
    }
}

std::optional<int> CtyLookup::line_of(std::string_view call) const {
    if (const auto it = m_exact.find(std::string(call)); it != m_exact.end()) return it->second;
    return line_of_prefix(call);
}

std::optional<int> CtyLookup::line_of_prefix(std::string_view call) const {
    for (std::size_t n = call.size(); n > 0; --n) {
        if (const auto it = m_prefixes.find(std::string(call.substr(0, n))); it != m_prefixes.end())
            return it->second;
    }
    return std::nullopt;
}

} // namespace kestrel::country_list
