#pragma once

#include "rig/station_settings.hpp"

#include <string>

namespace kestrel::shell {

using rig::backup_destination;

// Copies the log to the destination through a temporary file in the same directory, so a
// failed copy never replaces a good earlier one. The temporary file is made afresh (never written
// through a link in its name) and the directory synced once it is in place, so a copy reported
// made lasts through a power cut. A log that is not a plain file is never waited on. False when
// the copy failed.
[[nodiscard]] bool copy_log(const std::string& log_path, const std::string& destination);

} // namespace kestrel::shell
