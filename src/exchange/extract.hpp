#pragma once

#include "common/result.hpp"
#include "exchange/log_copy.hpp"

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace kestrel::exchange {

// Which contacts Extract copies: bands, modes and a range of dates.
struct ExtractChoice {
    // Flags 0-11 for band indexes 0-11 (1.8 to 144 MHz), flag 12 for index 19 (5 MHz). Bands of
    // 430 MHz and up are never extracted.
    static constexpr int k_band_flags = 13;
    static constexpr int k_five_mhz_flag = 12;
    std::array<bool, k_band_flags> bands{};
    // By mode class: CW, SSB, FM, other. A contact of another mode is taken only when its mode
    // is the fourth-mode text; the text "ALL" takes every mode.
    std::array<bool, 4> modes{};
    std::string fourth_mode;
    // Day numbers, both ends included; the defaults take in every date a record can hold.
    int from = std::numeric_limits<int>::min();
    int to = std::numeric_limits<int>::max();
};

enum class Verdict {
    take,
    skip,
    stop, // dated after the range: the log is in date order, nothing later can be taken
};

// What becomes of one record: notes, station-data entries and CQ calls are never taken.
[[nodiscard]] Verdict judge_entry(const logstore::RecordBytes& record, const ExtractChoice& choice);

// Copies the chosen contacts from `in` to `out` in their order; gives how many were copied.
// progress counts the records read.
[[nodiscard]] Result<int, logstore::LogError> extract_entries(RecordSource& in, const ExtractChoice& choice,
                                                              RecordSink& out,
                                                              const ProgressFn& progress = {});

} // namespace kestrel::exchange
