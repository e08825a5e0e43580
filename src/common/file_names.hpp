#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The longest file name (one part of a path) the system takes, in bytes.
inline constexpr std::size_t k_file_name_limit = 255;

// The path with `suffix` added to its file name, shortened when needed so that the name stays
// within k_file_name_limit: the end of the name gives way to a mark drawn from the whole name (so
// that different long names keep different work names), never in the middle of a character.
[[nodiscard]] std::string add_to_file_name(const std::string& path, std::string_view suffix);

} // namespace kestrel
