#pragma once

namespace kestrel::ui {
class Context;
class Host;
} // namespace kestrel::ui

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::log_windows {

// Builds the record index behind the "Load Log" progress window, over the given parent (nullptr
// at start-up). Tells the operator when the log cannot be read; false then.
bool build_index_with_progress(ui::Host& host, ui::Context* parent, logstore::LogStore& log);

// Builds the index only when it does not describe the open log yet.
bool ensure_record_index(ui::Host& host, ui::Context* parent, logstore::LogStore& log);

} // namespace kestrel::log_windows
