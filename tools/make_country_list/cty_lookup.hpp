#pragma once

#include "cty_file.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kestrel::country_list {

// The country file's own answer for a call: the line of an exact call equal to it, otherwise
// the line of the longest prefix it starts with. This is the reference the generated list is
// checked against.
class CtyLookup {
  public:
    explicit CtyLookup(const CtyFile& file);

    // Index into file.lines; nullopt when no exact call and no prefix fits.
    [[nodiscard]] std::optional<int> line_of(std::string_view call) const;
    [[nodiscard]] std::optional<int> line_of_prefix(std::string_view call) const; // prefixes only
    [[nodiscard]] bool is_exact_call(std::string_view call) const {
        return m_exact.count(std::string(call)) != 0;
    }

  private:
    std::unordered_map<std::string, int> m_prefixes;
    std::unordered_map<std::string, int> m_exact;
};

} // namespace kestrel::country_list
