#include "logstore/log_error.hpp"

#include <cerrno>

namespace kestrel::logstore {

std::string_view message_of(LogError error) {
    switch (error) {
    case LogError::no_log_open: return "No log is open.";
    case LogError::open_failed: return "The log file could not be opened.";
    case LogError::no_such_record: return "There is no entry with that number in the log.";
    case LogError::read_failed: return "The log could not be read.";
    case LogError::write_failed: return "The log could not be written. Nothing in the log was lost.";
    case LogError::disk_full:
        return "The log could not be written: the disk is full. Nothing in the log was lost.";
    case LogError::read_only:
        return "The log could not be written: the file or its disk is read-only. Nothing in the log was "
               "lost.";
    case LogError::file_gone:
        return "The log file has been moved or deleted since it was opened. Nothing was written; "
               "open the log again.";
    case LogError::changed_elsewhere:
        return "The log file was changed by another program since it was opened. Nothing was written; "
               "open the log again.";
    case LogError::partial_record:
        return "The log ends with an incomplete entry. Entries cannot be added or removed until those "
               "bytes have been set aside.";
    case LogError::side_file_exists:
        return "The incomplete entry was not set aside: a file of that name already exists. The log was "
               "not changed.";
    case LogError::side_file_failed:
        return "The incomplete entry could not be saved to a separate file. The log was not changed.";
    case LogError::restore_failed:
        return "The log could not be written, and it could not be put back as it was. Kestrel puts it "
               "right the next time the log is opened; copy the log file somewhere safe before going on.";
    case LogError::recovery_failed:
        return "The last change to the log was interrupted, and the log cannot be put back as it was "
               "because it, or its folder, cannot be written. Make them writable and open the log again; "
               "nothing has been changed.";
    case LogError::in_use:
        return "The log is open in another Kestrel. A log is kept by one program at a time, so that "
               "neither undoes the other's changes: close it there, or open another log here.";
    case LogError::not_a_file:
        return "This is not a file a log can be kept in (a folder, a named pipe or a device). Nothing "
               "was read or changed.";
    }
    return "The log could not be used.";
}

std::string log_error_text(LogError error, std::string_view path) {
    std::string text(message_of(error));
    if (!path.empty()) text.append("\r\n").append(path);
    return text;
}

LogError write_error_of(int error_number) {
    switch (error_number) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return LogError::disk_full;
    case EROFS:
    case EBADF:
    case EACCES:
    case EPERM: return LogError::read_only;
    default: return LogError::write_failed;
    }
}

} // namespace kestrel::logstore
