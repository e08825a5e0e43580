#pragma once

#include "changes.hpp"

#include <optional>
#include <string>
#include <vector>

namespace kestrel::crash {

// Beside the log: the journal of what the driver was asked to do, and the log a merge moves
// entries into.
[[nodiscard]] inline std::string journal_path_of(const std::string& log) {
    return log + ".harness";
}
[[nodiscard]] std::string merged_path_of(const std::string& log);

// A log as the program finds it when it opens it: its whole records, and how many bytes follow
// the last of them. Nothing when it cannot be opened or read.
struct SeenLog {
    std::vector<RecordBytes> records;
    int trailing_bytes = 0;
};
[[nodiscard]] std::optional<SeenLog> open_as_program(const std::string& path);

// The commands of crash_driver; each returns the process's exit code.
[[nodiscard]] int make_log(const std::string& path, int count);
[[nodiscard]] int run_driver(const std::string& path, const std::string& operation, unsigned seed, int count);
[[nodiscard]] int check_log(const std::string& path, const std::string& initial);
// A second process opening the log while the driver changes it: "refused" (exit 0) when the
// log's lock keeps it out, as it must.
[[nodiscard]] int intrude(const std::string& path);
// What an ADIF import does to a log of that name: the log replaced whole by SOURCE's records,
// whatever journal an interrupted change left beside it. "replaced" (exit 0) when the log is
// then exactly SOURCE.
[[nodiscard]] int replace_with(const std::string& path, const std::string& source);

} // namespace kestrel::crash
