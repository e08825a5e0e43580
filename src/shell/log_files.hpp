#pragma once

#include "ui/host.hpp"

#include <optional>
#include <string>

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::shell {

// The "Open a Log file" dialog; Open asks for a file that exists, New takes any name.
enum class LogChoice { existing, any };
ui::FileRequest log_file_request(LogChoice choice, const std::string& directory);

// Asks for a log file. A name the program could not find again at the next start
// (one holding a comma) is refused with a message; nothing then.
std::optional<std::string> choose_log_file(ui::Host& host, ui::Context* owner, LogChoice choice,
                                           const std::string& directory);

// Opens the log at path and tells the operator what he must know: a log that cannot be
// opened, or one that ends in a piece of a record (which he may set aside). False when
// the log is not open.
bool open_log_checked(ui::Host& host, ui::Context* owner, logstore::LogStore& log, const std::string& path);

// Files/Open and Files/New of the main window; both leave a log open whenever they can.
void open_other_log(ui::Host& host, ui::Context& owner, logstore::LogStore& log);
void start_new_log(ui::Host& host, ui::Context& owner, logstore::LogStore& log);

} // namespace kestrel::shell
