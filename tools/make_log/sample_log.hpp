#pragma once

#include <string>
#include <vector>

namespace kestrel::tools {

// A log of made-up contacts in date order from 1 January 2000, a few minutes apart, over the
// HF and VHF bands in CW, SSB, FM and RTTY, with now and then a station-data or text record.
// The same seed gives the same log.
struct SampleLog {
    int count = 0;
    unsigned seed = 73;
    // Calls planted among the made-up ones: every `station_every`-th record is one of these,
    // in turn, so a search has a known station to find.
    std::vector<std::string> stations;
    int station_every = 0;
};

// Writes the log to path; false when the file could not be written.
[[nodiscard]] bool write_sample_log(const std::string& path, const SampleLog& log);

} // namespace kestrel::tools
