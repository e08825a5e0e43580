#pragma once

#include "exchange/cabrillo_reader.hpp"
#include "exchange/left_out.hpp"
#include "exchange/log_copy.hpp"

#include <istream>
#include <optional>
#include <string>

namespace kestrel::exchange {

struct CabrilloOptions {
    EntryConstants constants;
    std::string layout_file; // CABRILLO.FRM in the directory the import started from
};

enum class ImportEnd {
    complete,
    layout_file_missing, // a contest was named but there is no CABRILLO.FRM
    contest_unknown,     // no line of CABRILLO.FRM names the contest
    write_failed,        // the new log could not take an entry (see write_status)
    read_failed,         // the Cabrillo file could not be read to its end
};

struct ImportTally {
    ImportEnd end = ImportEnd::complete;
    int imported = 0;
    // QSO lines left out, by reason: those before any contest was named (no layout says where
    // their call is), those whose fields fit neither the layout's columns nor its order, and
    // those whose date, time or band the log cannot hold.
    LeftOutTally left_out;
    // Those lines as they were, each under the CONTEST: line it came after and ending in CR LF,
    // between a START-OF-LOG: and an END-OF-LOG: line: a Cabrillo log of what was left out.
    // Empty when nothing was.
    std::string rejected;
    std::string contest;              // the contest named last
    logstore::LogStatus write_status; // why the new log refused an entry, when it did
};

// Reads a Cabrillo log from its first line to its last and hands out one entry per QSO line, in
// file order. Each CONTEST: line picks the layout its QSO lines are read by; a later CONTEST: line
// (two logs run together) picks again, and its entries follow the earlier ones. The import stops
// at the first contest without a layout and at the first entry the sink refuses; progress is told
// in bytes read.
[[nodiscard]] ImportTally read_cabrillo(std::istream& in, const CabrilloOptions& options, RecordSink& out,
                                        const ProgressFn& progress = {});

// The layout file's bytes; nothing when it cannot be read. Only the first megabyte is read:
// no list of contest layouts comes near that.
[[nodiscard]] std::optional<std::string> read_layout_file(const std::string& path);

} // namespace kestrel::exchange
