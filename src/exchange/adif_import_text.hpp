#pragma once

#include "exchange/adif_records.hpp"
#include "exchange/left_out.hpp"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kestrel::exchange {

// The log an ADIF file makes: its records back to back, ready to be written as a log file, and
// the records left out, as they stand in the file.
struct ImportedLog {
    std::string records;
    int entries = 0;
    LeftOutTally left_out;
    int without_call = 0;  // the same counts as in left_out, by their older names
    int outside_dates = 0; // contacts without a date the log can hold
    // Every record left out (but for empty ones), each as it stands in the file and followed by
    // CR LF, and the encoding to declare for them in a file of their own.
    std::string rejected;
    std::string rejected_encoding;
};

// Reads a whole ADIF file. `progress` hears, now and then, how many of its bytes are read.
//
// A large file is read in two halves at once, the second from the first "<eor>" after the
// middle. The halves are joined only when reading straight through would have given the same:
// the first half's reading ends at that very "<eor>", carrying the same encoding and, when the
// second half needed it, the same power; otherwise the first half is read on to the end.
[[nodiscard]] ImportedLog import_adif_text(std::string_view file, const ImportOptions& options,
                                           const std::function<void(std::size_t)>& progress = {});
// The same with the second half starting after the first "<eor>" at or after `middle` whatever
// the size of the file (for the tests); npos reads straight through.
[[nodiscard]] ImportedLog import_adif_text_in_halves(std::string_view file, const ImportOptions& options,
                                                     std::size_t middle,
                                                     const std::function<void(std::size_t)>& progress = {});

} // namespace kestrel::exchange
