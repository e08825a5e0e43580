#pragma once

#include "countries/country_table.hpp"
#include "countries/status_chart.hpp"
#include "logstore/log_error.hpp"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::logstore {
class LogStore;
}

namespace kestrel::countries {

// What the operator says about a call whose prefix lies in a block of no country.
struct CallCorrection {
    enum class Answer {
        keep,        // leave the entry as it is, uncounted
        correct,     // store `call` in the entry and check it again
        ask_no_more, // leave this one and every later one as they are, without asking
    };
    Answer answer = Answer::keep;
    std::string call;
};

struct LogCheckHooks {
    // Asked for each such call (trimmed) of entry `record`; without it nothing is asked.
    std::function<CallCorrection(int record, std::string_view call)> correct_call;
    // Told how many of the log's entries have been checked so far.
    std::function<void(int done, int total)> progress;
};

struct LogCheckResult {
    int charted = 0;           // contacts marked in the chart
    int corrected = 0;         // calls the operator corrected and that were written back
    int left_unrecognised = 0; // contacts in a block of no country left as they were
    bool stopped_asking = false;
    // The log could not be read or a corrected entry not written: the check stopped there and
    // the chart holds only the entries before it.
    std::optional<logstore::LogError> error;
};

// Clears the chart's marks of countries 1 to the table's highest number (row 0 and the rows
// above are kept) and marks every contact of the log again, its call resolved with the table.
// Notes, station data and CQ calls mark nothing, nor do calls no block holds.
[[nodiscard]] LogCheckResult rebuild_chart(logstore::LogStore& log, const CountryTable& table,
                                           StatusChart& chart, const LogCheckHooks& hooks);

// Clears the marks of countries first to last on every band.
void clear_countries(StatusChart& chart, int first, int last);

} // namespace kestrel::countries
