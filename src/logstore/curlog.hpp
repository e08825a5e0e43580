#pragma once

#include "logstore/file_system.hpp"

#include <string>

namespace kestrel::logstore {

inline constexpr const char* k_current_log_file = "CURLOG.DTA";
inline constexpr const char* k_default_log = "MYLOG.LOG";

// The log in use when the program last ended: the first item of CURLOG.DTA in `directory`, or
// MYLOG.LOG when that file is absent or names nothing.
[[nodiscard]] std::string read_current_log_path(const std::string& directory,
                                                FileSystem& files = posix_file_system());

// Rewrites CURLOG.DTA as one line ended by CR LF. The new text goes to a temporary file in the
// same directory that then replaces the old one, so a failure leaves the old file whole.
// True when the file was written.
[[nodiscard]] bool write_current_log_path(const std::string& directory, const std::string& log_path,
                                          FileSystem& files = posix_file_system());

} // namespace kestrel::logstore
