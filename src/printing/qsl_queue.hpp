#pragma once

#include "common/result.hpp"
#include "logstore/log_error.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::logstore {
class LogStore;
}
namespace kestrel::countries {
class CountryTable;
}

namespace kestrel::printing {

// The most QSLs one run prints; the rest wait for the next run.
inline constexpr int k_qsl_queue_size = 1000;
// Calls of this country go first, sorted for the home bureau.
inline constexpr int k_home_country = 1;

struct QueuedQsl {
    std::string key;
    int record = 0;         // the contact
    int station_record = 0; // the station-data entry in force for its band, 0 for none
};

// The QSLs of a run in the order they print: the home country's, then the others', each group
// sorted by its key.
struct QslQueue {
    std::vector<QueuedQsl> qsls;
    bool full = false; // the scan stopped at k_qsl_queue_size
};

struct QueueRules {
    std::optional<int> start_date; // none: every date
    bool received_only = false;    // only contacts whose card is in
};

// Scans the log for contacts that want a card: not a CQ, a note or a station-data entry; with a
// received report of 11 or more; dated on or after the start date; not sent yet; and, when asked,
// with the card received.
[[nodiscard]] Result<QslQueue, logstore::LogError> build_qsl_queue(const logstore::LogStore& log,
                                                                   const countries::CountryTable& countries,
                                                                   const QueueRules& rules);

// The sort keys, from the 12-character call field and the day number. Home calls sort by the
// bureau's order: the letters before the first digit go to the end (G4AAA gives 4AAAG).
[[nodiscard]] std::string home_key(std::string_view call_field, int date);
[[nodiscard]] std::string foreign_key(std::string_view call_field, int date);

} // namespace kestrel::printing
