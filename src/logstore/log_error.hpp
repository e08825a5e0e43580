#pragma once

#include "common/result.hpp"

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
};

// True when the operation succeeded: `if (const LogStatus done = log.append_record(...); !done)
// show(done.error());`
using LogStatus = Status<LogError>;

// A short text for the operator.
[[nodiscard]] std::string_view message_of(LogError error);

// The error of a failed write from its errno value.
[[nodiscard]] LogError write_error_of(int error_number);

} // namespace kestrel::logstore
