#pragma once

#include "common/result.hpp"
#include "logstore/log_error.hpp"

#include <cstdint>
#include <string_view>

namespace kestrel::logstore {
class LogStore;
class RecordIndex;
} // namespace kestrel::logstore

namespace kestrel::browse {

// The searches of the browse window. Each reads the log from record `from` on, a block at a time,
// and gives the number of the first record that matches, or 0 when none does.

// A call field (all twelve characters) holding the text anywhere.
[[nodiscard]] Result<int, logstore::LogError> find_call(const logstore::LogStore& log, std::string_view text,
                                                        int from);

// A contact whose comment, in capitals, holds the text (given in capitals); notes and station
// data are passed over.
[[nodiscard]] Result<int, logstore::LogError> find_comment(const logstore::LogStore& log,
                                                           std::string_view text, int from);

// The first record dated on or after the day, by the record index; one past the last record when
// every record is earlier.
[[nodiscard]] int find_date(const logstore::RecordIndex& index, int day);

} // namespace kestrel::browse
