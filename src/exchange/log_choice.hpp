#pragma once

#include "logstore/band_names.hpp"
#include "logstore/file_system.hpp"
#include "logstore/log_error.hpp"
#include "logstore/log_store.hpp"
#include "ui/window.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::exchange {

// What the Cabrillo import, extract and merge windows work on: the program's log, the band
// names for the merge list, the size of the windows, and the file system (tests make it fail).
struct ExchangeEnv {
    logstore::LogStore& log;
    const logstore::BandNameTable& band_names;
    double scale_factor = 1.0;
    logstore::FileSystem& files = logstore::posix_file_system();
};

// The log-file dialog the program uses everywhere: "Open a Log file", *.LOG, starting in the
// current directory. A log that will be the program's log may not have a comma in its name (it
// could not be found again at the next start): the operator is told and nothing is chosen.
enum class LogPick {
    read,       // an existing log, only read
    merge_into, // an existing log that becomes the program's log
    write,      // any name; the log becomes the program's log
};
[[nodiscard]] std::optional<std::string> pick_log_file(ui::Context& ctx, LogPick pick);

// Whether a log may be filled anew, every entry it holds giving way to the new ones. A file that
// is not empty is never replaced while it is the program's log (in_use); any other only when the
// operator says so. An empty or new file is taken at once. what: "imported" or "extracted".
[[nodiscard]] bool may_replace_log(ui::Context& ctx, logstore::FileSystem& files, const std::string& path,
                                   const std::string& in_use, std::string_view what);

// Opens a log as the program's log (its index to be built when first needed); tells the operator
// when it cannot be opened. Does nothing for an empty name.
bool open_program_log(ui::Context& ctx, logstore::LogStore& log, const std::string& path);

} // namespace kestrel::exchange
