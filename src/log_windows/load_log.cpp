#include "log_windows/load_log.hpp"

#include "log_windows/log_messages.hpp"
#include "logstore/log_store.hpp"
#include "ui/host.hpp"
#include "ui/progress_window.hpp"

namespace kestrel::log_windows {

bool build_index_with_progress(ui::Host& host, ui::Context* parent, logstore::LogStore& log) {
    logstore::LogStatus status;
    ui::run_with_progress(host, parent, "Load Log", [&log, &status](ui::Progress& progress) {
        progress.set_total(log.record_count());
        status = log.build_record_index([&progress](int read) { progress.advance_to(read); });
    });
    if (!status) {
        tell_log_error(host, parent, status.error());
        return false;
    }
    return log.index_loaded();
}

bool ensure_record_index(ui::Host& host, ui::Context* parent, logstore::LogStore& log) {
    return log.index_loaded() || build_index_with_progress(host, parent, log);
}

} // namespace kestrel::log_windows
