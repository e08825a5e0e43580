#pragma once

#include "common/result.hpp"
#include "countries/country_table.hpp"
#include "logstore/log_error.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::logstore {
class LogStore;
class BandNameTable;
} // namespace kestrel::logstore

namespace kestrel::printing {
class Printer;
}

namespace kestrel::countries {

inline constexpr int k_award_bands = 12; // 1.8 MHz to 144 MHz

// Which contacts may stand for their country.
struct AwardSelection {
    std::array<bool, k_award_bands> bands;
    bool cw = true, ssb = true, fm = true;
    // "ALL" lets every mode pass whatever the three boxes say; otherwise a mode of the other
    // class passes when its field is this text, or whatever it is when the text is empty.
    std::string fourth_mode = "ALL";
    bool confirmed_only = true;

    AwardSelection() { bands.fill(true); }
};

struct AwardEntry {
    std::string call;      // the call field with its padding
    int date = 0;          // day number
    std::string band_name; // six characters
    std::string mode;      // the mode field's three characters
    std::string country;   // the name of the line the call fell in, " 2" when confirmed, " 0" when not
};

// The latest contact with each country that the selection lets through, sorted by call (calls
// alike keep the order they were found in). One entry per country, however many the list has.
[[nodiscard]] Result<std::vector<AwardEntry>, logstore::LogError>
collect_award_list(const logstore::LogStore& log, const CountryTable& table,
                   const logstore::BandNameTable& band_names, const AwardSelection& selection);

inline constexpr const char* k_award_file = "QSLAWARD.TXT";
inline constexpr int k_award_lines_per_page = 70; // the heading and 69 entries

// The column heading, with "|" between the columns as on paper.
[[nodiscard]] std::string award_heading();
// " 12 Countries Found".
[[nodiscard]] std::string award_summary(int entries);
// An entry as printed: "|" between the columns.
[[nodiscard]] std::string award_print_line(const AwardEntry& entry);
// The entries on pages of a heading (with the page number) and 69 entries, a quarter of an inch
// from the left and the top. Before each page after the first the operator is asked whether to go
// on; false when he stopped.
bool print_award_pages(printing::Printer& printer, const std::vector<AwardEntry>& entries,
                       const std::function<bool()>& continue_after_page);
// QSLAWARD.TXT: a title, the heading and the entries, blanks between the columns.
[[nodiscard]] std::string award_file_text(const std::vector<AwardEntry>& entries);

} // namespace kestrel::countries
