#pragma once

#include "common/result.hpp"
#include "logstore/file_system.hpp"

#include <string>

namespace kestrel::logstore {

inline constexpr const char* k_current_log_file = "CURLOG.DTA";
inline constexpr const char* k_default_log = "MYLOG.LOG";

enum class CurrentLogProblem {
    // CURLOG.DTA names a log by a name longer than any path can be: no such log can be opened.
    name_too_long,
};

// The log in use when the program last ended: the first item of CURLOG.DTA in `directory`, or
// MYLOG.LOG when that file is absent, cannot be read, is not a plain file (a named pipe is never
// waited on) or names nothing. A name longer than a path can be is refused as soon as it is read,
// and so is a first line too long to hold one.
[[nodiscard]] Result<std::string, CurrentLogProblem>
read_current_log_path(const std::string& directory, FileSystem& files = posix_file_system());

// Rewrites CURLOG.DTA as one line ended by CR LF. The new text goes to a temporary file in the
// same directory, made afresh (a file or link of that name is removed, never written through),
// which then replaces the old one, and the directory is synced, so a failure leaves the old file
// whole and success lasts through a power cut. True when the file was written.
[[nodiscard]] bool write_current_log_path(const std::string& directory, const std::string& log_path,
                                          FileSystem& files = posix_file_system());

} // namespace kestrel::logstore
