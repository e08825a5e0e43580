#include "printing/log_print.hpp"

#include "common/fixed_text.hpp"
#include "logstore/log_store.hpp"
#include "printing/log_pages.hpp"

#include <algorithm>

namespace kestrel::printing {

namespace {
constexpr int k_block = 4096; // records read at a time
}

logstore::LogStatus list_log(const logstore::LogStore& log, LogListing& listing,
                             const std::function<bool(const ListingLine&)>& line,
                             const std::function<void(int)>& progress) {
    const int count = log.record_count();
    for (int first = 1; first <= count; first += k_block) {
        auto block = log.read_records(first, std::min(k_block, count - first + 1));
        if (!block) return block.error();
        for (const logstore::RecordBytes& record : *block) {
            if (auto listed = listing.line_for(record); listed && !line(*listed)) return {};
        }
        if (progress) progress(first - 1 + static_cast<int>(block->size()));
    }
    return {};
}

Result<std::string, logstore::LogError> listing_file_text(const logstore::LogStore& log,
                                                          const LogFilter& filter,
                                                          const logstore::BandNameTable& band_names,
                                                          const std::function<void(int)>& progress) {
    LogListing listing(filter, ListingStyle::file, band_names);
    std::string text;
    const logstore::LogStatus read = list_log(
        log, listing,
        [&](const ListingLine& line) {
            text += line.text;
            text += "\r\n";
            return true;
        },
        progress);
    if (!read) return read.error();
    return text;
}

Result<LogPrintEnd, logstore::LogError>
print_log_pages(Printer& printer, Orientation orientation, const logstore::LogStore& log,
                const LogFilter& filter, const logstore::BandNameTable& band_names,
                const std::function<bool()>& next_page, const std::function<void(int)>& progress) {
    LogPages pages(printer, orientation);
    LogListing listing(
        filter, orientation == Orientation::landscape ? ListingStyle::landscape : ListingStyle::portrait,
        band_names);
    bool stopped = false;
    const logstore::LogStatus read = list_log(
        log, listing,
        [&](const ListingLine& line) {
            if (pages.add(line) && next_page && !next_page()) stopped = true;
            return !stopped;
        },
        progress);
    if (!read) return read.error();
    if (stopped) return LogPrintEnd::stopped;
    pages.finish(listing.qso_count());
    return LogPrintEnd::finished;
}

std::string listing_file_name(const std::string& log_path) {
    const std::size_t slash = log_path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    // Only the file's own name goes into capitals: the directories above it keep theirs.
    std::string name = log_path.substr(0, start) + upper_case(std::string_view(log_path).substr(start));
    if (name.size() > start + 4 && name.ends_with(".LOG"))
        name.replace(name.size() - 4, 4, ".TXT");
    else
        name += ".TXT";
    return name;
}

} // namespace kestrel::printing
