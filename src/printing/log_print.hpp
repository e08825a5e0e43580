#pragma once

#include "common/result.hpp"
#include "logstore/log_error.hpp"
#include "printer/printer.hpp"
#include "printing/log_listing.hpp"

#include <functional>
#include <string>

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::printing {

// Hands each line of the listing on in log order, reading the log in large blocks; `line` gives
// false to stop there. `progress` hears how many records have been read.
[[nodiscard]] logstore::LogStatus list_log(const logstore::LogStore& log, LogListing& listing,
                                           const std::function<bool(const ListingLine&)>& line,
                                           const std::function<void(int read)>& progress = {});

// The listing as the text file of File to Disc: a line per entry, fields parted by commas, CR LF.
[[nodiscard]] Result<std::string, logstore::LogError>
listing_file_text(const logstore::LogStore& log, const LogFilter& filter,
                  const logstore::BandNameTable& band_names, const std::function<void(int)>& progress = {});

// The listing on paper. `next_page` is asked after each full page when given; false ends the job
// there, without the summary.
enum class LogPrintEnd { finished, stopped };
[[nodiscard]] Result<LogPrintEnd, logstore::LogError>
print_log_pages(Printer& printer, Orientation orientation, const logstore::LogStore& log,
                const LogFilter& filter, const logstore::BandNameTable& band_names,
                const std::function<bool()>& next_page = {}, const std::function<void(int)>& progress = {});

// The name File to Disc offers: the log's name with ".TXT" for ".LOG" (in capitals, as the log
// files always were), or with ".TXT" added when it has no such ending. Never the log's own name.
[[nodiscard]] std::string listing_file_name(const std::string& log_path);

} // namespace kestrel::printing
