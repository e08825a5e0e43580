#pragma once

#include "countries/country_table.hpp"
#include "cty_file.hpp"

#include <string>
#include <vector>

namespace kestrel::country_list {

struct Disagreement {
    std::string call;
    int ours = -1;     // country number by the list's first matching row, -1 for none
    int expected = -1; // country number of the country file's own answer, -1 for none
};

struct CheckPart {
    int total = 0;
    int agree = 0;
    std::vector<Disagreement> disagreements; // in the order of the file
};

// The list as the program reads it, against the country file's own answers (exact call, else
// longest prefix), mapped to our numbers:
// - every prefix of the file, as a bare prefix typed by the operator;
// - a call made from every prefix ("G" gives "G9ZZ", "KH6" gives "KH6ZZ", lengthened to
//   "KH6ZZZ" if the file lists "KH6ZZ" as an exact call), padded with blanks to the 12
//   characters of the log's call field;
// - a call made in the same way from every prefix a range row of the list spans (for the row
//   "AA,AG": AA to AG, also those the file does not list);
// - every exact call of the file.
struct CheckReport {
    CheckPart prefixes;
    CheckPart calls_from_prefixes;
    CheckPart calls_in_ranges;
    CheckPart exact_calls;
};
[[nodiscard]] CheckReport check_country_list(const countries::CountryTable& table, const CtyFile& file,
                                             const std::vector<int>& number_of_line);

class CtyLookup;
// The call made from a prefix for the check above.
[[nodiscard]] std::string call_from_prefix(const std::string& prefix, const CtyLookup& lookup);

} // namespace kestrel::country_list
