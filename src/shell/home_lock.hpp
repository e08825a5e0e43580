#pragma once

#include "logstore/file_lock.hpp"
#include "ui/host.hpp"

#include <string>
#include <vector>

namespace kestrel::shell {

// The lock of the data directory: one Kestrel works in it at a time.
[[nodiscard]] std::string home_lock_path(const std::string& directory);

// Takes the lock of the data directory, or asks the operator, when another Kestrel holds it,
// whether to leave (the default) or go on beside it. False when he chooses to leave. `lock` is
// left empty when another holds it.
[[nodiscard]] bool lock_data_home(ui::Host& host, const std::string& directory, logstore::FileLock& lock);

// Removes the work files runs that were stopped left in the directory: temporary side files
// (".kestrel-tmp", "CURLOG.DTA.new", a hidden ".part" copy of a file that comes with the
// program) and work logs (upper-case ".NEW" names of whole records). Only the program's own
// names, never a work log another run holds or a journal still needs to finish its change.
// Called under the directory's lock only. The names removed.
std::vector<std::string> remove_stale_work_files(const std::string& directory);

} // namespace kestrel::shell
