#pragma once

#include "common/result.hpp"

#include <string>
#include <string_view>

namespace kestrel::logstore {

// Why an operation on the log did not happen. Every failing operation leaves the records that
// were in the log as they were, except where restore_failed says otherwise.
enum class LogError {
    no_log_open,
    open_failed,
    no_such_record,
    read_failed,
    write_failed,
    disk_full,
    read_only,
    file_gone,
    changed_elsewhere,
    partial_record,
    side_file_exists,
    side_file_failed,
    restore_failed,
    recovery_failed,
    in_use,     // another Kestrel has the log open
    not_a_file, // a folder, a named pipe or a device where the log should be
};

// True when the operation succeeded: `if (const LogStatus done = log.append_record(...); !done)
// show(done.error());`
using LogStatus = Status<LogError>;

// A short text for the operator.
[[nodiscard]] std::string_view message_of(LogError error);

// What the operator is told when an operation on the log at `path` failed: the reason, and the
// log's path on a line of its own (left out when no path is given).
[[nodiscard]] std::string log_error_text(LogError error, std::string_view path = {});

// What the operator is told when a window that works on the log is asked for with none open.
inline constexpr std::string_view k_no_log_text = "No Log Selected";

// The error of a failed write from its errno value.
[[nodiscard]] LogError write_error_of(int error_number);

} // namespace kestrel::logstore
