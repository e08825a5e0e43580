#pragma once

#include "common/result.hpp"
#include "exchange/log_copy.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::exchange {

struct MergeTally {
    int merged = 0;  // extract-log entries moved into the merged log
    int written = 0; // entries of the merged log
    int kept = 0;    // entries left in the extract log when the moved ones are deleted from it
};

// The order of the merge: day number × 3600 + time on (3600 is more than the minutes of a day).
[[nodiscard]] std::int64_t merge_key(const logstore::RecordBytes& record);

// Merges the marked entries of the extract log (marks[n - 1] for entry n; entries past the marks
// are unmarked) into the merge log by date and time, writing the result to `output`; an entry of
// the merge log goes before a moved entry of the same date and time. When `kept` is given (the
// moved entries are deleted from the extract log), it receives the unmarked entries in order.
[[nodiscard]] Result<MergeTally, logstore::LogError>
merge_entries(RecordSource& extract, const std::vector<bool>& marks, RecordSource& merge_log,
              RecordSink& output, RecordSink* kept, const ProgressFn& progress = {});

enum class MergeEnd {
    done,
    failed, // nothing changed (error, at path)
};

struct MergeOutcome {
    MergeEnd end = MergeEnd::done;
    MergeTally tally;
    logstore::LogError error = logstore::LogError::write_failed;
    std::string path;
};

// The merge on the logs themselves. The merged log is written beside the merge log (its ".NEW"
// name) and renamed over it when complete; when the moved entries are deleted, the shortened
// extract log is written beside the extract log too, and the two are renamed together: both
// logs change or neither does, even when the run is stopped between the two renames (the next
// open of either log completes them). A missing merge log counts as an empty one. Neither log
// may have changed since the extract log was read for its marks, and a log that is to be
// rewritten may not end with part of a record.
[[nodiscard]] MergeOutcome merge_log_files(logstore::FileSystem& files, LogReader& extract,
                                           const std::vector<bool>& marks, bool delete_moved,
                                           const std::string& merge_log, const ProgressFn& progress = {});

} // namespace kestrel::exchange
