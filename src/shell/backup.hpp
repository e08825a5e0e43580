#pragma once

#include <string>

namespace kestrel::shell {

// Where the back-up copy of a log goes: the back-up directory, "/", the log's file name.
std::string backup_destination(const std::string& backup_directory, const std::string& log_path);

// Copies the log to the destination through a temporary file in the same directory, so a
// failed copy never replaces a good earlier one. False when the copy failed.
[[nodiscard]] bool copy_log(const std::string& log_path, const std::string& destination);

} // namespace kestrel::shell
