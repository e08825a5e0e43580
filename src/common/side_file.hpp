#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// Writes a side file in one go: the bytes go to a temporary file in the same directory, which
// then replaces the old file, so a failure never leaves half a file. False when it failed (the
// old file, if any, is then as it was).
[[nodiscard]] bool write_side_file(const std::string& path, std::string_view bytes);

// The whole of a side file; nothing when it is not a regular file or cannot be read.
[[nodiscard]] std::optional<std::string> read_side_file(const std::string& path);

} // namespace kestrel
