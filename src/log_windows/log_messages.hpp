#pragma once

#include "logstore/journal.hpp"
#include "logstore/log_error.hpp"

#include <string_view>

namespace kestrel::ui {
class Context;
class Host;
} // namespace kestrel::ui

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::log_windows {

// The title of the messages about the program's log.
inline constexpr std::string_view k_log_message_title = "Kestrel";

// The one check a window that works on the program's log makes before it opens: true when a log is
// open; otherwise the operator is told "No Log Selected" over parent, and false.
[[nodiscard]] bool log_selected(ui::Context& parent, const logstore::LogStore& log);

// Tells the operator, with a stop sign, why an operation on a log failed: the log store's reason,
// with the log's path under it when one is given.
void tell_log_error(ui::Context& ctx, logstore::LogError error, std::string_view path = {},
                    std::string_view title = k_log_message_title);
// The same from code that runs outside a window (owner nullptr while the program starts).
void tell_log_error(ui::Host& host, ui::Context* owner, logstore::LogError error, std::string_view path = {});

// Tells the operator, once, that opening the log at path put right a change that was
// interrupted; nothing when there was none.
void tell_recovery(ui::Context& ctx, logstore::Recovery what, const std::string& path);
void tell_recovery(ui::Host& host, ui::Context* owner, logstore::Recovery what, const std::string& path);

} // namespace kestrel::log_windows
